// SPDX-License-Identifier: MIT
// The format's standard numbers (quantities, measurement texts and variables) with the names
// engineers know them by; coordinate and height systems are the library's own table.
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

/// A unit as it can stand in a column name: "%" becomes "pct", "kN/m3" "kN_m3", blanks go.
std::string unit_key(const std::string& unit);

} // namespace geftool
