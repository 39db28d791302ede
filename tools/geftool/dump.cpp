// SPDX-License-Identifier: MIT
// Writes data blocks as RFC 4180 CSV so that spreadsheets and scripts can take them in, with
// column names that mean the same in every file.
#include "dump.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>

#include <gef/gef.h>

#include "common.h"
#include "derived.h"
#include "facts.h"
#include "inputs.h"
#include "layers.h"
#include "names.h"
#include "parallel.h"
#include "reading.h"
#include "rule_sets.h"
#include "text.h"

namespace geftool {
namespace {

std::string column_name(const ColumnFacts& c, bool producer_names) {
  const std::string own = c.quantity && !c.quantity->empty() ? *c.quantity : "";
  if (producer_names) return own.empty() ? "column " + std::to_string(c.number) : own;
  const Numbering numbering = report_kind() == ReportKind::Bore ? Numbering::Bore : Numbering::Cpt;
  return geftool::column_name(numbering, c.quantity_number, own, c.unit.value_or(""), c.number);
}

// One file's data block as named columns of cells.
struct Table {
  std::vector<std::string> names;
  std::vector<std::vector<std::string>> rows;
};

// The level of each reading: ground level (ZID) less the depth column, named by height system.
struct Elevation {
  const ColumnFacts* depth = nullptr; // null when it cannot be computed
  std::string name;
};

const ColumnFacts* column_with(const Facts& facts, int quantity_number) {
  for (const ColumnFacts& c : facts.columns)
    if (c.quantity_number == quantity_number) return &c;
  return nullptr;
}

Elevation elevation_of(const Facts& facts) {
  Elevation e;
  // A boring's layers from their tops; a sounding's readings at the corrected depth, else at
  // the penetration length.
  if (report_kind() == ReportKind::Bore)
    e.depth = column_with(facts, 1);
  else if ((e.depth = column_with(facts, 11)) == nullptr)
    e.depth = column_with(facts, 1);
  if (!facts.z) e.depth = nullptr;
  const std::string system = facts.height_name
                                 ? facts.height_name->substr(0, facts.height_name->find(' '))
                             : facts.height_code ? std::to_string(*facts.height_code)
                                                 : "unknown";
  e.name = "elevation_" + system + "_m";
  return e;
}

Table table_of_document(const DumpOptions& options) {
  Table table;
  const Facts facts = gather_facts();
  const int scans = facts.scans;
  bool texts = false;
  for (int s = 1; s <= scans && !texts; ++s) texts = get_columntext_text_flag(s) != 0;
  std::map<std::string, int> seen;
  for (const ColumnFacts& c : facts.columns) {
    std::string name = column_name(c, options.producer_names);
    // Two columns of one quantity stay apart: the second gets a suffix.
    if (++seen[name] > 1) name += "_" + std::to_string(seen[name]);
    table.names.push_back(name);
  }
  if (texts) table.names.push_back(options.producer_names ? "column text" : "column_text");
  const std::vector<Layer> layers =
      gbr_is_gbr() != 0 ? read_layers(load_layer_codes(options.codes)) : std::vector<Layer>();
  if (!layers.empty())
    table.names.push_back(options.producer_names ? "layer description" : "layer_description");
  const Elevation elevation = options.elevation ? elevation_of(facts) : Elevation{};
  if (elevation.depth != nullptr) table.names.push_back(elevation.name);

  for (int s = 1; s <= scans; ++s) {
    std::vector<std::string> row;
    for (const ColumnFacts& c : facts.columns) {
      const double v = get_data(c.number, s);
      const bool empty =
          is_absent(v) || (!options.keep_voids && c.void_value && is_void(v, *c.void_value));
      row.push_back(empty ? std::string() : number_text(v));
    }
    if (texts) row.push_back(csv_field(to_utf8(get_columntext_text(s))));
    if (!layers.empty()) {
      const Layer& layer = layers[std::size_t(s - 1)];
      row.push_back(csv_field(layer.expansion ? *layer.expansion : layer.description));
    }
    if (elevation.depth != nullptr) {
      const double depth = get_data(elevation.depth->number, s);
      const bool empty = is_absent(depth) || (elevation.depth->void_value &&
                                              is_void(depth, *elevation.depth->void_value));
      // A sum of metres: rounding to the micrometre drops the binary noise of the sum.
      row.push_back(empty ? std::string()
                          : number_text(std::round((*facts.z - std::abs(depth)) * 1e6) / 1e6));
    }
    table.rows.push_back(std::move(row));
  }
  for (std::string& name : table.names) name = csv_field(name);
  return table;
}

using Tables = std::vector<std::pair<std::string, Table>>;

// One CSV of `tables`: the header is every name in the order first met; a file fills the
// columns it has.
void write_csv(std::ostream& out, const Tables& tables, bool file_column) {
  std::vector<std::string> names;
  for (const auto& [path, table] : tables)
    for (const std::string& name : table.names)
      if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  std::string line = file_column ? "file" : "";
  for (std::size_t i = 0; i < names.size(); ++i)
    line += (i > 0 || file_column ? "," : "") + names[i];
  if (!tables.empty()) out << line << "\n";
  for (const auto& [path, table] : tables) {
    std::vector<std::size_t> place;
    for (const std::string& name : table.names)
      place.push_back(std::size_t(std::find(names.begin(), names.end(), name) - names.begin()));
    const std::string file = csv_field(path);
    for (const auto& cells : table.rows) {
      std::vector<const std::string*> row(names.size(), nullptr);
      for (std::size_t i = 0; i < cells.size(); ++i) row[place[i]] = &cells[i];
      line = file_column ? file : "";
      for (std::size_t i = 0; i < row.size(); ++i)
        line += (i > 0 || file_column ? "," : "") + (row[i] ? *row[i] : std::string());
      out << line << "\n";
    }
  }
  out.flush();
}

// One CSV per file in folder `options.per_file`, named after the file ("a.gef" gives "a.csv",
// a second "a.gef" from another folder "a_2.csv"). Returns 2 when one cannot be written.
int write_per_file(const DumpOptions& options, const Tables& tables) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::u8path(options.per_file), ec);
  std::map<std::string, int> used;
  for (const auto& entry : tables) {
    const std::string stem = std::filesystem::u8path(entry.first).stem().u8string();
    const int n = ++used[stem];
    const auto target =
        std::filesystem::u8path(options.per_file) /
        std::filesystem::u8path(stem + (n > 1 ? "_" + std::to_string(n) : "") + ".csv");
    std::ofstream out(target, std::ios::binary);
    if (out) write_csv(out, {entry}, options.file_column.value_or(false));
    if (!out) {
      std::cerr << "geftool dump: cannot write " << target.u8string() << "\n";
      return 2;
    }
  }
  return 0;
}

} // namespace

int run_dump(const DumpOptions& options) {
  LibrarySession session;
  if (!session.ok()) return 2;
  int status = 0;
  std::vector<std::pair<std::string, Table>> tables;
  std::vector<std::string> paths;
  for (const Input& input : collect_inputs(options.paths)) {
    if (input.problem.empty())
      paths.push_back(input.path);
    else {
      std::cerr << "geftool dump: " << to_utf8(input.path) << ": " << input.problem << "\n";
      status = 2;
    }
  }
  if (paths.empty() && status == 0) {
    std::cerr << "geftool dump: no .gef files found\n";
    return 2;
  }
  // One file's table, or its status alone when it has none.
  struct Dumped {
    int status = 0;
    std::optional<Table> table;
    bool stop = false; // a computed column geftool does not know: the run ends
  };
  std::vector<Input> readable;
  for (const std::string& path : paths) readable.push_back({path, ""});
  bool stopped = false;
  for_each_file<Dumped>(
      readable, options.jobs,
      [&](const Input& input, std::size_t) {
        Dumped d;
        const std::string& path = input.path;
        const ReadResult read = read_document(path);
        d.status = tell_losses("dump", path, read);
        if (!read.read) return d;
        const int added = add_derived_columns("dump", options.adds);
        d.stop = added == 2;
        d.status = std::max(d.status, added);
        if (d.stop) return d;
        d.table = table_of_document(options);
        const auto& names = d.table->names;
        if (options.elevation && std::find_if(names.begin(), names.end(), [](const std::string& n) {
                                   return n.rfind("elevation_", 0) == 0;
                                 }) == names.end()) {
          diagnostics() << "geftool dump: " << to_utf8(path)
                        << ": elevation: cannot be computed (needs #ZID and a depth or "
                        << "penetration length column); left out\n";
          d.status = std::max(d.status, 1);
        }
        return d;
      },
      [&](const Input& input, Dumped& d) {
        stopped = d.stop;
        if (stopped) return false;
        status = std::max(status, d.status);
        if (d.table) tables.emplace_back(to_utf8(input.path), std::move(*d.table));
        return true;
      });
  if (stopped) return 2;

  if (!options.per_file.empty()) return std::max(status, write_per_file(options, tables));
  write_csv(std::cout, tables, options.file_column.value_or(paths.size() > 1));
  std::cout.flush();
  return status;
}

} // namespace geftool
