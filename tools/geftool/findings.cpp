// SPDX-License-Identifier: MIT
// The entries of the library's error list as findings with their levels, and their names.
#include "findings.h"

#include <map>
#include <tuple>

#include <gef/gef.h>

#include "text.h"

namespace geftool {
namespace {

std::string trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  const auto last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

} // namespace

const int kLevels[10] = {1, 2, 3, 4, 5, 11, 12, 13, 14, 15};

const char* level_name(int level) {
  switch (level) {
  case 1: return "GEF SEVERE";
  case 2: return "GEF ERROR";
  case 3: return "GEF MINOR";
  case 4: return "GEF WARNING";
  case 5: return "GEF INFORMATION";
  case 11: return "STANDARD SEVERE";
  case 12: return "STANDARD ERROR";
  case 13: return "STANDARD MINOR";
  case 14: return "STANDARD WARNING";
  case 15: return "STANDARD INFORMATION";
  default: return "UNKNOWN";
  }
}

const char* class_name(int severity_class) {
  switch (severity_class) {
  case 1: return "severe";
  case 2: return "error";
  case 3: return "minor";
  case 4: return "warning";
  case 5: return "information";
  default: return "unknown";
  }
}

std::vector<Finding> collect_findings(bool* truncated) {
  std::vector<Finding> findings;
  for (int code = get_error_code(); code != 0; code = get_error_code()) {
    Finding f;
    f.code = code;
    f.text = to_utf8(trimmed(get_error_text(code)));
    findings.push_back(f);
  }
  // The copy lists every entry, each with its level; get_error_code went on from where an
  // earlier call stopped to the end, so the entries read above are the copy's last ones.
  std::vector<int> entries(std::size_t(GEF_MAX_ERRORS) * 5);
  const int count = gef_copy_errors(entries.data(), GEF_MAX_ERRORS);
  const std::size_t first = count > int(findings.size()) ? std::size_t(count) - findings.size() : 0;
  for (std::size_t i = 0; i < findings.size() && first + i < std::size_t(count); ++i)
    findings[i].level = entries[(first + i) * 5 + 4];
  *truncated = count >= GEF_MAX_ERRORS;
  return findings;
}

std::vector<Finding> fold_repeats(const std::vector<Finding>& findings) {
  std::vector<Finding> folded;
  std::map<std::tuple<int, int, std::string>, std::size_t> first;
  for (const Finding& f : findings) {
    const auto [it, inserted] = first.try_emplace({f.code, f.level, f.text}, folded.size());
    if (inserted)
      folded.push_back(f);
    else
      folded[it->second].count += f.count;
  }
  return folded;
}

} // namespace geftool
