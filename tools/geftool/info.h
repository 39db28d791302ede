// geftool info: a readable summary of one GEF file's identity, location and columns.
#pragma once

#include <string>

namespace geftool {

/// Prints the summary of `path` as text or, with `json`, as one JSON object. Returns 0, or 2
/// when the file could not be read.
int run_info(const std::string& path, bool json);

} // namespace geftool
