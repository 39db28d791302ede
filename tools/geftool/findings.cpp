// SPDX-License-Identifier: MIT
// Pairs the entries read with get_error_code/get_error_text with the level sections of the
// library's log.
#include "findings.h"

#include <deque>
#include <fstream>
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

// Messages of each level in recording order, from a log file of the library.
std::map<int, std::deque<std::string>> read_log_sections(const std::string& path, bool* truncated) {
  std::map<int, std::deque<std::string>> sections;
  std::ifstream in(path, std::ios::binary);
  const std::string heading = "*** Errorlevel: ";
  int level = 0;
  std::string line;
  while (std::getline(in, line)) {
    const std::string text = trimmed(line);
    if (text.empty()) continue;
    if (text.compare(0, heading.size(), heading) == 0) {
      // "*** Errorlevel: NAME (N) ***": the number sits in the last parentheses.
      const auto open = text.rfind('(');
      level = open == std::string::npos ? 0 : std::atoi(text.c_str() + open + 1);
      continue;
    }
    if (text.compare(0, 15, "Too many errors") == 0) {
      *truncated = true;
      continue;
    }
    sections[level].push_back(text);
  }
  return sections;
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

std::vector<Finding> collect_findings(const std::string& scratch_log, bool* truncated) {
  *truncated = false;
  std::vector<Finding> findings;
  for (int code = get_error_code(); code != 0; code = get_error_code()) {
    Finding f;
    f.code = code;
    f.text = trimmed(get_error_text(code)); // raw bytes until paired with the log
    findings.push_back(f);
  }
  if (findings.empty()) return findings;

  // A log that cannot be written leaves every level unknown but keeps the messages.
  std::map<int, std::deque<std::string>> sections;
  if (write_error_log(scratch_log.c_str()) == 1)
    sections = read_log_sections(scratch_log, truncated);

  // Each level's section lists its entries in recording order, so the entries are an
  // interleaving of the sections: take, for every entry, the section whose next message it is.
  // Two sections can only compete for an entry with identical text, where either choice
  // prints the same.
  for (Finding& f : findings) {
    for (int level : kLevels) {
      auto it = sections.find(level);
      if (it == sections.end() || it->second.empty() || it->second.front() != f.text) continue;
      f.level = level;
      it->second.pop_front();
      break;
    }
    f.text = to_utf8(f.text);
  }
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
