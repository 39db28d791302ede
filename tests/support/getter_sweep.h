// SPDX-License-Identifier: MIT
// Every generated getter as a callable keyed by its keyword, for sweeps over the whole table.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/document_fixture.h"

namespace gef::test {

// What one getter returned: a number, or a text (null as nullopt).
struct Outcome {
  std::optional<double> number;
  std::optional<std::string> text;
  bool operator==(const Outcome& o) const { return number == o.number && text == o.text; }
  bool operator!=(const Outcome& o) const { return !(*this == o); }
};
inline Outcome outcome(const char* s) {
  return {std::nullopt, s ? std::optional(std::string(s)) : std::nullopt};
}
inline Outcome outcome(double v) { return {v, std::nullopt}; }

// A getter of keyword `code` (0 for the data-block getters) called with one number.
struct NamedGetter {
  int code;
  std::string name;
  std::function<Outcome(int)> call;
};

#define GEF_TEST_CALL_NONE(f, n) ((void)(n), f())
#define GEF_TEST_CALL_COLUMN(f, n) f(n)
#define GEF_TEST_CALL_COLUMN_SLOT(f, n) f(n)
#define GEF_TEST_CALL_SERIAL(f, n) f(n)
#define GEF_TEST_CALL_QUANTITY(f, n) f(n)

// Every table getter, and the hand-written ones of the quantity slots.
inline const std::vector<NamedGetter>& table_getters() {
  static const std::vector<NamedGetter> all = {
#define GEF_GETTER(Function, Result, NAME, Field, Number, Presence)                                \
  {KW_##NAME, #Function, [](int n) { return outcome(GEF_TEST_CALL_##Number(Function, n)); }},
#include "document/keywords.def"
      {KW_QNVOID, "get_qnvoid_flag", [](int q) { return outcome(get_qnvoid_flag(q)); }},
      {KW_QNVOID, "get_qnvoid_Value", [](int q) { return outcome(get_qnvoid_Value(q)); }},
      {KW_QNMINMAX, "get_qnminmax_flag", [](int q) { return outcome(get_qnminmax_flag(q)); }},
      {KW_QNMINMAX, "get_qnminmax_Min", [](int q) { return outcome(get_qnminmax_Min(q)); }},
      {KW_QNMINMAX, "get_qnminmax_Max", [](int q) { return outcome(get_qnminmax_Max(q)); }},
  };
  return all;
}

} // namespace gef::test
