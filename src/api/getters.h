// SPDX-License-Identifier: MIT
// The generic getter behind every exported get_ function of the keyword table.
#pragma once

#include <cstdint>

#include "document/record.h"

namespace gef {

// The columns of a GEF_GETTER row (see keywords.def).
enum class GetterResult : std::uint8_t { INT, FLOAT, DOUBLE, CHAR, TEXT, FLAG };
enum class GetterNumber : std::uint8_t { NONE, COLUMN, COLUMN_SLOT, SERIAL };
enum class GetterPresence : std::uint8_t { BIT, FIRST, COUNT, STORED, REPORT_BIT, REPORT_FIRST };

constexpr int kPresenceField = -1; // the row's Field is Presence: the entry as a whole
constexpr int kNoSuchField = -2;   // the row names a field its keyword does not have

// One getter row, its field resolved to a 0-based entry-field index.
struct GetterRow {
  int code;
  int field;
  GetterResult result;
  GetterNumber number;
  GetterPresence presence;
};

namespace table {

struct FieldName {
  int code;
  const char* name;
  FieldType type;
};

inline constexpr FieldName kFieldNames[] = {
#define GEF_FIELD(NAME, Field, Type, Default, Reset, Absent) {KW_##NAME, #Field, FieldType::Type},
#include "document/keywords.def"
};

struct KeywordShape {
  int code;
  Shape shape;
};

inline constexpr KeywordShape kShapes[] = {
#define GEF_KEYWORD(Code, NAME, Shape_, Capacity, Area, SerialLevel, Surplus, Rule, Versions,      \
                    Written)                                                                       \
  {Code, Shape::Shape_},
#include "document/keywords.def"
};

constexpr bool same_name(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

constexpr Shape shape_of(int code) {
  for (const KeywordShape& k : kShapes)
    if (k.code == code) return k.shape;
  return Shape::SINGLE;
}

} // namespace table

// Entry-field index of the field called `name` of keyword `code`, kPresenceField for "Presence",
// kNoSuchField when the keyword has no such field.
constexpr int field_index(int code, const char* name) {
  if (table::same_name(name, "Presence")) return kPresenceField;
  int k = 0;
  for (const table::FieldName& f : table::kFieldNames) {
    if (f.code != code) continue;
    if (table::same_name(f.name, name)) return k;
    ++k;
  }
  return kNoSuchField;
}

constexpr FieldType field_type(int code, int field) {
  int k = 0;
  for (const table::FieldName& f : table::kFieldNames) {
    if (f.code != code) continue;
    if (k++ == field) return f.type;
  }
  return FieldType::INT;
}

constexpr GetterRow getter_row(int code, const char* field, GetterResult result,
                               GetterNumber number, GetterPresence presence) {
  return {code, field_index(code, field), result, number, presence};
}

// Whether a row makes sense: its field exists with the row's type, its number fits the keyword's
// storage, and flags read either the presence count or a field's bit.
constexpr bool row_is_valid(const GetterRow& row) {
  if (row.field == kNoSuchField) return false;
  const Shape shape = table::shape_of(row.code);
  if ((row.number == GetterNumber::NONE) != (shape == Shape::SINGLE)) return false;
  if ((row.number == GetterNumber::COLUMN || row.number == GetterNumber::COLUMN_SLOT) &&
      shape != Shape::NUMBERED)
    return false;
  if (row.result == GetterResult::FLAG) {
    if (row.field == kPresenceField) return row.presence == GetterPresence::COUNT;
    return row.field < 8 && row.presence == GetterPresence::BIT;
  }
  if (row.field == kPresenceField) return false;
  if (row.presence == GetterPresence::BIT || row.presence == GetterPresence::REPORT_BIT)
    if (row.field >= 8) return false; // a ninth field has no presence bit
  const FieldType type = field_type(row.code, row.field);
  switch (row.result) {
  case GetterResult::INT: return type == FieldType::INT;
  case GetterResult::FLOAT: return type == FieldType::FLOAT;
  case GetterResult::DOUBLE: return type == FieldType::DOUBLE;
  case GetterResult::CHAR: return type == FieldType::CHAR;
  case GetterResult::TEXT: return type == FieldType::TEXT;
  case GetterResult::FLAG: break;
  }
  return false;
}

// The entry `row` reads for number n (ignored for single keywords), or null when there is no
// document or n is out of range, which is reported at level 3.
const Entry* numbered_entry(const GetterRow& row, int n);

// The entry when the row's field is present in it, or null after any report the row asks for.
const Entry* present_entry(const GetterRow& row, int n);

// What a getter of `row` returns for an absent field with number n (the field's Absent value).
double absent_value(const GetterRow& row, int n);

} // namespace gef
