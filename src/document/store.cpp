// SPDX-License-Identifier: MIT
// Converting, checking and storing keyword occurrences, and deriving the output formats.
#include "document/store.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "diagnostics/error_list.h"
#include "document/convert.h"

namespace gef {
namespace {

constexpr int kTokenMax = 9;         // longest REPORTDATAFORMAT token
constexpr int kFormatTextMax = 1024; // REPORTDATAFORMAT characters looked at
// Widest field and most decimals an output format keeps. A wider field only adds blanks, and
// digits beyond 1023 decimals never change the double a text reads back as, but a million of
// either would make a header line no reader holds, so a written file would not read back.
constexpr int kFormatNumberMax = 1023;

const char* as_text(const void* arg) { return static_cast<const char*>(arg); }

// Whether an argument carries a value: in STRING mode an empty text does not.
bool is_given(const Document& doc, const void* arg) {
  if (arg == nullptr) return false;
  return doc.input_mode == GETAL || *as_text(arg) != '\0';
}

std::int32_t read_int(const Document& doc, const void* arg) {
  return doc.input_mode == GETAL ? *static_cast<const std::int32_t*>(arg)
                                 : text_to_int(as_text(arg));
}

float read_float(const Document& doc, const void* arg) {
  return doc.input_mode == GETAL ? *static_cast<const float*>(arg) : text_to_float(as_text(arg));
}

double read_double(const Document& doc, const void* arg) {
  return doc.input_mode == GETAL ? *static_cast<const double*>(arg) : text_to_double(as_text(arg));
}

// Replaces a text field by a copy of `text`; without memory the previous text stays.
bool replace_text(Field& field, const char* text) {
  char* copy = copy_text(text);
  if (copy == nullptr) return false;
  std::free(field.s);
  field.s = copy;
  return true;
}

// Converts one argument into an entry field; returns whether the field counts as given.
bool store_field(Document& doc, Field& field, const FieldInfo& info, const void* arg) {
  if (info.type == FieldType::TEXT) {
    if (arg == nullptr) return false;
    if (!replace_text(field, as_text(arg))) {
      report_text(doc, ERR_OUT_OF_MEMORY, "", int(std::strlen(as_text(arg)) / 1024), 0,
                  LEVEL_GEF_SEVERE);
      return false;
    }
    return field.s[0] != '\0';
  }
  const bool given = is_given(doc, arg);
  switch (info.type) {
  case FieldType::INT:
    field.i = given ? read_int(doc, arg) : static_cast<std::int32_t>(info.default_value);
    break;
  case FieldType::FLOAT:
    field.f = given ? read_float(doc, arg) : static_cast<float>(info.default_value);
    break;
  case FieldType::DOUBLE: field.d = given ? read_double(doc, arg) : info.default_value; break;
  case FieldType::CHAR:
    // A separator is the first character of the text, or the character given; NUL is a blank.
    field.c = arg != nullptr ? *as_text(arg) : '\0';
    if (field.c == '\0') field.c = ' ';
    return true;
  case FieldType::TEXT: break;
  }
  return given;
}

int first_free_slot(Document& doc, int area, int capacity) {
  for (int i = 0; i < capacity; ++i)
    if (entry(doc, area, i).present == 0) return i;
  return capacity;
}

bool valid_format_token(const std::string& token) {
  return token.size() <= kTokenMax && valid_format_field(token);
}

// The number format of one valid token: F10.3 is %10.3f, E12.4 is %12.4e, g8 is %8g (precision
// 6 when none is given, 0 after a bare "."), I6 is %6.0f.
NumberFormat format_of(const std::string& token) {
  NumberFormat f;
  f.letter = char(std::tolower(static_cast<unsigned char>(token[0])));
  // A token holds at most kTokenMax characters, so its numbers fit an int.
  f.width = std::min(std::atoi(token.c_str() + 1), kFormatNumberMax);
  const std::size_t dot = token.find('.');
  if (dot != std::string::npos)
    f.precision = std::min(std::atoi(token.c_str() + dot + 1), kFormatNumberMax);
  if (f.letter == 'i') {
    // An integer has no decimals to show, so a precision given with I is dropped.
    f.letter = 'f';
    f.precision = 0;
  }
  return f;
}

void build_output_formats(Document& doc) {
  const Entry& column = entry(doc, KW_COLUMN, 0);
  if (column.present == 0) {
    report_keyword(doc, ERR_UNKNOWN_COLUMN_COUNT, KW_REPORTDATAFORMAT, 0, 0, LEVEL_GEF_SEVERE);
    return;
  }
  int columns = column.field[0].i;
  if (columns < 0) columns = 0;
  if (columns > kMaxColumns) columns = kMaxColumns;

  const char* text = entry(doc, KW_REPORTDATAFORMAT, 0).field[0].s;
  std::string copy(text != nullptr ? text : "");
  if (copy.size() > kFormatTextMax) copy.resize(kFormatTextMax);
  std::vector<std::string> tokens;
  for (std::size_t i = 0; i < copy.size() && tokens.size() < std::size_t(kMaxColumns);) {
    while (i < copy.size() && std::isspace(static_cast<unsigned char>(copy[i]))) ++i;
    std::size_t start = i;
    while (i < copy.size() && !std::isspace(static_cast<unsigned char>(copy[i]))) ++i;
    if (i > start) tokens.push_back(copy.substr(start, i - start));
  }

  for (auto& format : doc.formats) format.reset();
  for (int col = 0; col < columns; ++col) {
    NumberFormat format; // %g
    if (!tokens.empty()) {
      const std::string& token = tokens[std::min<std::size_t>(col, tokens.size() - 1)];
      if (valid_format_token(token))
        format = format_of(token);
      else
        report_text(doc, ERR_INVALID_FORMAT_FIELD, token.c_str(), 0, 0, LEVEL_GEF_MINOR);
    }
    doc.formats[col] = format;
  }
}

// Reports a field beyond the keyword's fields with the keyword's surplus error; `number` is the
// serial or slot number that error 56 names.
void check_surplus(Document& doc, const KeywordInfo& kw, const char* name, int number,
                   FieldArgs args) {
  if (kw.surplus == 0 || !is_given(doc, args[kw.line_fields])) return;
  if (kw.surplus == 34)
    report_text(doc, ERR_TOO_MANY_FIELDS, name, kw.line_fields, 0, LEVEL_GEF_MINOR);
  else
    report_text(doc, ERR_TOO_MANY_PARAMETERS, name, number, kw.line_fields, LEVEL_GEF_MINOR);
}

} // namespace

bool valid_format_field(std::string_view field) {
  if (field.empty() || field[0] == '\0' || std::strchr("EFGIefgi", field[0]) == nullptr)
    return false;
  std::size_t i = 1;
  while (i < field.size() && std::isdigit(static_cast<unsigned char>(field[i]))) ++i;
  if (i < field.size() && field[i] == '.') {
    ++i;
    while (i < field.size() && std::isdigit(static_cast<unsigned char>(field[i]))) ++i;
  }
  return i == field.size();
}

char* copy_text(const char* text) {
  const std::size_t n = std::strlen(text) + 1;
  char* copy = static_cast<char*>(std::malloc(n));
  if (copy != nullptr) std::memcpy(copy, text, n);
  return copy;
}

int store_keyword(Document& doc, const char* name, FieldArgs args) {
  const int code = keyword_code(name);
  if (code == 0) {
    report_text(doc, ERR_UNKNOWN_KEYWORD, name, 0, 0, LEVEL_GEF_MINOR);
    return 0;
  }
  return store_keyword(doc, code, name, args);
}

int store_keyword(Document& doc, int code, const char* name, FieldArgs args) {
  const KeywordInfo& kw = keyword_info(code);
  if (kw.name == nullptr) return 0;
  if (kw.rule == Rule::ONCE && entry(doc, code, 0).present != 0) {
    report_text(doc, ERR_REPEATED_KEYWORD, name, 0, 0, LEVEL_GEF_SEVERE);
    return 1;
  }

  int index = 0;     // entry within the storage area
  int number = 0;    // serial or slot number for messages
  int first_arg = 0; // argument of entry field 1
  switch (kw.shape) {
  case Shape::SINGLE: break;
  case Shape::NUMBERED: {
    const int serial = is_given(doc, args[0]) ? read_int(doc, args[0]) : 0;
    if (serial < 1 || serial > kw.capacity) {
      report_keyword(doc, ERR_NUMBER_OUTSIDE_INTERVAL, code, 1, kw.capacity,
                     Level(kw.serial_level));
      return 1;
    }
    index = serial - 1;
    number = serial;
    first_arg = 1;
    break;
  }
  case Shape::APPENDED:
    index = first_free_slot(doc, kw.area, kw.capacity);
    number = index + 1;
    break;
  case Shape::KEYED: index = args[0] != nullptr ? keyword_code(as_text(args[0])) : 0; break;
  }

  if (kw.rule == Rule::FREQUENCY) {
    const float frequency = is_given(doc, args[0]) ? read_float(doc, args[0]) : 0.0f;
    if (frequency == 0.0f) {
      report_text(doc, ERR_HEADER_NOTE, "A scanfrequency of 0 Hz is silly. It is skipped.", 0, 0,
                  LEVEL_GEF_WARNING);
      check_surplus(doc, kw, name, number, args);
      return 1;
    }
  }
  if (index >= kw.capacity) { // an appended area is full: the occurrence is dropped
    if (kw.rule == Rule::FREQUENCY || kw.rule == Rule::SLOT251)
      check_surplus(doc, kw, name, kw.capacity + 1, args);
    return 1;
  }

  Entry& e = entry(doc, kw.area, index);
  if (doc.used[kw.area] <= index) doc.used[kw.area] = index + 1;
  std::uint8_t bits = 0;
  for (int k = 0; k < kw.field_count; ++k) {
    const void* arg = first_arg + k < kMaxFields ? args[first_arg + k] : nullptr;
    if (store_field(doc, e.field[k], field_info(code, k), arg) && k < 8)
      bits = std::uint8_t(bits | (1u << k));
  }

  switch (kw.rule) {
  case Rule::CHARACTER: bits = 1; break;
  case Rule::FREQUENCY:
    e.field[0].f = 1.0f / e.field[0].f; // kept as a scan time
    break;
  case Rule::TIMEUNIT:
    if ((bits & 0x6) == 0) replace_text(e.field[2], "s");
    break;
  default: break;
  }
  e.bits = bits;
  e.present = 1;

  if (kw.rule == Rule::FORMATS) build_output_formats(doc);
  check_surplus(doc, kw, name, number, args);
  return 1;
}

std::int64_t gefid_version(const Document& doc) {
  const Entry& gefid = doc.entries[keyword_info(KW_GEFID).entry_offset];
  const std::int64_t release = gefid.field[0].i, version = gefid.field[1].i;
  const std::int64_t update = gefid.field[2].i;
  if (release == 1 && version == 1 && update > 0) return 10100;
  return version_number(release, version, update);
}

void set_input_mode(Document& doc, const char* mode) {
  if (equals_nocase(mode, "GETAL")) doc.input_mode = GETAL;
  if (equals_nocase(mode, "STRING")) doc.input_mode = STRING;
}

} // namespace gef
