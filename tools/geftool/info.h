// SPDX-License-Identifier: MIT
// geftool info: a readable summary of one GEF file's identity, location and columns.
#pragma once

#include <optional>
#include <string>

namespace geftool {

/// Prints the summary of `path` as text or, with `json`, as one JSON object; a boring also
/// lists its layers, expanded with the code texts `codes` (empty: the shipped soil codes); a
/// dissipation test its facts, t50 taken against `equilibrium` or else the last reading.
/// Returns 0, or 2 when the file could not be read.
int run_info(const std::string& path, bool json, const std::string& codes = "",
             std::optional<double> equilibrium = std::nullopt);

} // namespace geftool
