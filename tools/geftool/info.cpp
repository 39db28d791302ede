// Gathers the header facts a person looks for first and prints them as text or JSON.
#include "info.h"

#include <iomanip>
#include <iostream>
#include <optional>
#include <sstream>
#include <vector>

#include <nlohmann/json.hpp>

#include <gef/gef.h>

#include "document/columns.h" // the library's void rule

#include "common.h"
#include "derived.h"
#include "layers.h"
#include "rule_sets.h"
#include "text.h"

using nlohmann::json;

namespace geftool {
namespace {

constexpr int kIntAbsent = 32767;

struct Column {
  int number = 0;
  std::optional<std::string> unit, quantity;
  std::optional<int> quantity_number;
  std::optional<double> void_value, declared_min, declared_max, min, max;
  int values = 0; // scans whose value is not void
};

std::optional<std::string> text(const char* raw) {
  if (raw == nullptr) return std::nullopt;
  return to_utf8(raw);
}

std::optional<double> number(double value) {
  if (is_absent(value)) return std::nullopt;
  return value;
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

std::vector<Column> read_columns(int scans) {
  std::vector<Column> columns;
  for (int c = 1; c <= column_count(); ++c) {
    Column col;
    col.number = c;
    if (get_columninfo_flag(c) != 0) {
      col.unit = text(get_columninfo_Unit(c));
      col.quantity = text(get_columninfo_Quantity(c));
      const int qn = get_columninfo_Qnumber(c);
      if (qn >= 0 && qn != kIntAbsent) col.quantity_number = qn;
    }
    col.void_value = column_void(c);
    if (get_columnminmax_flag(c) != 0) {
      col.declared_min = number(get_columnminmax_Min(c));
      col.declared_max = number(get_columnminmax_Max(c));
    }
    // The library computes the range, replacing the declared one that was read above.
    if (calc_columnminmax(c) == 1) {
      col.min = get_columnminmax_Min(c);
      col.max = get_columnminmax_Max(c);
    }
    for (int s = 1; s <= scans; ++s) {
      const double v = get_data(c, s);
      if (is_absent(v) ||
          (col.void_value && gef::matches_void(v, *col.void_value, gef::kVoidThreshold)))
        continue;
      ++col.values;
    }
    columns.push_back(col);
  }
  return columns;
}

template <typename T> json or_null(const std::optional<T>& value) {
  return value ? json(*value) : json();
}

std::string shown(const std::optional<std::string>& s) { return s ? *s : "-"; }
std::string shown(const std::optional<double>& v) { return v ? number_text(*v) : "-"; }
std::string shown(const std::optional<int>& v) { return v ? std::to_string(*v) : "-"; }

} // namespace

int run_info(const std::string& path, bool as_json, const std::string& codes) {
  LibrarySession session;
  if (!session.ok() || !read_for("info", path)) return 2;
  // Counted before any getter runs: some getters record their own entries.
  ReadConversion conversion;
  const int messages = count_read_messages(&conversion);

  const std::optional<std::string> gefid =
      get_gefid_flag() != 0 ? std::optional<std::string>(std::to_string(get_gefid_Release()) + "." +
                                                         std::to_string(get_gefid_Version()) + "." +
                                                         std::to_string(get_gefid_Update()))
                            : std::nullopt;
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
  const int scans = get_nr_scans();
  const std::vector<Column> columns = read_columns(scans);
  int texts = 0;
  for (int s = 1; s <= scans; ++s) texts += get_columntext_text_flag(s) != 0 ? 1 : 0;
  const bool boring = gbr_is_gbr() != 0;
  const std::vector<Layer> layers =
      boring ? read_layers(load_layer_codes(codes)) : std::vector<Layer>();

  if (as_json) {
    json j;
    j["file"] = to_utf8(path);
    j["gefid"] = or_null(gefid);
    j["procedurecode"] = or_null(procedure);
    j["reportcode"] = or_null(report);
    j["report"] = kind == ReportKind::None ? json() : json(report_kind_name(kind));
    j["cpt_report_version"] = or_null(cpt_version);
    j["conversion"] = conversion_json(conversion);
    j["project"] = or_null(project);
    j["project_name"] = or_null(project_name);
    j["test_id"] = or_null(test_id);
    j["company"] = or_null(company);
    j["xyid"] = has_xy ? json{{"system", get_xyid_MapID()},
                              {"x", or_null(number(get_xyid_X()))},
                              {"y", or_null(number(get_xyid_Y()))},
                              {"dx", or_null(number(get_xyid_Epsx()))},
                              {"dy", or_null(number(get_xyid_Epsy()))}}
                       : json();
    j["zid"] = has_z ? json{{"reference", get_zid_ReferenceID()},
                            {"z", or_null(number(get_zid_Z()))},
                            {"dz", or_null(number(get_zid_Epsz()))}}
                     : json();
    j["scans"] = scans;
    j["column_texts"] = texts;
    json cols = json::array();
    for (const Column& c : columns)
      cols.push_back({{"number", c.number},
                      {"unit", or_null(c.unit)},
                      {"quantity", or_null(c.quantity)},
                      {"quantity_number", or_null(c.quantity_number)},
                      {"void", or_null(c.void_value)},
                      {"min", or_null(c.min)},
                      {"max", or_null(c.max)},
                      {"declared_min", or_null(c.declared_min)},
                      {"declared_max", or_null(c.declared_max)},
                      {"values", c.values}});
    j["columns"] = cols;
    if (boring) j["layers"] = layers_json(layers);
    j["messages_after_reading"] = messages;
    std::cout << j.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
    return 0;
  }

  auto row = [](const char* label, const std::string& value) {
    std::cout << std::left << std::setw(16) << label << value << "\n";
  };
  row("File", to_utf8(path));
  row("GEFID", shown(gefid));
  row("Report type", kind == ReportKind::None ? "-" : report_kind_name(kind));
  if (cpt_version) row("CPT report", *cpt_version);
  if (const auto converted = conversion_text(conversion)) row("Conversion", *converted);
  row("PROCEDURECODE", shown(procedure));
  row("REPORTCODE", shown(report));
  row("Project", shown(project) + (project_name ? ", " + *project_name : ""));
  if (test_id) row("Test", *test_id);
  if (company) row("Company", *company);
  row("Location XYID", has_xy ? "x " + shown(number(get_xyid_X())) + ", y " +
                                    shown(number(get_xyid_Y())) + " (system " +
                                    std::to_string(get_xyid_MapID()) + ")"
                              : "-");
  row("Height ZID", has_z ? shown(number(get_zid_Z())) + " (reference " +
                                std::to_string(get_zid_ReferenceID()) + ")"
                          : "-");
  row("Scans", scans >= 0 ? std::to_string(scans) : "-");
  row("Column texts", texts > 0 ? "yes, " + std::to_string(texts) + " scans" : "no");
  if (messages > 0)
    row("Messages", std::to_string(messages) + " after reading (geftool check lists them)");
  row("Columns", std::to_string(columns.size()));

  // A plain table: widths follow the longest cell of each column.
  std::vector<std::vector<std::string>> table = {
      {"#", "unit", "quantity", "qn", "void", "min", "max"}};
  for (const Column& c : columns)
    table.push_back({std::to_string(c.number), shown(c.unit), shown(c.quantity),
                     shown(c.quantity_number), shown(c.void_value), shown(c.min), shown(c.max)});
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
  return 0;
}

} // namespace geftool
