// SPDX-License-Identifier: MIT
// geftool dump: the data blocks of GEF files as one CSV table.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace geftool {

/// How dump names and fills its columns.
struct DumpOptions {
  std::vector<std::string> paths;
  bool producer_names = false;     ///< keep each file's own quantity texts as column names
  bool keep_voids = false;         ///< write void values instead of empty cells
  std::optional<bool> file_column; ///< a first column "file"; default: on for several files
  std::string codes;               ///< code-text file for boring layers (empty: shipped codes)
  std::string adds;                ///< computed columns to append first (add_derived_columns)
  bool elevation = false;          ///< append the level of each reading (ZID less the depth)
  std::string per_file;            ///< folder for one CSV per file; empty: one table on stdout
  int jobs = 1;                    ///< files read at once, each on its own thread and document
};

/// Writes the data blocks of `options.paths` to standard output as CSV: a header row, one row per
/// scan, the per-scan column text and a boring's expanded layer description as last columns.
/// Columns are named by their standard quantity and unit ("cone_resistance_MPa"); files with
/// different columns share one header, each file filling the columns it has. Returns 2 when a
/// file could not be read or a computed column is unknown, 1 when a data block was read short
/// or a computed column was left out, else 0.
int run_dump(const DumpOptions& options);

} // namespace geftool
