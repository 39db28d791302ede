// SPDX-License-Identifier: MIT
// Expanding layer description codes into text, and the additional strings of a layer.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "api/boundary.h"
#include "borecodes/code_table.h"
#include "document/columns.h"
#include "gef/borecodes.h"

namespace gef {
namespace {

constexpr std::size_t kMaxWords = 128;
constexpr char kNoResult[] = "Text is empty or contains unknown code";
constexpr int kAdditionalSize = 256;

bool separates(char c) { return c == ' ' || c == '\'' || c == '\t'; }

std::vector<std::string> words_of(std::string_view text) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && separates(text[i])) ++i;
    const std::size_t start = i;
    while (i < text.size() && !separates(text[i])) ++i;
    if (i > start) words.emplace_back(text.substr(start, i - start));
  }
  return words;
}

bool starts_with(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

// The description of `word`: set in `out` and true when the table gives one.
bool describe(const CodeTable* table, const std::string& word, std::string& out) {
  if (table != nullptr) {
    for (const CodeText& entry : table->entries) {
      if (entry.code != word) continue;
      if (!entry.has_description) return false;
      out = entry.description;
      return true;
    }
  }
  out = word + "=???";
  return true;
}

// Whether column `c` holds the void value at scan `s`, by the exact comparison of borings.
bool void_reading(Document& doc, int c, double reading) {
  double w = 0;
  if (!column_void(doc, c, &w)) return false;
  if (reading == 0.0 && w == 0.0) return true;
  if (w == 0.0) return std::fabs(reading) < 1e-15;
  return std::fabs(1.0 - reading / w) < 1e-15;
}

// Quantities 3 to 8 with a reading at scan `s`, in that order: (quantity, reading).
std::vector<std::pair<int, double>> additional_readings(int s) {
  std::vector<std::pair<int, double>> found;
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return found;
  const int scans = known_scans(*doc);
  if (s < 1 || s > scans) return found;
  for (int q = 3; q <= 8; ++q) {
    const int c = column_of_quantity(*doc, q);
    if (c == 0 || !column_in_block(*doc, c, scans)) continue;
    const double reading = data_value(*doc, c, s);
    if (!void_reading(*doc, c, reading)) found.emplace_back(q, reading);
  }
  return found;
}

} // namespace
} // namespace gef

using namespace gef;

const char* gbr_code2text(const char* code, const char* separator) try {
  std::string& result = session().returned[RETURNED_EXPANSION];
  const std::string_view given = code != nullptr ? code : "";
  const std::string text = ascii_upper(given.substr(0, kCodeInput));
  std::vector<std::string> words = words_of(text);
  if (!words.empty()) {
    const std::string& first = words.front();
    const bool split = first.size() >= 4 && first != "GM" && first != "NBE" &&
                       std::strchr("GKLVZ", first.front()) != nullptr;
    if (split) {
      const bool pairs =
          starts_with(first, "VM") || starts_with(first, "GS") || starts_with(first, "ZK");
      std::vector<std::string> parts = words_of(split_code(first, pairs ? "2:4:6" : "ODD", ' '));
      parts.insert(parts.end(), words.begin() + 1, words.end());
      words = std::move(parts);
    }
  }
  if (words.size() > kMaxWords) words.resize(kMaxWords);

  const char* joint = separator != nullptr ? separator : ", ";
  const CodeTable* table = code_table();
  result.clear();
  bool any = false;
  std::string description;
  for (const std::string& word : words) {
    if (!describe(table, word, description)) continue;
    if (any) result += joint;
    result += description;
    any = true;
  }
  if (!any) result = kNoResult;
  return result.c_str();
}
GEF_CATCH(kNoResult)

const char* gbr_NEN5104_splits(char* code) try {
  std::string& result = session().returned[RETURNED_SPLITS];
  const std::string_view word = std::string_view(code != nullptr ? code : "").substr(0, kCodeInput);
  const std::string upper = ascii_upper(word);
  if (upper == "NBE" || upper == "GM") {
    result.assign(word);
  } else {
    const bool pairs =
        starts_with(word, "Vm") || starts_with(word, "Gs") || starts_with(word, "Zk");
    result = split_code(word, pairs ? "1:2:4:6:8" : "ODD", ' ');
  }
  return result.c_str();
}
GEF_CATCH("")

int gbr_get_nr_additional_strings(int scan) try { return int(additional_readings(scan).size()); }
GEF_CATCH(0)

char* gbr_get_additional_string(int scan, int k) try {
  char* out = static_cast<char*>(std::calloc(kAdditionalSize, 1));
  if (out == nullptr) return nullptr;
  const auto found = additional_readings(scan);
  if (k < 1 || std::size_t(k) > found.size()) return out;
  const auto [q, reading] = found[std::size_t(k - 1)];
  if (q == 8) {
    std::snprintf(out, kAdditionalSize, "ZM=%.3f mm", reading);
    return out;
  }
  static const char kLetter[] = {'K', 'S', 'Z', 'G', 'H'};
  const double whole = std::trunc(reading);
  // Truncating to an int is only defined inside its range; beyond it the C library prints
  // the truncated double.
  if (whole >= double(std::numeric_limits<std::int32_t>::min()) &&
      whole <= double(std::numeric_limits<std::int32_t>::max()))
    std::snprintf(out, kAdditionalSize, "%c%%=%d", kLetter[q - 3], int(whole));
  else
    std::snprintf(out, kAdditionalSize, "%c%%=%.0f", kLetter[q - 3], whole);
  return out;
}
GEF_CATCH(nullptr)
