// SPDX-License-Identifier: MIT
// The facts an engineer looks for first in a sounding or boring, gathered once for info and
// summary.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace geftool {

/// One data column with its standard name and range.
struct ColumnFacts {
  int number = 0;
  std::optional<std::string> unit, quantity, standard_name;
  std::optional<int> quantity_number;
  std::optional<double> void_value, declared_min, declared_max, min, max;
  int values = 0; ///< scans whose value is not void
};

/// What info and summary print; every absent item stays empty, nothing is invented.
struct Facts {
  std::optional<std::string> gefid, report_type, report_version, test_id, company;
  /// yyyy-mm-dd; from "STARTDATE", "MEASUREMENTTEXT 16" (a boring) or "FILEDATE"
  std::optional<std::string> date, date_source;
  std::optional<double> x, y, dx, dy;
  std::optional<int> system_code;
  std::optional<std::string> system_name;
  std::optional<double> z, dz;
  std::optional<int> height_code;
  std::optional<std::string> height_name;
  std::optional<double> pre_excavated_depth, end_depth, final_penetration_length;
  std::optional<double> top_level, bottom_level; ///< depth range relative to the height system
  std::optional<std::string> cone_type;
  std::optional<double> tip_area;
  std::optional<std::string> tip_area_unit;
  std::optional<double> max_cone_resistance;
  int scans = 0;
  std::vector<ColumnFacts> columns;
};

/// Gathers the facts of the current document; without `with_columns`, only the header's
/// (no scans, no columns), for callers that look at the header alone.
Facts gather_facts(bool with_columns = true);

/// The facts as JSON members (absent items null), to be merged into a command's document.
nlohmann::json facts_json(const Facts& facts);

} // namespace geftool
