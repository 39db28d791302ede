// SPDX-License-Identifier: MIT
// Test helpers: a fresh library per test, and direct views of the record and the error list.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iomanip>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "diagnostics/error_list.h"
#include "document/keywords.h"
#include "document/record.h"
#include "document/store.h"
#include "gef/gef.h"

namespace gef {

// An entry compares and prints as its five numbers.
inline auto tied(const ErrorEntry& e) {
  return std::tie(e.code, e.subject, e.first, e.second, e.level);
}
inline bool operator==(const ErrorEntry& a, const ErrorEntry& b) { return tied(a) == tied(b); }
inline void PrintTo(const ErrorEntry& e, std::ostream* out) {
  *out << testing::PrintToString(tied(e));
}

namespace test {

// Every entry recorded so far, in order.
inline std::vector<ErrorEntry> errors() {
  std::vector<ErrorEntry> out;
  if (const ErrorList* list = document().errors)
    for (int i = 0; i < list->count; ++i) out.push_back(list->entries[i]);
  return out;
}

// Codes of every entry recorded so far.
inline std::vector<int> error_codes() {
  std::vector<int> out;
  for (const ErrorEntry& e : errors()) out.push_back(e.code);
  return out;
}

// Every entry recorded with `code`.
inline std::vector<ErrorEntry> errors_with(int code) {
  std::vector<ErrorEntry> out;
  for (const ErrorEntry& e : errors())
    if (e.code == code) out.push_back(e);
  return out;
}

inline bool has_error(int code) { return !errors_with(code).empty(); }

// The first entry with `code`; fails the test when there is none.
inline ErrorEntry find_error(int code) {
  const std::vector<ErrorEntry> found = errors_with(code);
  if (found.empty()) ADD_FAILURE() << "no error " << code;
  return found.empty() ? ErrorEntry{} : found[0];
}

// Values of column `c`, scan by scan.
inline std::vector<double> column_values(int c) {
  std::vector<double> out;
  for (int s = 1; s <= get_nr_scans(); ++s) out.push_back(get_data(c, s));
  return out;
}

// Message of entry `i`.
inline std::string message(int i) {
  return format_entry(document(), document().errors->entries[i]);
}

// Stores a header line "NAME= f1, f2, ..." in text mode, the way a file's line arrives: fields
// split at commas with surrounding blanks removed. Returns the store's result.
inline int store_line(const std::string& line) {
  const std::size_t eq = line.find('=');
  const std::string name = line.substr(0, eq);
  std::vector<std::string> fields;
  if (eq != std::string::npos && line.find_first_not_of(' ', eq + 1) != std::string::npos) {
    for (std::size_t start = eq + 1, end;; start = end + 1) {
      end = std::min(line.find(',', start), line.size());
      std::string f = line.substr(start, end - start);
      f.erase(0, f.find_first_not_of(' '));
      f.erase(f.find_last_not_of(' ') + 1);
      fields.push_back(f);
      if (end == line.size()) break;
    }
  }
  const void* args[kMaxFields] = {};
  for (std::size_t i = 0; i < fields.size() && i < std::size_t(kMaxFields); ++i)
    args[i] = fields[i].c_str();
  InputModeScope text(document(), STRING);
  return store_keyword(document(), name.c_str(), args);
}

// The entry of keyword `code` at `index` (0-based).
inline Entry& entry_of(int code, int index = 0) { return entry(document(), code, index); }

// An entry as one text: the bits of its given fields, then every field ("-" for a null text),
// e.g. "7: m, depth, 1"; "absent" while nothing is stored. Numbers to `precision` digits.
inline std::string entry_text(int code, const Entry& e, int precision = 6) {
  if (e.present == 0) return "absent";
  std::ostringstream out;
  out << std::setprecision(precision) << int(e.bits) << ":";
  for (int k = 0; k < keyword_info(code).field_count; ++k) {
    const Field& f = e.field[k];
    out << (k == 0 ? " " : ", ");
    switch (field_info(code, k).type) {
    case FieldType::TEXT: out << (f.s != nullptr ? f.s : "-"); break;
    case FieldType::INT: out << f.i; break;
    case FieldType::CHAR: out << f.c; break;
    case FieldType::FLOAT: out << f.f; break;
    case FieldType::DOUBLE: out << f.d; break;
    }
  }
  return out.str();
}

// The entry of keyword `code` at `index` as entry_text gives it.
inline std::string stored(int code, int index = 0) {
  return entry_text(code, entry_of(code, index));
}

// A library with an empty document of the given size, released after the test.
class DocumentTest : public ::testing::Test {
protected:
  explicit DocumentTest(int columns = 4, int scans = 10) : columns_(columns), scans_(scans) {}
  void SetUp() override {
    ASSERT_EQ(init_gef(), 1);
    ASSERT_EQ(init_gef_general(columns_, scans_), 1);
  }
  void TearDown() override { free_gef(); }
  // Starts again with an empty document of another size.
  void restart(int columns, int scans) {
    TearDown();
    columns_ = columns;
    scans_ = scans;
    SetUp();
  }
  int columns_;
  int scans_;
};

} // namespace test
} // namespace gef
