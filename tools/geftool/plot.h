// SPDX-License-Identifier: MIT
// geftool plot: a CPT's panels against depth, or a boring's layer column, as a standalone SVG file.
#pragma once

#include <string>
#include <vector>

namespace geftool {

/// Draws `paths` as SVG into `output`. One CPT: cone resistance, friction ratio (computed from
/// local friction when the file has no such column) and pore pressure when present, side by
/// side against depth, depth downwards. One boring: its log, each layer a box in its soil
/// type's colour and hatching with marks for its admixtures, its description expanded with the
/// code texts `codes` beside it, depths and (with ZID) levels, and a legend. One dissipation
/// test: pore pressure against time and against its square root, t50 marked. Several files:
/// CPTs and borings side by side in the order given, on levels when every file gives ZID in one
/// height system, else on depths. Void values leave gaps. Labels left out for room are counted
/// on the picture. Returns 0, or 2 when a file cannot be read, has nothing to plot (a
/// dissipation test without time or pore pressure, or among other files) or the output cannot
/// be written.
int run_plot(const std::vector<std::string>& paths, const std::string& output,
             const std::string& codes = "");

} // namespace geftool
