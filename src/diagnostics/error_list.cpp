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

void clear_entries(ErrorList& list, int from, int to) {
  for (int i = from; i < to; ++i) list.entries[i] = -1;
}

} // namespace

void reset_error_list(Document& doc) {
  ErrorList* list = doc.errors;
  if (list == nullptr) {
    list = new (std::nothrow) ErrorList;
    if (list == nullptr) return; // reports are ignored while no list exists
    doc.errors = list;
    clear_entries(*list, 0, kMaxErrors * kEntryInts);
    list->entries[kMaxErrors * kEntryInts] = 0;
    for (auto& text : list->texts) copy_cut(text, "empty", kTextSize);
    copy_cut(list->last_text, "empty", kTextSize);
    list->name_buffer[0] = '\0';
    list->message[0] = '\0';
  } else {
    // Entries recorded before would point at text slots that are about to be reused.
    clear_entries(*list, 0, list->write_cursor);
  }
  list->text_count = 0;
  list->last[E_CODE] = -1;
  for (int i = 1; i < kEntryInts; ++i) list->last[i] = 0;
  list->write_cursor = list->code_cursor = list->text_cursor = 0;
  list->recent_cursor = list->spare_cursor = 0;
}

void release_error_list(Document& doc) {
  delete doc.errors;
  doc.errors = nullptr;
}

int report_error(Document& doc, int code, int subject, int first, int second, const char* text,
                 Level level) {
  ErrorList* list = doc.errors;
  if (list == nullptr) return 0;
  std::int32_t* at = &list->entries[list->write_cursor];
  if (*at == 0) return 0; // the end marker: the list is full
  if (subject == 0) {
    const int slot = list->text_count++;
    subject = kTextSubject + slot;
    copy_cut(list->texts[slot], text, kTextSize);
    copy_cut(list->last_text, text, kTextSize);
  }
  const std::int32_t values[kEntryInts] = {code, subject, first, second, level};
  for (int i = 0; i < kEntryInts; ++i) at[i] = list->last[i] = values[i];
  list->write_cursor += kEntryInts;
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

const char* format_entry(Document& doc, int position) {
  ErrorList& list = *doc.errors;
  const std::int32_t* e = &list.entries[position];
  return format_error_message(doc, e[E_CODE], subject_text(list, e[E_SUBJECT]), e[E_FIRST],
                              e[E_SECOND]);
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
