// SPDX-License-Identifier: MIT
// Writes data blocks as RFC 4180 CSV so that spreadsheets and scripts can take them in, with
// column names that mean the same in every file.
#include "dump.h"

#include <algorithm>
#include <iostream>
#include <map>

#include <gef/gef.h>

#include "common.h"
#include "derived.h"
#include "facts.h"
#include "inputs.h"
#include "layers.h"
#include "names.h"
#include "reading.h"
#include "rule_sets.h"
#include "text.h"

namespace geftool {
namespace {

std::string csv_field(const std::string& value) {
  if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
  std::string quoted = "\"";
  for (char c : value) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

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
    table.rows.push_back(std::move(row));
  }
  for (std::string& name : table.names) name = csv_field(name);
  return table;
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
  for (const std::string& path : paths) {
    const ReadResult read = read_document(path);
    status = std::max(status, tell_losses("dump", path, read));
    if (!read.read) continue;
    const int added = add_derived_columns("dump", options.adds);
    if (added == 2) return 2;
    status = std::max(status, added);
    tables.emplace_back(to_utf8(path), table_of_document(options));
  }

  const bool file_column = options.file_column.value_or(paths.size() > 1);
  // The header is every name in the order first met; a file fills the columns it has.
  std::vector<std::string> names;
  for (const auto& [path, table] : tables)
    for (const std::string& name : table.names)
      if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  std::string line = file_column ? "file" : "";
  for (std::size_t i = 0; i < names.size(); ++i)
    line += (i > 0 || file_column ? "," : "") + names[i];
  if (!tables.empty()) std::cout << line << "\n";
  for (const auto& [path, table] : tables) {
    std::vector<std::size_t> place;
    for (const std::string& name : table.names)
      place.push_back(std::size_t(std::find(names.begin(), names.end(), name) - names.begin()));
    const std::string file = csv_field(path);
    for (const auto& cells : table.rows) {
      std::vector<const std::string*> out(names.size(), nullptr);
      for (std::size_t i = 0; i < cells.size(); ++i) out[place[i]] = &cells[i];
      line = file_column ? file : "";
      for (std::size_t i = 0; i < out.size(); ++i)
        line += (i > 0 || file_column ? "," : "") + (out[i] ? *out[i] : std::string());
      std::cout << line << "\n";
    }
  }
  std::cout.flush();
  return status;
}

} // namespace geftool
