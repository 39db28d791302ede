// SPDX-License-Identifier: MIT
// geftool summary: one row per file for a folder of downloaded soundings and borings.
#pragma once

#include <string>
#include <vector>

namespace geftool {

/// Prints one row per GEF file under `paths` (files, or folders searched for *.gef) as CSV or,
/// with `json`, one JSON document. Returns 2 when a file could not be read, 1 when a data block
/// was read short or a severe or error finding remains, else 0. `jobs` files are read at once.
int run_summary(const std::vector<std::string>& paths, bool json, int jobs);

} // namespace geftool
