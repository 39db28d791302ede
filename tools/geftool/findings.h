// SPDX-License-Identifier: MIT
// The current document's error list as findings that carry their level, read through the public C
// interface.
#pragma once

#include <string>
#include <vector>

namespace geftool {

/// One entry of the library's error list.
struct Finding {
  int code = 0;     ///< message code; 0 when it could not be paired with the log
  int level = 0;    ///< 1..5 or 11..15; 0 when unknown
  std::string text; ///< the message in UTF-8, without surrounding blanks and line ends
  int count = 1;    ///< how many identical entries (code, level, text) this one stands for
};

/// The levels in the order the library's log lists them, most serious first.
extern const int kLevels[10];

/// The library's name of `level` ("GEF SEVERE" .. "STANDARD INFORMATION"), "UNKNOWN" otherwise.
const char* level_name(int level);

/// English name of severity class `level % 10`: "severe", "error", "minor", "warning",
/// "information".
const char* class_name(int severity_class);

/// Every entry of the current error list in recording order, with its level. `truncated` is set
/// when the list overflowed and only its first entries are known.
std::vector<Finding> collect_findings(bool* truncated);

/// The findings with identical entries (same code, level and text) folded into the first of
/// them, which counts them; the order of first occurrence is kept.
std::vector<Finding> fold_repeats(std::vector<Finding> findings);

} // namespace geftool
