// SPDX-License-Identifier: MIT
// Where a test was made: the system names of the library's table, WGS84 through PROJ, and the
// suspect locations geftool check reports in its LOCATION group.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace geftool {

struct Facts;

/// The name of coordinate system `code` with its EPSG code ("RD (Rijksdriehoeksmeting),
/// EPSG:28992"), or nothing when the library's table does not know the code.
std::optional<std::string> coordinate_system_label(int code);

/// The name of height system `code` ("NAP"), or nothing when unknown.
std::optional<std::string> height_system_label(int code);

/// A doubt about a file's location; never an error of the format.
struct LocationFinding {
  int severity_class = 5; ///< 4 warning (the location is not used), 5 information
  std::string text;
};

/// The file's location in WGS84, or why it has none that can be used.
struct Wgs84 {
  std::optional<double> longitude, latitude; ///< degrees, both given or neither
  std::string unusable;                      ///< why not, when not
  std::vector<LocationFinding> findings;
};

/// Judges the location of `facts` and, unless only the `findings` are wanted, transforms it to
/// WGS84 when it is sound and its system has an EPSG code. A location with a warning finding is
/// not transformed. The findings never depend on the transformation, which costs PROJ's start-up.
Wgs84 wgs84_of(const Facts& facts, bool findings_only = false);

/// "5.3872004 E, 52.1551698 N", or "- (why)" when there is none.
std::string wgs84_text(const Wgs84& place);

/// Adds "longitude" and "latitude" (null when unusable) to the JSON object `location`.
void add_wgs84_json(nlohmann::json& location, const Wgs84& place);

/// The findings in check's form: the group heading "LOCATION" and one line each, indented as
/// check's other groups.
void print_location_findings(const std::vector<LocationFinding>& findings);

/// The findings as a JSON array of {"class", "class_name", "text"}.
nlohmann::json location_findings_json(const std::vector<LocationFinding>& findings);

} // namespace geftool
