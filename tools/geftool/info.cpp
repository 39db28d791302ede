// SPDX-License-Identifier: MIT
// Gathers the header facts a person looks for first and prints them as text or JSON.
#include "info.h"

#include <iomanip>
#include <iostream>
#include <optional>
#include <sstream>
#include <vector>

#include <nlohmann/json.hpp>

#include <gef/gef.h>

#include "common.h"
#include "derived.h"
#include "dissipation.h"
#include "facts.h"
#include "layers.h"
#include "location.h"
#include "reading.h"
#include "rule_sets.h"
#include "text.h"

using nlohmann::json;

namespace geftool {
namespace {

constexpr int kIntAbsent = 32767;

std::optional<std::string> text(const char* raw) {
  if (raw == nullptr) return std::nullopt;
  return to_utf8(raw);
}

// "GEF-CPT-Report 1.1.0" from a code keyword, or nothing when it is absent.
std::optional<std::string> code_line(int flag, const char* code, int release, int version,
                                     int update) {
  if (flag == 0) return std::nullopt;
  std::string line = to_utf8(code);
  if (release != kIntAbsent && version != kIntAbsent && update != kIntAbsent)
    line += (line.empty() ? "" : " ") + std::to_string(release) + "." + std::to_string(version) +
            "." + std::to_string(update);
  return line;
}

template <typename T> json or_null(const std::optional<T>& value) {
  return value ? json(*value) : json();
}

std::string shown(const std::optional<std::string>& s) { return s ? *s : "-"; }
std::string shown(const std::optional<double>& v) { return v ? number_text(*v) : "-"; }
std::string shown(const std::optional<int>& v) { return v ? std::to_string(*v) : "-"; }

} // namespace

int run_info(const std::string& path, bool as_json, const std::string& codes,
             std::optional<double> equilibrium) {
  LibrarySession session;
  if (!session.ok()) return 2;
  // Taken before any getter runs: some getters record their own entries.
  const ReadResult read = read_document(path);
  const int status = tell_losses("info", path, read);
  if (!read.read) return status;
  int messages = 0;
  for (const Finding& f : read.findings) messages += f.count;
  const ReadConversion conversion = conversion_of(read.findings);
  const Facts facts = gather_facts();

  const auto procedure =
      code_line(get_procedurecode_flag(), get_procedurecode_Code(), get_procedurecode_Release(),
                get_procedurecode_Version(), get_procedurecode_Update());
  const auto report =
      code_line(get_reportcode_flag(), get_reportcode_Code(), get_reportcode_Release(),
                get_reportcode_Version(), get_reportcode_Update());
  const ReportKind kind = report_kind();
  // The version the library recognises; a code that names a CPT report it does not know says so.
  std::optional<std::string> cpt_version;
  if (gcr_is_gcr() != 0)
    cpt_version = std::to_string(gcr_get_release()) + "." + std::to_string(gcr_get_version()) +
                  "." + std::to_string(gcr_get_update());
  else if (kind == ReportKind::Cpt)
    cpt_version = "not recognised";

  std::optional<std::string> project;
  if (get_projectid_flag() != 0) {
    std::string p;
    for (const char* part : {get_projectid_Type(), get_projectid_Number(), get_projectid_Sub()})
      if (part != nullptr && *part != '\0') p += (p.empty() ? "" : " ") + to_utf8(part);
    project = p;
  }
  const auto project_name = text(get_projectname());
  const auto test_id = text(get_testid());
  const auto company = get_companyid_flag() != 0 ? text(get_companyid_Name()) : std::nullopt;

  const bool has_xy = get_xyid_flag() != 0;
  const bool has_z = get_zid_flag() != 0;
  const int scans = facts.scans;
  int texts = 0;
  for (int s = 1; s <= scans; ++s) texts += get_columntext_text_flag(s) != 0 ? 1 : 0;
  const bool boring = gbr_is_gbr() != 0;
  const std::vector<Layer> layers =
      boring ? read_layers(load_layer_codes(codes)) : std::vector<Layer>();
  const std::optional<Dissipation> dissipation =
      is_dissipation() ? std::optional<Dissipation>(read_dissipation(equilibrium)) : std::nullopt;

  if (as_json) {
    json j = facts_json(facts);
    j["schema"] = 1;
    j["file"] = to_utf8(path);
    j["procedurecode"] = or_null(procedure);
    j["reportcode"] = or_null(report);
    j["report"] = kind == ReportKind::None ? json() : json(report_kind_name(kind));
    j["cpt_report_version"] = or_null(cpt_version);
    j["conversion"] = conversion_json(conversion);
    j["project"] = or_null(project);
    j["project_name"] = or_null(project_name);
    // The older location members, kept for scripts written against them.
    j["xyid"] = has_xy ? json{{"system", get_xyid_MapID()},
                              {"x", or_null(facts.x)},
                              {"y", or_null(facts.y)},
                              {"dx", or_null(facts.dx)},
                              {"dy", or_null(facts.dy)}}
                       : json();
    j["zid"] = has_z ? json{{"reference", get_zid_ReferenceID()},
                            {"z", or_null(facts.z)},
                            {"dz", or_null(facts.dz)}}
                     : json();
    j["column_texts"] = texts;
    if (boring) j["layers"] = layers_json(layers);
    if (dissipation) j["dissipation"] = dissipation_json(*dissipation);
    j["messages_after_reading"] = messages;
    j["data_complete"] = !read.data_loss.has_value();
    j["data_loss"] = read.data_loss ? json(loss_text(read)) : json();
    std::cout << j.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
    return status;
  }

  auto row = [](const char* label, const std::string& value) {
    std::cout << std::left << std::setw(16) << label << value << "\n";
  };
  auto with_code = [](const std::optional<std::string>& name, const std::optional<int>& code) {
    if (!code) return std::string("-");
    return name ? *name + " (" + std::to_string(*code) + ")" : "system " + std::to_string(*code);
  };
  row("File", to_utf8(path));
  row("GEFID", shown(facts.gefid));
  row("Report type", kind != ReportKind::None ? report_kind_name(kind) : shown(facts.report_type));
  if (kind == ReportKind::None && facts.report_version)
    row("Report version", *facts.report_version);
  if (cpt_version) row("CPT report", *cpt_version);
  if (const auto converted = conversion_text(conversion)) row("Conversion", *converted);
  row("PROCEDURECODE", shown(procedure));
  row("REPORTCODE", shown(report));
  row("Project", shown(project) + (project_name ? ", " + *project_name : ""));
  if (test_id) row("Test", *test_id);
  if (company) row("Company", *company);
  if (facts.date) row("Date", *facts.date + " (" + *facts.date_source + ")");
  row("Location XYID", has_xy ? "x " + shown(facts.x) + ", y " + shown(facts.y) + ", " +
                                    with_code(facts.system_name, facts.system_code)
                              : "-");
  if (has_xy) row("WGS84", wgs84_text(wgs84_of(facts)));
  row("Surface ZID",
      has_z ? shown(facts.z) + " m " + with_code(facts.height_name, facts.height_code) : "-");
  if (facts.pre_excavated_depth) row("Pre-excavated", shown(facts.pre_excavated_depth) + " m");
  if (facts.final_penetration_length)
    row(boring ? "Final depth" : "Final length", shown(facts.final_penetration_length) + " m");
  if (facts.end_depth) row("End depth", shown(facts.end_depth) + " m (MEASUREMENTVAR 16)");
  if (facts.top_level)
    row("Depth range", shown(facts.top_level) + " to " + shown(facts.bottom_level) + " m " +
                           (facts.height_name ? *facts.height_name : "(height system)"));
  if (facts.cone_type) row("Cone", *facts.cone_type);
  if (facts.tip_area)
    row("Tip area",
        shown(facts.tip_area) + (facts.tip_area_unit ? " " + *facts.tip_area_unit : ""));
  row("Scans", std::to_string(scans) + (read.data_loss ? " (" + loss_text(read) + ")" : ""));
  row("Column texts", texts > 0 ? "yes, " + std::to_string(texts) + " scans" : "no");
  if (messages > 0)
    row("Messages", std::to_string(messages) + " after reading (geftool check lists them)");
  row("Columns", std::to_string(facts.columns.size()));

  // A plain table: widths follow the longest cell of each column.
  std::vector<std::vector<std::string>> table = {
      {"#", "unit", "quantity", "qn", "standard name", "void", "min", "max"}};
  for (const ColumnFacts& c : facts.columns)
    table.push_back({std::to_string(c.number), shown(c.unit), shown(c.quantity),
                     shown(c.quantity_number), shown(c.standard_name), shown(c.void_value),
                     shown(c.min), shown(c.max)});
  std::vector<std::size_t> widths(table[0].size(), 0);
  for (const auto& cells : table)
    for (std::size_t i = 0; i < cells.size(); ++i)
      widths[i] = std::max(widths[i], utf8_width(cells[i]));
  for (const auto& cells : table) {
    std::string line = " ";
    for (std::size_t i = 0; i < cells.size(); ++i)
      line += " " + cells[i] + std::string(widths[i] - utf8_width(cells[i]), ' ');
    line.erase(line.find_last_not_of(' ') + 1);
    std::cout << line << "\n";
  }
  if (boring) print_layers(layers);
  if (dissipation) print_dissipation(*dissipation);
  return status;
}

} // namespace geftool
