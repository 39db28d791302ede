// SPDX-License-Identifier: MIT
// geftool convert: rewrite a GEF file through the library with a normalised header and layout.
#pragma once

#include <string>
#include <vector>

namespace geftool {

// What `geftool convert` changes before writing.
struct ConvertOptions {
  std::string input, output;
  bool binary = false;
  bool ascii = false;
  std::string datatype;                // with binary: the element type, empty for the file's own
  std::vector<std::string> separators; // empty, or the column and the record separator
  bool no_separators = false;          // write the plain layout: values apart by blanks
  std::string format;                  // REPORTDATAFORMAT tokens, empty to keep the file's
  std::string adds;                    // computed columns to append (rf, rf-shifted, depth)
  bool allow_loss = false;             // exit 0 even when the output lost something (still told)
};

// Reads, applies the options, writes and reads the output back. Every field, value or text the
// output does not hold as the input did is told on stderr. Returns 0 when written whole, 1 when
// something was lost (unless allowed) or only the header could be written, 2 when the input is
// unreadable, the output not writable or an option is wrong.
int run_convert(const ConvertOptions& options);

} // namespace geftool
