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
};

/// Runs the check and prints its report. Returns 0 when no file has a severe or error finding
/// (severity class 1 or 2), 1 when one has, 2 when a file could not be read or an argument is
/// wrong.
int run_check(const CheckOptions& options);

} // namespace geftool
