// SPDX-License-Identifier: MIT
// Keyword codes, field descriptions and name lookup, all expanded from the keyword table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace gef {

// Keyword codes: 1..63 are header keywords, 0 is "not a keyword".
enum Keyword : int {
  KW_NONE = 0,
#define GEF_KEYWORD(Code, NAME, Shape, Capacity, Area, SerialLevel, Surplus, Rule, Versions,       \
                    Written)                                                                       \
  KW_##NAME = Code,
#include "document/keywords.def"
};

constexpr int kKeywordSlots = 64; // codes 0..63
constexpr int kMaxFields = 9;     // stored fields of one entry
constexpr int kNameScanfreq = 48; // message name is "SCANFREQ", not the keyword
constexpr int kNameColumns = 100; // "KOLOMMEN", only used in messages
constexpr int kNameScans = 101;   // "SCANS", only used in messages

enum class Shape : std::uint8_t { SINGLE, NUMBERED, APPENDED, KEYED };
enum class FieldType : std::uint8_t { INT, FLOAT, DOUBLE, CHAR, TEXT };
enum class Rule : std::uint8_t { NONE, ONCE, CHARACTER, FREQUENCY, SLOT251, TIMEUNIT, FORMATS };
// GEFID versions that allow a keyword (see the table).
enum class Versions : std::uint8_t { ANY, V10_V11, V11_V20, V20 };

struct FieldInfo {
  const char* name;
  FieldType type;
  double default_value; // stored when the field is not given
  double reset_value;   // taken by a document reset
  double absent;        // what a getter reports for an absent field
};

// What absent value means "minus the entry number" (see the table).
constexpr double kAbsentMinusN = -0.5;

struct KeywordInfo {
  const char* name; // null for an unassigned code
  Shape shape;
  int capacity;     // entries in the storage area
  int area;         // keyword code whose storage area is used
  int serial_level; // level of an out-of-range serial number
  int surplus;      // error code of a surplus field: 34, 56, or 0 when none is looked for
  Rule rule;
  Versions versions;    // GEFID versions that allow the keyword
  int field_count;      // stored entry fields
  int first_field;      // index into fields()
  int line_fields;      // fields of a keyword line, serial number included
  int entry_offset;     // first entry of the storage area within the document
  unsigned text_fields; // bit k set when entry field k (0-based) is a text
};

namespace detail {
// The expanded tables behind the lookups below, which are inline because the reader and the
// rules call them for every field they touch. Code 0 and unassigned codes are all zero.
extern const std::array<KeywordInfo, kKeywordSlots> kKeywordTable;
extern const FieldInfo kFieldTable[];
} // namespace detail

// Description of keyword `code`; code 0, 20 and codes outside 0..63 describe no keyword.
inline const KeywordInfo& keyword_info(int code) {
  return detail::kKeywordTable[unsigned(code) < unsigned(kKeywordSlots) ? std::size_t(code) : 0];
}
// Description of entry field `k` (0-based) of keyword `code`.
inline const FieldInfo& field_info(int code, int k) {
  return detail::kFieldTable[keyword_info(code).first_field + k];
}
// Total number of entries of all storage areas.
int total_entries();

// Keywords the header writer writes one after another (those with a Written place), in the
// order they are written.
constexpr int kWrittenKeywords = 0
#define GEF_KEYWORD(Code, NAME, Shape, Capacity, Area, SerialLevel, Surplus, Rule, Versions,       \
                    Written)                                                                       \
  +((Written) > 0 ? 1 : 0)
#include "document/keywords.def"
    ;
const std::array<int, kWrittenKeywords>& write_order();

// Release, version and update of a GEFID or a report code as one number, the one scale every
// version comparison uses: 1.1.0 is 10100. In 64 bits, so that any parts a file gives can
// neither overflow nor alias a supported version.
constexpr std::int64_t version_number(std::int64_t release, std::int64_t version,
                                      std::int64_t update) {
  return release * 10000 + version * 100 + update;
}

// Whether a GEFID of version `version` (see version_number) allows keyword `code`; no
// unassigned code is allowed.
bool version_allows(int code, std::int64_t version);

// Keyword code of `name`, by case-insensitive prefix match in the library's search order;
// 0 when nothing matches. A null name matches nothing.
int keyword_code(const char* name);
// Whether two texts are equal without regard to the case of ASCII letters, as keyword names
// and keyword values are compared. A null text equals nothing.
bool equals_nocase(const char* a, const char* b);
// `text` with ASCII letters in upper case, other bytes unchanged: the library's one case fold,
// which every case-insensitive comparison uses.
std::string ascii_upper(std::string_view text);

// Upper-case name of a code for messages, including the message-only names. Returns null for
// codes that name nothing.
const char* keyword_name(int code);

} // namespace gef
