// SPDX-License-Identifier: MIT
// geftool plot: a CPT's panels against depth, or a boring's layer column, as a standalone SVG file.
#pragma once

#include <string>

namespace geftool {

/// Draws `path` as SVG into `output`: for a CPT, cone resistance, friction ratio (computed from
/// local friction when the file has no such column) and pore pressure when present, side by
/// side against depth, depth downwards; for a boring, the layers as coloured boxes with their
/// texts. Void values leave gaps. Returns 0, or 2 when the file cannot be read, has nothing to
/// plot or the output cannot be written.
int run_plot(const std::string& path, const std::string& output);

} // namespace geftool
