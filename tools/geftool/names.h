// SPDX-License-Identifier: MIT
// The format's standard numbers (quantities, coordinate and height systems, measurement texts and
// variables) with the names engineers know them by.
#pragma once

#include <string>

namespace geftool {

/// Which report's numbering a quantity or measurement number follows.
enum class Numbering { Cpt, Bore };

/// A standard quantity of a data column.
struct QuantityName {
  const char* key;         ///< snake_case name for column headers, "cone_resistance"
  const char* unit;        ///< the standard unit, "MPa"
  const char* description; ///< English name, "cone resistance qc"
};

/// The standard quantity `number` of a report numbered as `numbering`, or null when unknown.
const QuantityName* standard_quantity(Numbering numbering, int number);

/// The meaning of MEASUREMENTTEXT `number`, or null when unknown.
const char* measurement_text_name(Numbering numbering, int number);

/// The meaning of MEASUREMENTVAR `number`, or null when unknown.
const char* measurement_var_name(Numbering numbering, int number);

/// The name of coordinate system `code` of XYID ("RD (Rijksdriehoeksmeting), EPSG:28992"), or
/// null when unknown.
const char* coordinate_system_name(int code);

/// The name of height system `code` of ZID ("NAP"), or null when unknown.
const char* height_system_name(int code);

/// A unit as it can stand in a column name: "%" becomes "pct", "kN/m3" "kN_m3", blanks go.
std::string unit_key(const std::string& unit);

} // namespace geftool
