// geftool dump: the data block of one GEF file as CSV.
#pragma once

#include <string>

namespace geftool {

/// Writes the data block of `path` to standard output as CSV: a header row of quantities, one
/// row per scan and the per-scan column text as a last column when the file has any. With
/// `voids_empty`, void values are written as empty cells. A boring gets a last column "layer
/// description" with each layer's description expanded with the code texts `codes` (empty: the
/// shipped soil codes). `adds` names computed columns to append first (see
/// add_derived_columns). Returns 0, 1 when a computed column was left out, or 2 when the file
/// could not be read or a computed column is unknown.
int run_dump(const std::string& path, bool voids_empty, const std::string& codes = "",
             const std::string& adds = "");

} // namespace geftool
