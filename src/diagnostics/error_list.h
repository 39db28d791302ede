// SPDX-License-Identifier: MIT
// The error list: numeric error entries, their text slots, and the cursors that read them.
#pragma once

#include <cstdint>

#include "diagnostics/error_codes.h"
#include "gef/extensions.h"

namespace gef {

struct Document;

constexpr int kMaxErrors = GEF_MAX_ERRORS;
constexpr int kEntryInts = 5; // integers per entry where callers receive them as ints
constexpr int kTextSize = 256;
constexpr int kMessageSize = 512;
constexpr int kTextSubject = 10000; // subjects from here on name a text slot

// How serious a finding is. The first five grade the file against the format itself, the
// last five against a report standard; the severity class is the level modulo 10.
enum Level : int {
  LEVEL_GEF_SEVERE = 1,
  LEVEL_GEF_ERROR = 2,
  LEVEL_GEF_MINOR = 3,
  LEVEL_GEF_WARNING = 4,
  LEVEL_GEF_INFORMATION = 5,
  LEVEL_STANDARD_SEVERE = 11,
  LEVEL_STANDARD_ERROR = 12,
  LEVEL_STANDARD_MINOR = 13,
  LEVEL_STANDARD_WARNING = 14,
  LEVEL_STANDARD_INFORMATION = 15,
};

// One recorded finding. The subject is a keyword code, or kTextSubject + the text slot that
// holds the finding's text; `first` and `second` are the numbers its message shows.
struct ErrorEntry {
  std::int32_t code;
  std::int32_t subject;
  std::int32_t first;
  std::int32_t second;
  std::int32_t level;
};

struct ErrorList {
  ErrorEntry entries[kMaxErrors]; // the first `count` are recorded
  std::int32_t count;
  char texts[kMaxErrors][kTextSize];
  std::int32_t text_count;
  ErrorEntry last; // the last recorded entry; code -1 while there is none
  char last_text[kTextSize];
  char name_buffer[kTextSize];
  char message[kMessageSize];
  // Entry indexes where the exported readers continue.
  std::int32_t code_cursor;
  std::int32_t text_cursor;
  std::int32_t recent_cursor;
};

// Records one entry. A non-zero subject is a keyword code and `text` is ignored; subject 0
// stores `text` (cut to 255 characters) in the next text slot. Returns 1 when recorded, 0 when
// the list is full or does not exist.
int report_error(Document& doc, int code, int subject, int first, int second, const char* text,
                 Level level);

// Shorthands for the two kinds of subject.
inline int report_text(Document& doc, int code, const char* text, int first, int second,
                       Level level) {
  return report_error(doc, code, 0, first, second, text, level);
}
inline int report_keyword(Document& doc, int code, int keyword, int first, int second,
                          Level level) {
  return report_error(doc, code, keyword, first, second, nullptr, level);
}

// Creates the list on first use; afterwards empties it: no entries, no texts, cursors at the
// start and last error code -1.
void reset_error_list(Document& doc);
// Releases the list; the next reset creates it anew.
void release_error_list(Document& doc);

// The text a subject stands for: a text slot, or the keyword name placed in the name buffer.
const char* subject_text(ErrorList& list, int subject);

// Formats the message of `code` into the list's message buffer and returns it.
const char* format_error_message(Document& doc, int code, const char* subject, int first,
                                 int second);

// Formats the message of a recorded entry.
const char* format_entry(Document& doc, const ErrorEntry& entry);

// Name of a level ("GEF SEVERE" .. "STANDARD INFORMATION").
const char* level_name(int level);

} // namespace gef
