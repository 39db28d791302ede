// Writes a file's data block as RFC 4180 CSV so that spreadsheets and scripts can take it in.
#include "dump.h"

#include <iostream>
#include <optional>
#include <vector>

#include <gef/gef.h>

#include "common.h"
#include "derived.h"
#include "layers.h"
#include "text.h"

namespace geftool {
namespace {

std::string csv_field(const std::string& value) {
  if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
  std::string quoted = "\"";
  for (char c : value) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

} // namespace

int run_dump(const std::string& path, bool voids_empty, const std::string& codes,
             const std::string& adds) {
  LibrarySession session;
  if (!session.ok() || !read_for("dump", path)) return 2;
  const int added = add_derived_columns("dump", adds);
  if (added == 2) return 2;
  const int columns = column_count();
  const int scans = get_nr_scans();
  bool texts = false;
  for (int s = 1; s <= scans && !texts; ++s) texts = get_columntext_text_flag(s) != 0;

  std::vector<std::optional<double>> voids;
  std::string line;
  for (int c = 1; c <= columns; ++c) {
    const char* quantity = get_columninfo_flag(c) != 0 ? get_columninfo_Quantity(c) : nullptr;
    const std::string name = quantity != nullptr && *quantity != '\0'
                                 ? to_utf8(quantity)
                                 : "column " + std::to_string(c);
    line += (c > 1 ? "," : "") + csv_field(name);
    voids.push_back(voids_empty ? column_void(c) : std::nullopt);
  }
  if (texts) line += std::string(columns > 0 ? "," : "") + "column text";
  const std::vector<Layer> layers =
      gbr_is_gbr() != 0 ? read_layers(load_layer_codes(codes)) : std::vector<Layer>();
  if (!layers.empty()) line += ",layer description";
  std::cout << line << "\n";

  for (int s = 1; s <= scans; ++s) {
    line.clear();
    for (int c = 1; c <= columns; ++c) {
      const double v = get_data(c, s);
      const bool empty = is_absent(v) || (voids[c - 1] && is_void(v, *voids[c - 1]));
      line += (c > 1 ? "," : "") + (empty ? std::string() : number_text(v));
    }
    if (texts) {
      const char* text = get_columntext_text(s);
      line += (columns > 0 ? "," : "") + csv_field(to_utf8(text));
    }
    if (!layers.empty()) {
      const Layer& layer = layers[std::size_t(s - 1)];
      line += "," + csv_field(layer.expansion ? *layer.expansion : layer.description);
    }
    std::cout << line << "\n";
  }
  std::cout.flush();
  return added;
}

} // namespace geftool
