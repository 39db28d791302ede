// SPDX-License-Identifier: MIT
// geftool info: a readable summary of one GEF file's identity, location and columns.
#pragma once

#include <string>

namespace geftool {

/// Prints the summary of `path` as text or, with `json`, as one JSON object; a boring also
/// lists its layers, expanded with the code texts `codes` (empty: the shipped soil codes).
/// Returns 0, or 2 when the file could not be read.
int run_info(const std::string& path, bool json, const std::string& codes = "");

} // namespace geftool
