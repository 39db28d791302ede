// SPDX-License-Identifier: MIT
// The generic delete and the exported del_ functions, one-line shims expanded from the table.
#include "api/deletes.h"

#include <algorithm>
#include <cstring>

#include "diagnostics/error_list.h"
#include "document/columns.h"
#include "gef/deletes.h"

namespace gef {
namespace {

// A keyword of one text field counts as present only with its text given, so that an
// occurrence stored with an empty text stays in place.
bool one_text_keyword(int code) {
  const KeywordInfo& kw = keyword_info(code);
  return kw.shape == Shape::SINGLE && kw.field_count == 1 &&
         field_info(code, 0).type == FieldType::TEXT;
}

bool quantity_keyword(int code) { return code == KW_QNVOID || code == KW_QNMINMAX; }

// Entries of `code` that `number` designates, as the range [first, last) of entry indexes.
void find_entries(Document& doc, int code, int number, int* first, int* last) {
  const KeywordInfo& kw = keyword_info(code);
  *first = *last = 0;
  switch (kw.shape) {
  case Shape::SINGLE: {
    const Entry& e = entry(doc, code, 0);
    const bool present = one_text_keyword(code) ? (e.bits & 1u) != 0 : e.present != 0;
    if (present || code == KW_COLUMN) *last = 1;
    return;
  }
  case Shape::NUMBERED: {
    int highest = kw.capacity;
    if (code == KW_COLUMNINFO)
      highest =
          std::min(kMaxColumns, std::max(0, std::min(column_count_or(doc, 0), kMaxColumns)) + 1);
    if (number >= 1 && number <= highest) {
      *first = number - 1;
      *last = number;
    }
    return;
  }
  case Shape::APPENDED:
    if (quantity_keyword(code)) {
      for (int i = 0; i < kw.capacity; ++i) {
        const Entry& e = entry(doc, kw.area, i);
        if (e.present != 0 && e.field[0].i == number) {
          *first = i;
          *last = i + 1;
          return;
        }
      }
    } else if (number == kWholeKeyword) {
      *last = kw.capacity;
    } else if (number >= 1 && number <= kw.capacity) {
      *first = number - 1;
      *last = number;
    }
    return;
  case Shape::KEYED: return;
  }
}

} // namespace

void clear_entry(Entry& e, int code) {
  release_texts(e, code);
  const KeywordInfo& kw = keyword_info(code);
  for (int k = 0; k < kw.field_count; ++k)
    if (field_info(code, k).type != FieldType::TEXT) std::memset(&e.field[k], 0, sizeof e.field[k]);
  e.present = 0;
  e.bits = 0;
}

int delete_keyword(Document& doc, const char* name, int number) {
  const int code = keyword_code(name);
  if (code == 0) {
    report_text(doc, ERR_UNKNOWN_KEYWORD, name, 0, 0, LEVEL_GEF_MINOR);
    return 0;
  }
  return delete_keyword(doc, code, number);
}

int delete_keyword(Document& doc, int code, int number) {
  const KeywordInfo& kw = keyword_info(code);
  if (kw.name == nullptr || !doc.entries) return 0;
  if (kw.rule == Rule::ONCE) return 1; // a document keeps its GEFID
  int first = 0, last = 0;
  find_entries(doc, code, number, &first, &last);
  for (int i = first; i < last; ++i) {
    Entry& e = entry(doc, kw.area, i);
    if (e.present != 0 || code == KW_COLUMN) clear_entry(e, code);
  }
  if (code == KW_REPORTDATAFORMAT && last > first)
    for (auto& format : doc.formats) format.reset();
  return 1;
}

} // namespace gef

namespace {

int delete_current(int code, int number) {
  gef::Document* doc = gef::current();
  return doc != nullptr ? gef::delete_keyword(*doc, code, number) : 0;
}

} // namespace

#define GEF_DELETE_PARAMS_NONE void
#define GEF_DELETE_PARAMS_COLUMN int number
#define GEF_DELETE_PARAMS_SERIAL int number
#define GEF_DELETE_PARAMS_QUANTITY int number
#define GEF_DELETE_NUMBER_NONE gef::kWholeKeyword
#define GEF_DELETE_NUMBER_COLUMN number
#define GEF_DELETE_NUMBER_SERIAL number
#define GEF_DELETE_NUMBER_QUANTITY number
#define GEF_DELETE(Function, NAME, Number)                                                         \
  int Function(GEF_DELETE_PARAMS_##Number) {                                                       \
    return delete_current(gef::KW_##NAME, GEF_DELETE_NUMBER_##Number);                             \
  }
#include "document/keywords.def"
