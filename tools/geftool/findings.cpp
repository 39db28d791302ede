// SPDX-License-Identifier: MIT
// The entries of the library's error list as findings with their levels, and their names.
#include "findings.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <tuple>

#include <gef/extensions.h>
#include <gef/gef.h>

#include "text.h"

namespace geftool {
namespace {

// `text` without the blanks and line ends around it.
std::string trimmed(const char* text) {
  std::string_view view = text != nullptr ? text : "";
  const auto first = view.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return "";
  return std::string(view.substr(first, view.find_last_not_of(" \t\r\n") - first + 1));
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
  // The copy lists every entry, each with its level; get_error_code goes on from where an
  // earlier call stopped to the end, so the entries it gives are the copy's last ones.
  const int count = gef_copy_errors(nullptr, 0);
  std::vector<int> entries(std::size_t(count) * 5);
  gef_copy_errors(entries.data(), count);
  std::vector<Finding> findings;
  findings.reserve(std::size_t(count));
  for (int code = get_error_code(); code != 0; code = get_error_code()) {
    Finding f;
    f.code = code;
    f.text = to_utf8(trimmed(get_error_text(code)));
    findings.push_back(std::move(f));
  }
  const std::size_t first = count > int(findings.size()) ? std::size_t(count) - findings.size() : 0;
  for (std::size_t i = 0; i < findings.size() && first + i < std::size_t(count); ++i)
    findings[i].level = entries[(first + i) * 5 + 4];
  *truncated = count >= GEF_MAX_ERRORS;
  return findings;
}

std::vector<Finding> fold_repeats(std::vector<Finding> findings) {
  // Indices sorted by (code, level, text), stably, so each run of equals starts at its first.
  std::vector<std::size_t> order(findings.size());
  std::iota(order.begin(), order.end(), std::size_t(0));
  auto key = [&](std::size_t i) {
    const Finding& f = findings[i];
    return std::tie(f.code, f.level, f.text);
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
  std::vector<std::size_t> leader(findings.size());
  for (std::size_t k = 0; k < order.size(); ++k)
    leader[order[k]] =
        k > 0 && key(order[k]) == key(order[k - 1]) ? leader[order[k - 1]] : order[k];
  // Leaders in input order; `order` is free again and says where each leader went.
  std::vector<Finding> folded;
  for (std::size_t i = 0; i < findings.size(); ++i) {
    if (leader[i] == i) {
      order[i] = folded.size();
      folded.push_back(std::move(findings[i]));
    } else {
      folded[order[leader[i]]].count += findings[i].count;
    }
  }
  return folded;
}

} // namespace geftool
