// SPDX-License-Identifier: MIT
// Keyword and field tables built from the keyword table, and lookups between names and codes.
#include "document/keywords.h"

#include <array>
#include <cstddef>
#include <cstring>

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
  Versions versions;
  int written;
};

constexpr KeywordRow kKeywordRows[] = {
#define GEF_KEYWORD(Code, NAME, Shape_, Capacity, Area, SerialLevel, Surplus, Rule_, Versions_,    \
                    Written)                                                                       \
  {Code,    #NAME,       Shape::Shape_,       Capacity, KW_##Area, SerialLevel,                    \
   Surplus, Rule::Rule_, Versions::Versions_, Written},
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
    kw.versions = row.versions;
    kw.first_field = -1;
    for (int i = 0; i < kFieldRowCount; ++i) {
      if (kFieldRows[i].keyword != row.code) continue;
      if (kw.first_field < 0) kw.first_field = i;
      if (kFieldRows[i].info.type == FieldType::TEXT) kw.text_fields |= 1u << kw.field_count;
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
  return table;
}

constexpr KeywordTable kKeywords = build_keywords();

constexpr int count_entries() {
  int total = 0;
  for (int code = 1; code < kKeywordSlots; ++code)
    if (kKeywords[code].name != nullptr && kKeywords[code].area == code)
      total += kKeywords[code].capacity;
  return total;
}

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

// The keywords in written order, from the table's Written column; a zero entry would mean a
// place no keyword takes.
constexpr std::array<int, kWrittenKeywords> build_write_order() {
  std::array<int, kWrittenKeywords> order{};
  for (const KeywordRow& row : kKeywordRows)
    if (row.written > 0) order[std::size_t(row.written - 1)] = row.code;
  return order;
}
constexpr std::array<int, kWrittenKeywords> kWriteOrder = build_write_order();

constexpr bool write_order_is_complete() {
  int written = 0;
  for (const KeywordRow& row : kKeywordRows) {
    if (row.written < 0 || row.written > kWrittenKeywords) return false;
    written += row.written > 0 ? 1 : 0;
  }
  for (int code : kWriteOrder)
    if (code == 0) return false;
  return written == kWrittenKeywords;
}
static_assert(write_order_is_complete(), "keyword table: a written place taken twice or skipped");

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

constexpr std::size_t longest_name() {
  std::size_t longest = 0;
  for (int code : kSearchOrder) {
    std::size_t n = 0;
    while (kKeywords[code].name[n] != '\0') ++n;
    longest = n > longest ? n : longest;
  }
  return longest;
}
constexpr std::size_t kLongestName = longest_name();
static_assert(kLetterIndex.start[26] == int(kSearchOrder.size()),
              "every keyword name starts with a capital letter");

// Capitals by table rather than by comparison: names are folded a character at a time.
constexpr std::array<char, 256> build_upper() {
  std::array<char, 256> table{};
  for (int c = 0; c < 256; ++c) table[std::size_t(c)] = char(c >= 'a' && c <= 'z' ? c - 32 : c);
  return table;
}
constexpr std::array<char, 256> kUpper = build_upper();

char ascii_upper(char c) { return kUpper[static_cast<unsigned char>(c)]; }

} // namespace

namespace detail {
extern const std::array<KeywordInfo, kKeywordSlots> kKeywordTable = kKeywords;
extern const FieldInfo kFieldTable[] = {
#define GEF_FIELD(NAME, Field, Type, Default, Reset, Absent)                                       \
  {#Field, FieldType::Type, double(Default), double(Reset), double(Absent)},
#include "document/keywords.def"
};
} // namespace detail

int total_entries() { return count_entries(); }

const std::array<int, kWrittenKeywords>& write_order() { return kWriteOrder; }

bool version_allows(int code, std::int64_t version) {
  const KeywordInfo& kw = keyword_info(code);
  if (kw.name == nullptr) return false;
  const bool v100 = version == 10000, v110 = version == 10100, v200 = version == 20000;
  switch (kw.versions) {
  case Versions::V10_V11: return v100 || v110;
  case Versions::V11_V20: return v110 || v200;
  case Versions::V20: return v200;
  default: return true;
  }
}

int keyword_code(const char* name) {
  if (name == nullptr) return 0;
  // One longer than every keyword is a prefix of none.
  const std::size_t n = strnlen(name, kLongestName + 1);
  if (n > kLongestName) return 0;
  if (n == 0) return kSearchOrder[0]; // the empty name is a prefix of every keyword
  const char first = ascii_upper(name[0]);
  if (first < 'A' || first > 'Z') return 0;
  const int from = kLetterIndex.start[std::size_t(first - 'A')];
  const int to = kLetterIndex.start[std::size_t(first - 'A' + 1)];
  // The first keyword of the letter that `text` (n characters) is a prefix of, or 0.
  const auto search = [&](const char* text) {
    for (int i = from; i < to; ++i) {
      const int code = kLetterIndex.codes[std::size_t(i)];
      // A prefix: the keyword's end would differ from the name's next character.
      if (std::strncmp(kKeywords[code].name, text, n) == 0) return code;
    }
    return 0;
  };
  // Files write names in capitals, as the keywords are; a name that matches one as written is in
  // capitals where it matters, so no earlier keyword can match it in another case. Only names
  // that match nothing as written are folded and tried again.
  if (const int code = search(name)) return code;
  char upper[kLongestName];
  for (std::size_t i = 0; i < n; ++i) upper[i] = ascii_upper(name[i]);
  return search(upper);
}

bool equals_nocase(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return false;
  for (; *a != '\0' && *b != '\0'; ++a, ++b)
    if (ascii_upper(*a) != ascii_upper(*b)) return false;
  return *a == *b;
}

std::string ascii_upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ascii_upper(c);
  return out;
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
