// SPDX-License-Identifier: MIT
// Reads the engineer's facts from the header entries and the data block of the current document.
#include "facts.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <type_traits>
#include <utility>

#include <gef/gef.h>

#include "common.h"
#include "header.h"
#include "location.h"
#include "names.h"
#include "rule_sets.h"
#include "text.h"

namespace geftool {
namespace {

// Whether calc_columnminmax leaves `v` out as void value `w`: a tiny void value (below 1e-40)
// stands for every value smaller in magnitude, any other matches within 1e-10 relative. The
// value count beside the range must leave out the same values.
bool void_for_ranges(double v, double w) {
  if (std::fabs(w) < 1e-40) return std::fabs(v) < std::fabs(w);
  return std::fabs(1.0 - v / w) < 1e-10;
}

std::optional<std::string> field_text(const HeaderRecord* r, std::size_t field) {
  if (!has_field(r, field)) return std::nullopt;
  return r->fields[field - 1];
}

std::optional<double> field_number(const HeaderRecord* r, std::size_t field) {
  const auto text = field_text(r, field);
  if (!text) return std::nullopt;
  char* end = nullptr;
  const double v = std::strtod(text->c_str(), &end);
  if (end == text->c_str()) return std::nullopt;
  return v;
}

std::optional<int> field_int(const HeaderRecord* r, std::size_t field) {
  const auto v = field_number(r, field);
  if (!v) return std::nullopt;
  return static_cast<int>(*v);
}

std::optional<std::string> date_of(const HeaderRecord* r) {
  const auto y = field_int(r, 1), m = field_int(r, 2), d = field_int(r, 3);
  if (!y || !m || !d) return std::nullopt;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", *y, *m, *d);
  return std::string(buffer);
}

// yyyy-mm-dd from a date written as text (yyyy-mm-dd, dd-mm-yyyy, yyyymmdd; '/' or '.' also
// separate); the text as written when it has another form, nothing when it is empty or "-".
std::optional<std::string> text_date(const std::optional<std::string>& text) {
  if (!text || text->empty() || *text == "-") return std::nullopt;
  int a = 0, b = 0, c = 0;
  char s1 = 0, s2 = 0, rest = 0;
  char buffer[32];
  const char* t = text->c_str();
  if (std::sscanf(t, "%d%c%d%c%d%c", &a, &s1, &b, &s2, &c, &rest) == 5 && s1 == s2 &&
      (s1 == '-' || s1 == '/' || s1 == '.')) {
    if (a < 100) std::swap(a, c); // dd-mm-yyyy
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", a, b, c);
    return std::string(buffer);
  }
  if (text->size() == 8 && std::sscanf(t, "%4d%2d%2d%c", &a, &b, &c, &rest) == 3) {
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", a, b, c);
    return std::string(buffer);
  }
  return text;
}

// "GEF-CPT-Report" with its version from a code keyword such as REPORTCODE.
void take_code(const HeaderRecord* r, Facts& facts) {
  if (facts.report_type || !field_text(r, 1) || field_text(r, 1)->empty()) return;
  facts.report_type = field_text(r, 1);
  const auto a = field_int(r, 2), b = field_int(r, 3), c = field_int(r, 4);
  if (a && b && c)
    facts.report_version = std::to_string(*a) + "." + std::to_string(*b) + "." + std::to_string(*c);
}

std::vector<ColumnFacts> read_columns(int scans, Numbering numbering) {
  std::vector<ColumnFacts> columns;
  for (int c = 1; c <= column_count(); ++c) {
    ColumnFacts col;
    col.number = c;
    if (get_columninfo_flag(c) != 0) {
      col.unit = to_utf8(get_columninfo_Unit(c));
      col.quantity = to_utf8(get_columninfo_Quantity(c));
      const int qn = get_columninfo_Qnumber(c);
      if (qn >= 0 && qn != 32767) col.quantity_number = qn;
    }
    if (col.quantity_number) {
      const QuantityName* q = standard_quantity(numbering, *col.quantity_number);
      if (q != nullptr) col.standard_name = q->key;
    }
    col.void_value = column_void(c);
    if (get_columnminmax_flag(c) != 0) {
      if (!is_absent(get_columnminmax_Min(c))) col.declared_min = get_columnminmax_Min(c);
      if (!is_absent(get_columnminmax_Max(c))) col.declared_max = get_columnminmax_Max(c);
    }
    // The library computes the range, replacing the declared one that was read above.
    if (calc_columnminmax(c) == 1) {
      col.min = get_columnminmax_Min(c);
      col.max = get_columnminmax_Max(c);
    }
    for (int s = 1; s <= scans; ++s) {
      const double v = get_data(c, s);
      if (is_absent(v) || (col.void_value && void_for_ranges(v, *col.void_value))) continue;
      ++col.values;
    }
    if (col.values == 0) col.min = col.max = std::nullopt;
    columns.push_back(col);
  }
  return columns;
}

const ColumnFacts* column_of(const std::vector<ColumnFacts>& columns, int quantity_number) {
  for (const ColumnFacts& c : columns)
    if (c.quantity_number == quantity_number) return &c;
  return nullptr;
}

} // namespace

Facts gather_facts(bool with_columns) {
  Facts f;
  const std::vector<HeaderRecord> records = header_records();
  const ReportKind kind = report_kind();
  const Numbering numbering = kind == ReportKind::Bore ? Numbering::Bore : Numbering::Cpt;
  const HeaderRecord* gefid = find_record(records, "GEFID");
  if (field_int(gefid, 1) && field_int(gefid, 2) && field_int(gefid, 3))
    f.gefid = std::to_string(*field_int(gefid, 1)) + "." + std::to_string(*field_int(gefid, 2)) +
              "." + std::to_string(*field_int(gefid, 3));
  take_code(find_record(records, "REPORTCODE"), f);
  take_code(find_record(records, "PROCEDURECODE"), f);
  f.test_id = field_text(find_record(records, "TESTID"), 1);
  f.company = field_text(find_record(records, "COMPANYID"), 1);
  // A test's own date before the file's: a boring states it in MEASUREMENTTEXT 16.
  f.date = date_of(find_record(records, "STARTDATE"));
  if (f.date) {
    f.date_source = "STARTDATE";
  } else if (kind == ReportKind::Bore &&
             (f.date = text_date(field_text(find_record(records, "MEASUREMENTTEXT", 16), 1)))) {
    f.date_source = "MEASUREMENTTEXT 16";
  } else if ((f.date = date_of(find_record(records, "FILEDATE")))) {
    f.date_source = "FILEDATE";
  }

  const HeaderRecord* xy = find_record(records, "XYID");
  f.system_code = field_int(xy, 1);
  f.x = field_number(xy, 2);
  f.y = field_number(xy, 3);
  f.dx = field_number(xy, 4);
  f.dy = field_number(xy, 5);
  if (f.system_code) f.system_name = coordinate_system_label(*f.system_code);
  const HeaderRecord* zid = find_record(records, "ZID");
  f.height_code = field_int(zid, 1);
  f.z = field_number(zid, 2);
  f.dz = field_number(zid, 3);
  if (f.height_code) f.height_name = height_system_label(*f.height_code);

  if (numbering == Numbering::Cpt) {
    f.pre_excavated_depth = field_number(find_record(records, "MEASUREMENTVAR", 13), 1);
    f.end_depth = field_number(find_record(records, "MEASUREMENTVAR", 16), 1);
    f.cone_type = field_text(find_record(records, "MEASUREMENTTEXT", 4), 1);
    const HeaderRecord* area = find_record(records, "MEASUREMENTVAR", 1);
    f.tip_area = field_number(area, 1);
    f.tip_area_unit = field_text(area, 2);
  } else {
    f.end_depth = field_number(find_record(records, "MEASUREMENTVAR", 16), 1);
  }

  if (!with_columns) return f;
  f.scans = std::max(get_nr_scans(), 0);
  f.columns = read_columns(f.scans, numbering);
  // A boring's depth is the bottom of its layers; a sounding's the corrected depth when given.
  const ColumnFacts* length = column_of(f.columns, numbering == Numbering::Bore ? 2 : 1);
  if (length != nullptr && length->max) f.final_penetration_length = length->max;
  const ColumnFacts* depth = numbering == Numbering::Bore ? column_of(f.columns, 1) : nullptr;
  if (depth == nullptr) depth = column_of(f.columns, 11);
  if (depth == nullptr) depth = length;
  if (f.z && depth != nullptr && depth->min && depth->max) {
    f.top_level = *f.z - std::abs(*depth->min);
    f.bottom_level =
        *f.z - std::abs(numbering == Numbering::Bore && length ? *length->max : *depth->max);
  }
  // Levels are sums of metres: rounding to the micrometre drops the binary noise of the sum.
  for (auto* level : {&f.top_level, &f.bottom_level})
    if (*level) *level = std::round(**level * 1e6) / 1e6;
  if (numbering == Numbering::Cpt) {
    const ColumnFacts* qc = column_of(f.columns, 2);
    if (qc != nullptr) f.max_cone_resistance = qc->max;
  }
  return f;
}

nlohmann::json facts_json(const Facts& f) {
  auto j = [](const auto& v) {
    if (!v) return nlohmann::json();
    // A number from a 4-byte float goes out as the float's text, as dump writes it.
    if constexpr (std::is_same_v<std::decay_t<decltype(*v)>, double>)
      return nlohmann::json(std::strtod(number_text(*v).c_str(), nullptr));
    else
      return nlohmann::json(*v);
  };
  nlohmann::json out;
  out["gefid"] = j(f.gefid);
  out["report_type"] = j(f.report_type);
  out["report_version"] = j(f.report_version);
  out["test_id"] = j(f.test_id);
  out["company"] = j(f.company);
  out["date"] = j(f.date);
  out["date_source"] = j(f.date_source);
  out["location"] = {{"x", j(f.x)},
                     {"y", j(f.y)},
                     {"dx", j(f.dx)},
                     {"dy", j(f.dy)},
                     {"system_code", j(f.system_code)},
                     {"system", j(f.system_name)}};
  add_wgs84_json(out["location"], wgs84_of(f));
  out["surface"] = {{"z", j(f.z)},
                    {"dz", j(f.dz)},
                    {"height_code", j(f.height_code)},
                    {"height_system", j(f.height_name)}};
  out["pre_excavated_depth"] = j(f.pre_excavated_depth);
  out["end_depth"] = j(f.end_depth);
  out["final_penetration_length"] = j(f.final_penetration_length);
  out["top_level"] = j(f.top_level);
  out["bottom_level"] = j(f.bottom_level);
  out["cone"] = {
      {"type", j(f.cone_type)}, {"tip_area", j(f.tip_area)}, {"tip_area_unit", j(f.tip_area_unit)}};
  out["max_cone_resistance"] = j(f.max_cone_resistance);
  out["scans"] = f.scans;
  nlohmann::json cols = nlohmann::json::array();
  for (const ColumnFacts& c : f.columns)
    cols.push_back({{"number", c.number},
                    {"unit", j(c.unit)},
                    {"quantity", j(c.quantity)},
                    {"quantity_number", j(c.quantity_number)},
                    {"standard_name", j(c.standard_name)},
                    {"void", j(c.void_value)},
                    {"min", j(c.min)},
                    {"max", j(c.max)},
                    {"declared_min", j(c.declared_min)},
                    {"declared_max", j(c.declared_max)},
                    {"values", c.values}});
  out["columns"] = cols;
  return out;
}

} // namespace geftool
