// SPDX-License-Identifier: MIT
// geftool check: read GEF files, run the rule sets and report the findings by level.
#pragma once

#include <string>
#include <vector>

namespace geftool {

/// What the command line of geftool check asked for.
struct CheckOptions {
  std::vector<std::string> paths; ///< files and folders
  std::vector<std::string> rules; ///< rule-set names; empty: the sets that apply to each file
  std::string log;                ///< where to copy the library's error log; empty: nowhere
  bool json = false;
  bool quiet = false;
  /// The most lenient severity class that still fails a file: 1 severe, 2 error (the default),
  /// 3 minor; 0 never (only the data decide).
  int fail_on = 2;
  int jobs = 1; ///< files read at once, each on its own thread and library document
};

/// Runs the check and prints its report, one line per file that tells the data ("complete",
/// "read short") apart from the rules' findings. Returns 0 when every file's data are complete and
/// no finding reaches `fail_on`, 1 otherwise, 2 when a file could not be read or an argument is
/// wrong.
int run_check(const CheckOptions& options);

} // namespace geftool
