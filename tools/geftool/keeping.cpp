// SPDX-License-Identifier: MIT
// Chooses number formats that keep every value and lists what a written file lost, so that a
// conversion never rounds or drops data without saying so.
#include "keeping.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include <gef/error_codes.h>
#include <gef/gef.h>

#include "common.h"
#include "document/number_chars.h"
#include "text.h"

namespace geftool {
namespace {

// The keywords a conversion changes on purpose (the layout of the data block), and LASTSCAN,
// which the scan count of the data block stands for (a GEFID 2 file is written without it).
const std::set<std::string> kLayoutKeywords = {"COLUMNSEPARATOR", "RECORDSEPARATOR",  "DATAFORMAT",
                                               "DATATYPE",        "REPORTDATAFORMAT", "OS",
                                               "LASTSCAN"};

std::string formatted(char letter, int precision, double v) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, letter == 'F' ? "%.*f" : "%.*e", precision, v);
  return buffer;
}

// The fewest digits after the point with which `letter` writes `v` back exactly; -1 when none up
// to 17 does.
int digits_needed(char letter, double v) {
  for (int precision = 0; precision <= 17; ++precision)
    if (std::strtod(formatted(letter, precision, v).c_str(), nullptr) == v) return precision;
  return -1;
}

// The shortest token of `letter` for `values`, with its width; nullopt when none keeps them all.
std::optional<std::pair<std::string, int>> token_for(char letter,
                                                     const std::vector<double>& values) {
  int precision = 0;
  for (double v : values) {
    // Fixed notation of a huge or tiny value is long or loses it: exponent form serves those.
    if (letter == 'F' && v != 0 && (std::fabs(v) >= 1e15 || std::fabs(v) < 1e-6)) return {};
    const int needed = digits_needed(letter, v);
    if (needed < 0) return {};
    precision = std::max(precision, needed);
  }
  std::size_t width = 1;
  for (double v : values) width = std::max(width, formatted(letter, precision, v).size());
  return std::make_pair(
      std::string(1, letter) + std::to_string(width) + "." + std::to_string(precision), int(width));
}

std::string record_name(const HeaderRecord& r) {
  return "#" + r.keyword + (r.number ? " " + std::to_string(*r.number) : "");
}

std::string field_list(const HeaderRecord& r) {
  std::string out;
  for (std::size_t i = 0; i < r.fields.size(); ++i)
    out += (i > 0 ? ", " : "") + r.fields[i].value_or("");
  return out;
}

// The shortest text of `v` as a double: a value rounded to a float must not look unchanged.
std::string exact_text(double v) {
  char buffer[64];
  return std::string(buffer, gef::to_chars(buffer, buffer + sizeof buffer, v).ptr);
}

bool same_value(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

} // namespace

Snapshot take_snapshot() {
  Snapshot s;
  s.records = header_records();
  s.columns = column_count();
  s.scans = std::max(get_nr_scans(), 0);
  s.values.reserve(std::size_t(s.columns) * std::size_t(s.scans));
  for (int c = 1; c <= s.columns; ++c)
    for (int scan = 1; scan <= s.scans; ++scan) s.values.push_back(get_data(c, scan));
  for (int scan = 1; scan <= s.scans; ++scan) {
    const char* text = get_columntext_text(scan);
    s.texts.push_back(text != nullptr ? std::optional<std::string>(to_utf8(text)) : std::nullopt);
  }
  return s;
}

std::string lossless_formats(const Snapshot& document) {
  std::string tokens;
  for (int c = 1; c <= document.columns; ++c) {
    const auto first = document.values.begin() + std::ptrdiff_t(c - 1) * document.scans;
    std::vector<double> values;
    std::copy_if(first, first + document.scans, std::back_inserter(values),
                 [](double v) { return std::isfinite(v) && !is_absent(v); });
    // The header writer writes a column's range in the column's format.
    for (const HeaderRecord& r : document.records)
      if (r.keyword == "COLUMNMINMAX" && r.number == c)
        for (std::size_t f = 0; f < r.fields.size(); ++f)
          if (r.types[f] == 'd' && r.fields[f])
            values.push_back(std::strtod(r.fields[f]->c_str(), nullptr));
    const auto fixed = token_for('F', values);
    const auto exponent = token_for('E', values);
    std::string token = "E24.16";
    if (fixed && (!exponent || fixed->second <= exponent->second + 2))
      token = fixed->first;
    else if (exponent)
      token = exponent->first;
    tokens += (c > 1 ? " " : "") + token;
  }
  return tokens;
}

std::vector<Change> differences(const Snapshot& original, const Snapshot& written) {
  std::vector<Change> out;
  using Key = std::pair<std::string, int>;
  std::map<Key, const HeaderRecord*> before, after;
  for (const HeaderRecord& r : original.records)
    if (!kLayoutKeywords.count(r.keyword)) before[{r.keyword, r.number.value_or(0)}] = &r;
  for (const HeaderRecord& r : written.records)
    if (!kLayoutKeywords.count(r.keyword)) after[{r.keyword, r.number.value_or(0)}] = &r;
  for (const auto& [key, r] : before) {
    const auto found = after.find(key);
    if (found == after.end()) {
      out.push_back({record_name(*r) + " (" + field_list(*r) + ") was not written"});
      continue;
    }
    const HeaderRecord& w = *found->second;
    for (std::size_t f = 0; f < std::max(r->fields.size(), w.fields.size()); ++f) {
      const auto was = f < r->fields.size() ? r->fields[f] : std::nullopt;
      const auto now = f < w.fields.size() ? w.fields[f] : std::nullopt;
      const std::string field = record_name(*r) + " field " + std::to_string(f + 1);
      if (!was && now)
        out.push_back({field + " was absent and is written as '" + *now + "'", false});
      else if (was != now)
        out.push_back(
            {field + ": '" + was.value_or("") + "' became '" + now.value_or("(absent)") + "'"});
    }
  }
  for (const auto& [key, w] : after)
    if (!before.count(key))
      out.push_back({record_name(*w) + " (" + field_list(*w) + ") was added", false});

  if (original.columns != written.columns || original.scans != written.scans) {
    out.push_back({"the data block had " + std::to_string(original.columns) + " columns x " +
                   std::to_string(original.scans) + " scans, the written one " +
                   std::to_string(written.columns) + " x " + std::to_string(written.scans)});
    return out;
  }
  for (int c = 0; c < original.columns; ++c) {
    int changed = 0, first = -1;
    for (int s = 0; s < original.scans; ++s) {
      const std::size_t i = std::size_t(c) * std::size_t(original.scans) + std::size_t(s);
      if (same_value(original.values[i], written.values[i])) continue;
      if (changed++ == 0) first = s;
    }
    if (changed == 0) continue;
    const std::size_t i = std::size_t(c) * std::size_t(original.scans) + std::size_t(first);
    out.push_back({"column " + std::to_string(c + 1) + ": " + std::to_string(changed) + " of " +
                   std::to_string(original.scans) + " values changed, the first in scan " +
                   std::to_string(first + 1) + ": " + exact_text(original.values[i]) + " became " +
                   exact_text(written.values[i])});
  }
  int texts = 0, first = -1;
  for (std::size_t s = 0; s < original.texts.size(); ++s)
    if (original.texts[s] != written.texts[s] && texts++ == 0) first = int(s);
  if (texts > 0)
    out.push_back({std::to_string(texts) + " per-scan texts changed, the first in scan " +
                   std::to_string(first + 1) + ": '" +
                   original.texts[std::size_t(first)].value_or("") + "' became '" +
                   written.texts[std::size_t(first)].value_or("") + "'"});
  return out;
}

std::vector<std::string> dropped_at_reading(const std::vector<Finding>& findings) {
  // Each of these leaves a line, an entry or a field of the file out of the document.
  static const std::set<int> kDropping = {
      GEF_E_UNKNOWN_KEYWORD,    GEF_E_LINE_TOO_LONG,           GEF_E_INCOMPLETE_KEYWORD,
      GEF_E_REPEATED_KEYWORD,   GEF_E_REPEATED_COLUMN_KEYWORD, GEF_E_REPEATED_NUMBERED_KEYWORD,
      GEF_E_TOO_MANY_FIELDS,    GEF_E_NUMBER_OUTSIDE_INTERVAL, GEF_E_SERIAL_NOT_ALLOWED,
      GEF_E_TOO_MANY_PARAMETERS};
  std::vector<std::string> out;
  for (const Finding& f : findings)
    if (kDropping.count(f.code))
      out.push_back(f.text + (f.count > 1 ? " (" + std::to_string(f.count) + " times)" : ""));
  return out;
}

} // namespace geftool
