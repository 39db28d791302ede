// SPDX-License-Identifier: MIT
// The facts of a dissipation test: its depth, duration and the course of each pore pressure.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace geftool {

/// One pore pressure column of a dissipation test.
struct PoreCurve {
  int column = 0;
  std::string label;          ///< "pore pressure u2 [kPa]"
  std::vector<double> values; ///< per scan; NaN for void and absent readings
  double start = 0, maximum = 0, end = 0;
  double equilibrium = 0;    ///< the caller's value, else the last reading
  std::optional<double> t50; ///< in the time column's unit
  std::string t50_note;      ///< why t50 is absent
};

/// A dissipation test read from the current document.
struct Dissipation {
  std::optional<double> depth; ///< the first reading of the depth or penetration length column
  std::string depth_label;
  std::string time_label, time_unit;
  std::vector<double> time; ///< per scan; NaN where absent
  double duration = 0;
  bool equilibrium_given = false; ///< false: t50 is relative to the last reading
  std::vector<PoreCurve> curves;
  std::string unavailable; ///< why the columns do not allow the facts; empty when they do
};

/// Whether the current document is a dissipation test: its report code names one
/// (GEF-DISS-Report), or it names no report and has an elapsed-time column.
bool is_dissipation();

/// The time at which `u` has fallen to halfway between its first reading and `equilibrium`,
/// interpolated linearly between readings; none when it starts at or below `equilibrium` or
/// never gets there.
std::optional<double> half_time(const std::vector<double>& time, const std::vector<double>& u,
                                double equilibrium);

/// The dissipation facts of the current document, with `equilibrium` as every curve's
/// equilibrium pore pressure when given.
Dissipation read_dissipation(std::optional<double> equilibrium);

/// The facts as the JSON object "dissipation" of geftool info.
nlohmann::json dissipation_json(const Dissipation& d);

/// Prints the facts under a "Dissipation" heading.
void print_dissipation(const Dissipation& d);

} // namespace geftool
