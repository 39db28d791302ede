// SPDX-License-Identifier: MIT
// Keyword and field tables built from the keyword table, and lookups between names and codes.
#include "document/keywords.h"

#include <array>

namespace gef {
namespace {

struct FieldRow {
  int keyword;
  FieldInfo info;
};

constexpr FieldRow kFieldRows[] = {
#define GEF_FIELD(NAME, Field, Type, Default, Reset, Absent)                                       \
  {KW_##NAME, {#Field, FieldType::Type, double(Default), double(Reset), double(Absent)}},
#include "document/keywords.def"
};
constexpr int kFieldRowCount = int(sizeof kFieldRows / sizeof kFieldRows[0]);

struct KeywordRow {
  int code;
  const char* name;
  Shape shape;
  int capacity;
  int area;
  int serial_level;
  int surplus;
  Rule rule;
};

constexpr KeywordRow kKeywordRows[] = {
#define GEF_KEYWORD(Code, NAME, Shape_, Capacity, Area, SerialLevel, Surplus, Rule_)               \
  {Code, #NAME, Shape::Shape_, Capacity, KW_##Area, SerialLevel, Surplus, Rule::Rule_},
#include "document/keywords.def"
};

using KeywordTable = std::array<KeywordInfo, kKeywordSlots>;

constexpr KeywordTable build_keywords() {
  KeywordTable table{};
  for (const KeywordRow& row : kKeywordRows) {
    KeywordInfo& kw = table[row.code];
    kw.name = row.name;
    kw.shape = row.shape;
    kw.capacity = row.capacity;
    kw.area = row.area;
    kw.serial_level = row.serial_level;
    kw.surplus = row.surplus;
    kw.rule = row.rule;
    kw.first_field = -1;
    for (int i = 0; i < kFieldRowCount; ++i) {
      if (kFieldRows[i].keyword != row.code) continue;
      if (kw.first_field < 0) kw.first_field = i;
      ++kw.field_count;
    }
    kw.line_fields = kw.field_count + (row.shape == Shape::NUMBERED ? 1 : 0);
  }
  // Storage areas are laid out one after another in code order; a keyword that shares another
  // keyword's area (SCANFREQUENCY) takes no room of its own.
  int offset = 0;
  for (int code = 1; code < kKeywordSlots; ++code) {
    KeywordInfo& kw = table[code];
    if (kw.name == nullptr || kw.area != code) continue;
    kw.entry_offset = offset;
    offset += kw.capacity;
  }
  for (int code = 1; code < kKeywordSlots; ++code) {
    KeywordInfo& kw = table[code];
    if (kw.name != nullptr && kw.area != code) kw.entry_offset = table[kw.area].entry_offset;
  }
  table[0].entry_offset = offset; // code 0 holds the total, used by total_entries()
  return table;
}

constexpr KeywordTable kKeywords = build_keywords();

// Fields of a keyword must come together, and a shared area needs identical fields.
constexpr bool fields_are_consistent() {
  for (int code = 1; code < kKeywordSlots; ++code) {
    const KeywordInfo& kw = kKeywords[code];
    if (kw.name == nullptr) continue;
    if (kw.field_count < 1 || kw.field_count > kMaxFields) return false;
    for (int k = 0; k < kw.field_count; ++k)
      if (kFieldRows[kw.first_field + k].keyword != code) return false;
    const KeywordInfo& area = kKeywords[kw.area];
    if (area.field_count != kw.field_count || area.capacity != kw.capacity) return false;
    for (int k = 0; k < kw.field_count; ++k)
      if (kFieldRows[kw.first_field + k].info.type != kFieldRows[area.first_field + k].info.type)
        return false;
  }
  return true;
}
static_assert(fields_are_consistent(), "keyword table: fields out of order or mismatched");

// The surplus field is the argument after the line's fields, so a checked keyword must leave
// one of the store's arguments for it.
constexpr bool surplus_is_checkable() {
  for (int code = 1; code < kKeywordSlots; ++code) {
    const KeywordInfo& kw = kKeywords[code];
    if (kw.name == nullptr || kw.surplus == 0) continue;
    if ((kw.surplus != 34 && kw.surplus != 56) || kw.line_fields >= kMaxFields) return false;
  }
  return true;
}
static_assert(surplus_is_checkable(), "keyword table: surplus error on a keyword of nine fields");

// Name lookup tries the codes in this order: code order, except that CHILD comes before
// COMPANYID and EQUIPMENT before PARENT, so that their abbreviations resolve as files expect.
constexpr std::array<int, 62> build_search_order() {
  std::array<int, 62> order{};
  int n = 0;
  for (int code = 1; code < kKeywordSlots; ++code)
    if (kKeywords[code].name != nullptr) order[n++] = code;
  for (int i = 0; i + 1 < n; ++i) {
    if ((order[i] == KW_COMPANYID && order[i + 1] == KW_CHILD) ||
        (order[i] == KW_PARENT && order[i + 1] == KW_EQUIPMENT)) {
      int t = order[i];
      order[i] = order[i + 1];
      order[i + 1] = t;
    }
  }
  return order;
}
constexpr std::array<int, 62> kSearchOrder = build_search_order();

// The search order grouped by first letter, each group in search order: a name can only be a
// prefix of the keywords that start with its own first letter, so the lookup of a header line
// visits a few keywords instead of all.
struct LetterIndex {
  std::array<int, kSearchOrder.size()> codes{};
  std::array<int, 27> start{}; // codes of letter L: start[L - 'A'] up to start[L - 'A' + 1]
};

constexpr LetterIndex build_letter_index() {
  LetterIndex index;
  int n = 0;
  for (int letter = 0; letter < 26; ++letter) {
    index.start[std::size_t(letter)] = n;
    for (int code : kSearchOrder)
      if (kKeywords[code].name[0] == 'A' + letter) index.codes[std::size_t(n++)] = code;
  }
  index.start[26] = n;
  return index;
}
constexpr LetterIndex kLetterIndex = build_letter_index();
static_assert(kLetterIndex.start[26] == int(kSearchOrder.size()),
              "every keyword name starts with a capital letter");

char ascii_upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

} // namespace

const KeywordInfo& keyword_info(int code) {
  static const KeywordInfo none{};
  if (code < 0 || code >= kKeywordSlots) return none;
  return code == 0 ? none : kKeywords[code];
}

const FieldInfo& field_info(int code, int k) {
  return kFieldRows[keyword_info(code).first_field + k].info;
}

int total_entries() { return kKeywords[0].entry_offset; }

int keyword_code(const char* name) {
  if (name == nullptr) return 0;
  const char first = ascii_upper(name[0]);
  if (first == '\0') return kSearchOrder[0]; // the empty name is a prefix of every keyword
  if (first < 'A' || first > 'Z') return 0;
  const int letter = first - 'A';
  for (int i = kLetterIndex.start[std::size_t(letter)];
       i < kLetterIndex.start[std::size_t(letter + 1)]; ++i) {
    const int code = kLetterIndex.codes[std::size_t(i)];
    const char* kw = kKeywords[code].name;
    const char* p = name;
    while (*p != '\0' && *kw != '\0' && ascii_upper(*p) == *kw) {
      ++p;
      ++kw;
    }
    if (*p == '\0') return code; // the given name is a prefix of this keyword
  }
  return 0;
}

bool equals_nocase(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return false;
  for (; *a != '\0' && *b != '\0'; ++a, ++b)
    if (ascii_upper(*a) != ascii_upper(*b)) return false;
  return *a == *b;
}

const char* keyword_name(int code) {
  switch (code) {
  case kNameScanfreq: return "SCANFREQ";
  case kNameColumns: return "KOLOMMEN";
  case kNameScans: return "SCANS";
  default: return keyword_info(code).name;
  }
}

} // namespace gef
