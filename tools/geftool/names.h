// SPDX-License-Identifier: MIT
// The format's standard numbers (quantities, measurement texts and variables) with the names
// engineers know them by; coordinate and height systems are the library's own table.
#pragma once

#include <optional>
#include <string>

namespace geftool {

/// Which report's numbering a quantity or measurement number follows.
enum class Numbering { Cpt, Bore };

/// A quantity of a data column, from the column-name table (data/column_names.txt).
struct QuantityName {
  std::string key;         ///< snake_case name for column headers, "cone_resistance"
  std::string unit;        ///< the standard unit, "MPa"
  std::string description; ///< English name, "cone resistance qc"
};

/// The standard quantity `number` of a report numbered as `numbering`, or null when unknown.
const QuantityName* standard_quantity(Numbering numbering, int number);

/// The name of a data column in dump and the Python package's to_pandas: the canonical quantity
/// (by its standard number, else by the producer's text, else that text as a key, else
/// "column_N") and the canonical unit ("MPa (megaPascal)" and "Mpa" are "MPa"; a spelling the
/// table does not know stays as written), as in "cone_resistance_MPa".
std::string column_name(Numbering numbering, std::optional<int> number, const std::string& quantity,
                        const std::string& unit, int column);

/// The meaning of MEASUREMENTTEXT `number`, or null when unknown.
const char* measurement_text_name(Numbering numbering, int number);

/// The meaning of MEASUREMENTVAR `number`, or null when unknown.
const char* measurement_var_name(Numbering numbering, int number);

/// A unit as it can stand in a column name: "%" becomes "pct", "kN/m3" "kN_m3", blanks go.
std::string unit_key(const std::string& unit);

} // namespace geftool
