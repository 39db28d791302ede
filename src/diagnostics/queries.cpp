// SPDX-License-Identifier: MIT
// The exported error queries and the error log file.
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

// Smallest severity class from `position` on; -1 when nothing is recorded there. Leaves the
// recent cursor after the last entry looked at.
int severity_from(ErrorList& list, int position) {
  int best = -1;
  while (list.entries[position] > 0) {
    const int severity = list.entries[position + E_LEVEL] % 10;
    if (best < 0 || severity < best) best = severity;
    position += kEntryInts;
  }
  list.recent_cursor = position;
  return best;
}

constexpr int kLogLevels[] = {1, 2, 3, 4, 5, 11, 12, 13, 14, 15};

} // namespace
} // namespace gef

using namespace gef;

int get_error_code(void) {
  ErrorList* list = error_list();
  if (list == nullptr) return 0;
  const int code = list->entries[list->code_cursor];
  if (code <= 0) return 0;
  list->code_cursor += kEntryInts;
  return code;
}

const char* get_error_text(int code) try {
  ErrorList* list = error_list();
  if (code == 0 || list == nullptr) return "-";
  const int position = list->text_cursor;
  if (list->entries[position] <= 0 || list->entries[position] != code) return "Error encountered";
  list->text_cursor += kEntryInts;
  return format_entry(*current(), position);
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
  return list != nullptr ? list->last[E_LEVEL] : 0;
}

int get_last_error_code(void) {
  ErrorList* list = error_list();
  return list != nullptr ? list->last[E_CODE] : -1;
}

const char* get_last_error_text(void) try {
  ErrorList* list = error_list();
  if (list == nullptr || list->last[E_CODE] == -1) return "";
  const int subject = list->last[E_SUBJECT];
  const char* text = subject != 0 && subject < kTextSubject && keyword_name(subject) != nullptr
                         ? subject_text(*list, subject)
                         : list->last_text;
  return format_error_message(*current(), list->last[E_CODE], text, list->last[E_FIRST],
                              list->last[E_SECOND]);
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
  for (int level : kLogLevels) {
    bool occurs = false;
    for (int p = 0; list.entries[p] > 0; p += kEntryInts)
      if (list.entries[p + E_LEVEL] == level) occurs = true;
    if (!occurs) continue;
    print_text(file, "*** Errorlevel: %s (%d) ***\n", level_name(level), level);
    for (int p = 0; list.entries[p] != -1; p += kEntryInts) {
      if (list.entries[p] == 0) {
        print_text(file, " Too many errors, only %d of them are logged.\n", kMaxErrors);
        break;
      }
      if (list.entries[p + E_LEVEL] != level) continue;
      put_text(file, format_entry(*doc, p));
      put_text(file, "\n");
      std::fflush(file);
    }
  }
  return 1;
}
GEF_CATCH(0)
