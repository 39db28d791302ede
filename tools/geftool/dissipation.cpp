// SPDX-License-Identifier: MIT
// Reads a dissipation test's time and pore pressure columns and derives what an engineer looks
// for first. t50 is a convenience for looking at a file, not a consolidation analysis.
#include "dissipation.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <limits>

#include <gef/gef.h>

#include "common.h"
#include "layers.h"
#include "text.h"

namespace geftool {
namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
// Quantity numbers: elapsed time; pore pressures u1, u2, u3; corrected depth, penetration length.
constexpr int kQnTime = 12;
constexpr int kQnPore[] = {5, 6, 7};
constexpr int kQnDepth[] = {11, 1};

std::vector<double> readings(int column) {
  const std::optional<double> void_value = column_void(column);
  std::vector<double> out;
  for (int s = 1; s <= get_nr_scans(); ++s) {
    const double v = get_data(column, s);
    out.push_back(is_absent(v) || (void_value && is_void(v, *void_value)) ? kNan : v);
  }
  return out;
}

std::string label_of(int column) {
  const std::string quantity = to_utf8(get_columninfo_Quantity(column));
  const std::string unit = to_utf8(get_columninfo_Unit(column));
  return (quantity.empty() ? "column " + std::to_string(column) : quantity) +
         (unit.empty() ? "" : " [" + unit + "]");
}

// Four significant digits: t50 is read off a curve, its last digits say nothing.
std::string rounded(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.4g", v);
  return buffer;
}

} // namespace

bool is_dissipation() {
  bool named = false;
  for (const std::string& code : {upper(get_procedurecode_flag() ? get_procedurecode_Code() : ""),
                                  upper(get_reportcode_flag() ? get_reportcode_Code() : "")}) {
    if (code.find("DISS") != std::string::npos) return true;
    named = named || !code.empty();
  }
  return !named && column_of_quantity(kQnTime) != 0;
}

std::optional<double> half_time(const std::vector<double>& time, const std::vector<double>& u,
                                double equilibrium) {
  std::size_t first = 0;
  while (first < u.size() && !(std::isfinite(u[first]) && std::isfinite(time[first]))) ++first;
  if (first == u.size() || !(u[first] > equilibrium)) return std::nullopt;
  const double target = (u[first] + equilibrium) / 2;
  std::size_t before = first;
  for (std::size_t i = first + 1; i < u.size() && i < time.size(); ++i) {
    if (!std::isfinite(u[i]) || !std::isfinite(time[i])) continue;
    if (u[i] <= target) {
      const double share = u[before] == u[i] ? 1 : (u[before] - target) / (u[before] - u[i]);
      return time[before] + share * (time[i] - time[before]);
    }
    before = i;
  }
  return std::nullopt;
}

Dissipation read_dissipation(std::optional<double> equilibrium) {
  Dissipation d;
  d.equilibrium_given = equilibrium.has_value();
  const int time = column_of_quantity(kQnTime);
  std::vector<int> pores;
  for (int qn : kQnPore)
    if (const int c = column_of_quantity(qn); c != 0) pores.push_back(c);
  if (time == 0 && pores.empty())
    d.unavailable = "no elapsed-time column (quantity 12) and no pore pressure column (5, 6, 7)";
  else if (time == 0)
    d.unavailable = "no elapsed-time column (quantity 12)";
  else if (pores.empty())
    d.unavailable = "no pore pressure column (quantity 5, 6 or 7)";
  if (!d.unavailable.empty()) return d;

  d.time = readings(time);
  d.time_label = label_of(time);
  d.time_unit = to_utf8(get_columninfo_Unit(time));
  double lo = kNan, hi = kNan;
  for (double t : d.time)
    if (std::isfinite(t)) lo = std::fmin(lo, t), hi = std::fmax(hi, t);
  d.duration = std::isfinite(lo) ? hi - lo : 0;
  for (int qn : kQnDepth) {
    if (const int c = column_of_quantity(qn); c != 0 && !d.depth) {
      for (double v : readings(c))
        if (std::isfinite(v)) {
          d.depth = v;
          d.depth_label = label_of(c);
          break;
        }
    }
  }
  for (int c : pores) {
    PoreCurve curve;
    curve.column = c;
    curve.label = label_of(c);
    curve.values = readings(c);
    std::vector<double> finite;
    for (std::size_t i = 0; i < curve.values.size(); ++i)
      if (std::isfinite(curve.values[i]) && std::isfinite(d.time[i]))
        finite.push_back(curve.values[i]);
    if (finite.empty()) {
      curve.t50_note = "no pore pressure reading";
    } else {
      curve.start = finite.front();
      curve.end = finite.back();
      curve.maximum = *std::max_element(finite.begin(), finite.end());
      curve.equilibrium = equilibrium.value_or(curve.end);
      curve.t50 = half_time(d.time, curve.values, curve.equilibrium);
      if (!curve.t50)
        curve.t50_note = curve.start > curve.equilibrium
                             ? "the pressure does not fall halfway to the equilibrium"
                             : "no excess pore pressure at the start";
    }
    d.curves.push_back(std::move(curve));
  }
  return d;
}

nlohmann::json dissipation_json(const Dissipation& d) {
  if (!d.unavailable.empty()) return {{"unavailable", d.unavailable}};
  nlohmann::json curves = nlohmann::json::array();
  for (const PoreCurve& c : d.curves)
    curves.push_back(
        {{"column", c.column},
         {"label", c.label},
         {"start", c.start},
         {"maximum", c.maximum},
         {"end", c.end},
         {"equilibrium", c.equilibrium},
         {"t50", c.t50 ? nlohmann::json(*c.t50) : nlohmann::json()},
         {"t50_note", c.t50_note.empty() ? nlohmann::json() : nlohmann::json(c.t50_note)}});
  return {{"depth", d.depth ? nlohmann::json(*d.depth) : nlohmann::json()},
          {"depth_label", d.depth ? nlohmann::json(d.depth_label) : nlohmann::json()},
          {"duration", d.duration},
          {"time_unit", d.time_unit},
          {"equilibrium_from", d.equilibrium_given ? "given" : "last reading"},
          {"curves", curves}};
}

void print_dissipation(const Dissipation& d) {
  if (!d.unavailable.empty()) {
    std::cout << "Dissipation     not derived: " << d.unavailable << "\n";
    return;
  }
  const std::string unit = d.time_unit.empty() ? "" : " " + d.time_unit;
  std::cout << "Dissipation     " << number_text(d.duration) << unit << " long"
            << (d.depth ? ", at " + number_text(*d.depth) + " (" + d.depth_label + ")" : "")
            << "; t50 relative to "
            << (d.equilibrium_given ? "the equilibrium given" : "the last reading") << "\n";
  std::vector<std::vector<std::string>> table = {
      {"pore pressure", "start", "maximum", "end", "equilibrium", "t50" + unit}};
  for (const PoreCurve& c : d.curves)
    table.push_back({c.label, number_text(c.start), number_text(c.maximum), number_text(c.end),
                     number_text(c.equilibrium),
                     c.t50 ? rounded(*c.t50) : "- (" + c.t50_note + ")"});
  print_table(table);
}

} // namespace geftool
