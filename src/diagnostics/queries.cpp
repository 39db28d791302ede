// SPDX-License-Identifier: MIT
// The exported error queries and the error log file.
#include <algorithm>
#include <cstdio>
#include <memory>

#include "api/boundary.h"
#include "diagnostics/error_list.h"
#include "document/keywords.h"
#include "document/record.h"
#include "document/textfile.h"
#include "gef/errors.h"

namespace gef {
namespace {

ErrorList* error_list() {
  Document* doc = current();
  return doc != nullptr ? doc->errors : nullptr;
}

// Smallest severity class from entry `from` on; -1 when nothing is recorded there. Leaves the
// recent cursor after the last entry.
int severity_from(ErrorList& list, int from) {
  int best = -1;
  for (int i = from; i < list.count; ++i) {
    const int severity = list.entries[i].level % 10;
    if (best < 0 || severity < best) best = severity;
  }
  list.recent_cursor = list.count;
  return best;
}

constexpr int kLogLevels[] = {1, 2, 3, 4, 5, 11, 12, 13, 14, 15};

} // namespace
} // namespace gef

using namespace gef;

int get_error_code(void) {
  ErrorList* list = error_list();
  if (list == nullptr || list->code_cursor >= list->count) return 0;
  return list->entries[list->code_cursor++].code;
}

const char* get_error_text(int code) try {
  ErrorList* list = error_list();
  if (code == 0 || list == nullptr) return "-";
  if (list->text_cursor >= list->count || list->entries[list->text_cursor].code != code)
    return "Error encountered";
  return format_entry(*current(), list->entries[list->text_cursor++]);
}
GEF_CATCH("Error encountered")

int get_error_level_all(void) {
  ErrorList* list = error_list();
  return list != nullptr ? severity_from(*list, 0) : -1;
}

int get_error_level_recent(void) {
  ErrorList* list = error_list();
  return list != nullptr ? severity_from(*list, list->recent_cursor) : -1;
}

int get_error_level_last(void) {
  ErrorList* list = error_list();
  return list != nullptr ? list->last.level : 0;
}

int get_last_error_code(void) {
  ErrorList* list = error_list();
  return list != nullptr ? list->last.code : -1;
}

const char* get_last_error_text(void) try {
  ErrorList* list = error_list();
  if (list == nullptr || list->last.code == -1) return "";
  const int subject = list->last.subject;
  const char* text = subject != 0 && subject < kTextSubject && keyword_name(subject) != nullptr
                         ? subject_text(*list, subject)
                         : list->last_text;
  return format_error_message(*current(), list->last.code, text, list->last.first,
                              list->last.second);
}
GEF_CATCH("")

int write_error_log(const char* filename) try {
  Document* doc = current();
  if (doc == nullptr || doc->errors == nullptr) return 0;
  ErrorList& list = *doc->errors;
  std::FILE* file = filename != nullptr ? std::fopen(filename, "wb") : nullptr;
  if (file == nullptr) {
    report_text(*doc, ERR_FILE_CANNOT_BE_OPENED, filename, 0, 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  // Closed however the writing ends, when memory runs out under way too.
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> log(file, &std::fclose);
  const ErrorEntry* const begin = list.entries;
  const ErrorEntry* const end = begin + list.count;
  for (int level : kLogLevels) {
    const auto at_level = [level](const ErrorEntry& e) { return e.level == level; };
    if (std::none_of(begin, end, at_level)) continue;
    print_text(file, "*** Errorlevel: %s (%d) ***\n", level_name(level), level);
    for (const ErrorEntry* e = begin; e != end; ++e) {
      if (!at_level(*e)) continue;
      put_text(file, format_entry(*doc, *e));
      put_text(file, "\n");
      std::fflush(file);
    }
    if (list.count == kMaxErrors)
      print_text(file, " Too many errors, only %d of them are logged.\n", kMaxErrors);
  }
  return 1;
}
GEF_CATCH(0)
