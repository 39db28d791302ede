// SPDX-License-Identifier: MIT
// Lists the keyword entries the library holds for a file, with the standard meaning of numbered
// measurement keywords, column quantities and systems where the tables know it.
#include "header.h"

#include <iostream>

#include <nlohmann/json.hpp>

#include <gef/extensions.h>
#include <gef/gef.h>

#include "common.h"
#include "header_records.h"
#include "location.h"
#include "names.h"
#include "reading.h"
#include "rule_sets.h"
#include "text.h"

namespace geftool {
namespace {

// The standard meaning of one entry, empty when the table has none.
std::string meaning(const HeaderRecord& r, Numbering numbering) {
  const char* name = nullptr;
  if (r.number && r.keyword == "MEASUREMENTTEXT")
    name = measurement_text_name(numbering, *r.number);
  if (r.number && r.keyword == "MEASUREMENTVAR") name = measurement_var_name(numbering, *r.number);
  if (r.keyword == "COLUMNINFO" && r.fields.size() >= 3 && r.fields[2]) {
    const QuantityName* q = standard_quantity(numbering, std::atoi(r.fields[2]->c_str()));
    if (q != nullptr) name = q->description.c_str();
  }
  if ((r.keyword == "XYID" || r.keyword == "ZID") && !r.fields.empty() && r.fields[0]) {
    const int code = std::atoi(r.fields[0]->c_str());
    return (r.keyword == "XYID" ? coordinate_system_label(code) : height_system_label(code))
        .value_or("");
  }
  return name != nullptr ? name : "";
}

} // namespace

std::vector<HeaderRecord> header_records() {
  std::vector<gef_tools::HeaderBytesRecord> copies = gef_tools::copy_header_records();
  std::vector<HeaderRecord> records;
  records.reserve(copies.size());
  for (gef_tools::HeaderBytesRecord& copied : copies) {
    HeaderRecord r;
    r.keyword = std::move(copied.name);
    if (!copied.number.empty()) r.number = std::atoi(copied.number.c_str());
    r.fields.reserve(copied.fields.size());
    r.types.reserve(copied.fields.size());
    for (const std::string& field : copied.fields) {
      if (field.empty()) {
        r.fields.emplace_back();
        r.types.push_back(0);
      } else {
        r.fields.emplace_back(to_utf8(field.substr(1)));
        r.types.push_back(field[0]);
      }
    }
    records.push_back(std::move(r));
  }
  return records;
}

const HeaderRecord* find_record(const std::vector<HeaderRecord>& records,
                                const std::string& keyword, std::optional<int> number) {
  for (const HeaderRecord& r : records)
    if (r.keyword == keyword && (!number || r.number == number)) return &r;
  return nullptr;
}

bool has_field(const HeaderRecord* record, std::size_t field) {
  return record != nullptr && field >= 1 && field <= record->fields.size() &&
         record->fields[field - 1].has_value();
}

int run_header(const std::string& path, bool as_json) {
  LibrarySession session;
  if (!session.ok()) return 2;
  const ReadResult read = read_document(path);
  const int status = tell_losses("header", path, read);
  if (!read.read) return status;
  const Numbering numbering = report_kind() == ReportKind::Bore ? Numbering::Bore : Numbering::Cpt;
  const std::vector<HeaderRecord> records = header_records();
  if (as_json) {
    nlohmann::json list = nlohmann::json::array();
    for (const HeaderRecord& r : records) {
      nlohmann::json fields = nlohmann::json::array();
      for (const auto& f : r.fields) fields.push_back(f ? nlohmann::json(*f) : nlohmann::json());
      const std::string m = meaning(r, numbering);
      list.push_back({{"keyword", r.keyword},
                      {"number", r.number ? nlohmann::json(*r.number) : nlohmann::json()},
                      {"fields", fields},
                      {"meaning", m.empty() ? nlohmann::json() : nlohmann::json(m)}});
    }
    const nlohmann::json out = {{"schema", 1}, {"file", to_utf8(path)}, {"keywords", list}};
    std::cout << out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    return status;
  }
  for (const HeaderRecord& r : records) {
    std::string line = "#" + r.keyword + "=";
    std::string sep = " ";
    if (r.number) {
      line += sep + std::to_string(*r.number);
      sep = ", ";
    }
    for (const auto& f : r.fields) {
      line += sep + (f ? *f : "");
      sep = ", ";
    }
    const std::string m = meaning(r, numbering);
    if (!m.empty()) line += "   [" + m + "]";
    std::cout << line << "\n";
  }
  return status;
}

} // namespace geftool
