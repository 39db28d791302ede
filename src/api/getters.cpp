// SPDX-License-Identifier: MIT
// The exported keyword getters: one-line shims over get_field, generated from the keyword table.
#include "api/getters.h"

#include <cstdint>
#include <limits>
#include <type_traits>

#include "diagnostics/error_list.h"
#include "document/columns.h"
#include "gef/getters.h"

namespace gef {
namespace {

struct NumberRange {
  int max;   // highest number accepted, as the report gives it
  int error; // error code of a number outside 1..max
};

NumberRange number_range(Document& doc, int code, GetterNumber number) {
  const KeywordInfo& kw = keyword_info(code);
  switch (number) {
  case GetterNumber::NONE: break;
  case GetterNumber::COLUMN: return {column_count_or(doc, 0), ERR_COLUMN_OUT_OF_RANGE};
  case GetterNumber::COLUMN_SLOT: return {kw.capacity, ERR_COLUMN_OUT_OF_RANGE};
  case GetterNumber::SERIAL:
    // Keyed entries are numbered by keyword code, and code 0 names no keyword.
    return {kw.shape == Shape::KEYED ? kw.capacity - 1 : kw.capacity, ERR_NUMBER_OUT_OF_RANGE};
  }
  return {1, 0};
}

void report_number(Document& doc, const GetterRow& row, int n) {
  const NumberRange range = number_range(doc, row.code, row.number);
  report_keyword(doc, range.error, row.code, n, range.max, LEVEL_GEF_MINOR);
}

bool field_present(const Entry& e, const GetterRow& row) {
  const auto bit = [&e](int field) { return e.present != 0 && (e.bits >> field & 1) != 0; };
  switch (row.presence) {
  case GetterPresence::BIT:
  case GetterPresence::REPORT_BIT: return bit(row.field);
  case GetterPresence::FIRST:
  case GetterPresence::REPORT_FIRST: return bit(0);
  case GetterPresence::COUNT: return e.present != 0;
  case GetterPresence::STORED: return true;
  }
  return false;
}

bool reports_absent(GetterPresence presence) {
  return presence == GetterPresence::REPORT_BIT || presence == GetterPresence::REPORT_FIRST;
}

template <typename T> T read(const Field& field) {
  if constexpr (std::is_pointer_v<T>) {
    return field.s;
  } else if constexpr (std::is_same_v<T, char>) {
    return field.c;
  } else if constexpr (std::is_same_v<T, float>) {
    return field.f;
  } else if constexpr (std::is_same_v<T, double>) {
    return field.d;
  } else {
    static_assert(std::is_same_v<T, int>, "getter results are int, float, double, char or text");
    return field.i;
  }
}

// The one generic getter: number check, presence rule, field or absent value.
template <typename T> T get_field(const GetterRow& row, int n) {
  if constexpr (std::is_same_v<T, int>) {
    if (row.result == GetterResult::FLAG) {
      const Entry* e = numbered_entry(row, n);
      if (e == nullptr) return 0;
      return row.field == kPresenceField ? e->present : (e->bits >> row.field & 1);
    }
  }
  if (const Entry* e = present_entry(row, n)) return read<T>(e->field[row.field]);
  if constexpr (std::is_pointer_v<T>) {
    return nullptr;
  } else {
    return static_cast<T>(absent_value(row, n));
  }
}

} // namespace

const Entry* numbered_entry(const GetterRow& row, int n) {
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return nullptr;
  if (row.number == GetterNumber::NONE) return &entry(*doc, row.code, 0);
  const KeywordInfo& kw = keyword_info(row.code);
  const int index = kw.shape == Shape::KEYED ? n : n - 1;
  // The storage area bounds the index whatever the column count claims.
  if (n < 1 || n > number_range(*doc, row.code, row.number).max || index >= kw.capacity) {
    report_number(*doc, row, n);
    return nullptr;
  }
  return &entry(*doc, row.code, index);
}

const Entry* present_entry(const GetterRow& row, int n) {
  const Entry* e = numbered_entry(row, n);
  if (e == nullptr) return nullptr;
  if (field_present(*e, row)) return e;
  if (reports_absent(row.presence)) report_number(*current(), row, n);
  return nullptr;
}

double absent_value(const GetterRow& row, int n) {
  if (row.result == GetterResult::FLAG) return 0;
  const double absent = field_info(row.code, row.field).absent;
  return absent == kAbsentMinusN ? -double(n) : absent;
}

} // namespace gef

// C types of the getter results and parameters; the public declarations spell the same ones.
#define GEF_GETTER_RESULT_INT int
#define GEF_GETTER_RESULT_FLOAT float
#define GEF_GETTER_RESULT_DOUBLE double
#define GEF_GETTER_RESULT_CHAR char
#define GEF_GETTER_RESULT_TEXT const char*
#define GEF_GETTER_RESULT_FLAG int
#define GEF_GETTER_PARAMS_NONE void
#define GEF_GETTER_PARAMS_COLUMN int n
#define GEF_GETTER_PARAMS_COLUMN_SLOT int n
#define GEF_GETTER_PARAMS_SERIAL int n
#define GEF_GETTER_ARG_NONE 1
#define GEF_GETTER_ARG_COLUMN n
#define GEF_GETTER_ARG_COLUMN_SLOT n
#define GEF_GETTER_ARG_SERIAL n

#define GEF_GETTER(Function, Result, NAME, Field, Number, Presence)                                \
  GEF_GETTER_RESULT_##Result Function(GEF_GETTER_PARAMS_##Number) {                                \
    constexpr gef::GetterRow row =                                                                 \
        gef::getter_row(gef::KW_##NAME, #Field, gef::GetterResult::Result,                         \
                        gef::GetterNumber::Number, gef::GetterPresence::Presence);                 \
    static_assert(gef::row_is_valid(row), "keyword table: invalid getter row for " #Function);     \
    return gef::get_field<GEF_GETTER_RESULT_##Result>(row, GEF_GETTER_ARG_##Number);               \
  }
#include "document/keywords.def"

int get_dataconversion_scan(int n) {
  using namespace gef;
  constexpr GetterRow row = getter_row(KW_DATACONVERSION, "scan", GetterResult::INT,
                                       GetterNumber::SERIAL, GetterPresence::BIT);
  static_assert(row_is_valid(row));
  const int scan = get_field<int>(row, n);
  // Out of range there is no scan at all, which must not read as the default first scan.
  const bool in_range = n >= 1 && n <= keyword_info(KW_DATACONVERSION).capacity;
  return in_range ? scan : std::numeric_limits<std::int32_t>::max();
}

float get_scanfreq_Value(int n) {
  using namespace gef;
  // Frequencies share the scan-time slots and are kept as scan times.
  constexpr GetterRow row = getter_row(KW_SCANFREQUENCY, "Value", GetterResult::FLOAT,
                                       GetterNumber::SERIAL, GetterPresence::REPORT_BIT);
  static_assert(row_is_valid(row));
  const Entry* e = present_entry(row, n);
  const float time = e != nullptr ? e->field[row.field].f : 0.0f;
  return time == 0.0f ? std::numeric_limits<float>::max() : 1.0f / time;
}

float get_scanfreq_waarde(int n) { return get_scanfreq_Value(n); }
