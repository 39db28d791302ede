// SPDX-License-Identifier: MIT
// Recording error entries and resolving their subjects.
#include "diagnostics/error_list.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "document/keywords.h"
#include "document/record.h"

namespace gef {
namespace {

void copy_cut(char* to, const char* from, std::size_t size) {
  if (from == nullptr) from = "";
  std::size_t n = std::strlen(from);
  if (n >= size) n = size - 1;
  std::memcpy(to, from, n);
  to[n] = '\0';
}

} // namespace

void reset_error_list(Document& doc) {
  ErrorList* list = doc.errors;
  if (list == nullptr) {
    list = new (std::nothrow) ErrorList;
    if (list == nullptr) return; // reports are ignored while no list exists
    doc.errors = list;
    // A text slot is written when its entry is recorded and read only through that entry, so the
    // 256 kB of slots stay untouched until used.
    copy_cut(list->last_text, "empty", kTextSize);
    list->name_buffer[0] = '\0';
    list->message[0] = '\0';
  }
  list->count = list->text_count = 0;
  list->last = ErrorEntry{-1, 0, 0, 0, 0};
  list->code_cursor = list->text_cursor = list->recent_cursor = 0;
}

void release_error_list(Document& doc) {
  delete doc.errors;
  doc.errors = nullptr;
}

int report_error(Document& doc, int code, int subject, int first, int second, const char* text,
                 Level level) {
  ErrorList* list = doc.errors;
  if (list == nullptr) return 0;
  if (list->count == kMaxErrors) return 0;
  if (subject == 0) {
    const int slot = list->text_count++;
    subject = kTextSubject + slot;
    copy_cut(list->texts[slot], text, kTextSize);
    copy_cut(list->last_text, text, kTextSize);
  }
  list->entries[list->count++] = list->last = ErrorEntry{code, subject, first, second, level};
  return 1;
}

const char* subject_text(ErrorList& list, int subject) {
  if (subject >= kTextSubject) {
    const int slot = subject - kTextSubject;
    return slot < kMaxErrors ? list.texts[slot] : "";
  }
  const char* name = keyword_name(subject);
  if (name != nullptr)
    copy_cut(list.name_buffer, name, kTextSize);
  else
    std::snprintf(list.name_buffer, kTextSize, "Undefined (key)word: code is %d", subject);
  return list.name_buffer;
}

const char* format_entry(Document& doc, const ErrorEntry& entry) {
  return format_error_message(doc, entry.code, subject_text(*doc.errors, entry.subject),
                              entry.first, entry.second);
}

const char* level_name(int level) {
  static const char* const names[10] = {
      "GEF SEVERE",       "GEF ERROR",           "GEF MINOR",      "GEF WARNING",
      "GEF INFORMATION",  "STANDARD SEVERE",     "STANDARD ERROR", "STANDARD MINOR",
      "STANDARD WARNING", "STANDARD INFORMATION"};
  if (level < 1) return "";
  int index = (level - 1) % 10 + (level > 9 ? 5 : 0);
  return index < 10 ? names[index] : "";
}

} // namespace gef
