// SPDX-License-Identifier: MIT
// The exported setters: one-line shims over set_keyword, plus the data and column-text setters.
#include "api/setters.h"

#include <cstdint>
#include <cstdio>

#include "api/boundary.h"
#include "diagnostics/error_list.h"
#include "document/columns.h"
#include "document/store.h"
#include "gef/setters.h"

namespace gef {
namespace {

int as_int(const void* arg) { return *static_cast<const int*>(arg); }

// A new column count or last scan must fit the data block that exists.
bool fits_capacity(Document& doc, std::int64_t value, std::int64_t other, Level level) {
  if (doc.data_present == 0 || value * other <= doc.value_capacity) return true;
  report_text(doc, ERR_BLOCK_TOO_LARGE, "", doc.value_capacity, 0, level);
  return false;
}

bool check_setter(Document& doc, SetterCheck check, const void* const* args) {
  switch (check) {
  case SetterCheck::NONE: return true;
  case SetterCheck::GEFID: {
    // 64 bits: arbitrary parts must neither overflow nor wrap onto a supported version.
    const std::int64_t id = version_number(as_int(args[0]), as_int(args[1]), as_int(args[2]));
    if (id == 10000 || id == 10100 || id == 20000) return true;
    char text[96];
    std::snprintf(text, sizeof text,
                  "Unsupported ID, GEFID is currently supported up to %d, %d, %d", 2, 0, 0);
    report_text(doc, ERR_NOTE, text, 0, 0, LEVEL_GEF_ERROR);
    return false;
  }
  case SetterCheck::COLUMN:
    return fits_capacity(doc, as_int(args[0]), doc.scan_known != 0 ? doc.scan_count : 0,
                         LEVEL_GEF_ERROR);
  case SetterCheck::SCANS:
    return fits_capacity(doc, as_int(args[0]), column_count_or(doc, 0), LEVEL_GEF_SEVERE);
  case SetterCheck::DATACONVERSION: {
    const int n = as_int(args[0]);
    const int scan = as_int(args[2]);
    if (n < 1 || n > 250) {
      report_text(doc, ERR_NUMBER_OUT_OF_RANGE, "", n, 250, LEVEL_GEF_ERROR);
      return false;
    }
    if (doc.scan_known != 0 && (scan < 1 || scan > doc.scan_count)) {
      report_text(doc, ERR_NUMBER_OUT_OF_RANGE, "", scan, doc.scan_count, LEVEL_GEF_ERROR);
      return false;
    }
    if (doc.scan_known == 0 && scan < 1) {
      report_text(doc, ERR_NOTE, "Zero or negative scan numbers are not allowed", 0, 0,
                  LEVEL_GEF_ERROR);
      return false;
    }
    return true;
  }
  }
  return true;
}

} // namespace

int set_keyword(int code, SetterCheck check, std::initializer_list<const void*> list) try {
  Document* doc = current();
  if (doc == nullptr) return 0;
  const void* args[kMaxFields] = {};
  int i = 0;
  for (const void* arg : list) args[i++] = arg;
  if (!check_setter(*doc, check, args)) return 0;
  InputModeScope typed(*doc, GETAL);
  return store_keyword(*doc, code, keyword_info(code).name, args);
}
GEF_CATCH(0)

} // namespace gef

#define GEF_ARGS(...) __VA_ARGS__
#define GEF_SETTER(Function, NAME, Check, Parameters, Arguments)                                   \
  int Function Parameters {                                                                        \
    return gef::set_keyword(gef::KW_##NAME, gef::SetterCheck::Check, {GEF_ARGS Arguments});        \
  }
#include "document/keywords.def"

int set_data(int column, int scan, double value) {
  using namespace gef;
  Document* doc = current();
  if (doc == nullptr) return 1;
  if (column < 1 || column > column_count_or(*doc, 0)) {
    report_text(*doc, ERR_COLUMN_OUT_OF_RANGE, "", column, 250, LEVEL_GEF_MINOR);
  } else if (scan < 1 || scan > doc->scan_count) {
    report_text(*doc, ERR_SCAN_OUT_OF_RANGE, "", scan, doc->scan_count, LEVEL_GEF_MINOR);
  } else {
    const std::int64_t index = std::int64_t(column - 1) * doc->scan_count + (scan - 1);
    if (library().data && index < doc->value_capacity)
      library().data[index] = value;
    else
      report_text(*doc, ERR_SIZE_UNKNOWN, "", 0, 0, LEVEL_GEF_MINOR);
  }
  return 1;
}

void set_columntext_text(int scan, const char* text) try {
  using namespace gef;
  Document* doc = current();
  if (doc == nullptr || scan < 1 || scan > doc->scan_count) return;
  auto& texts = library().column_texts;
  // A document started without columns has no table yet (see init_gef_general): it grows here.
  if (std::size_t(scan) > texts.size()) {
    if (text == nullptr) return;
    texts.resize(std::size_t(scan), nullptr);
  }
  char* copy = text != nullptr ? copy_text(text) : nullptr;
  if (text != nullptr && copy == nullptr) return;
  std::free(texts[scan - 1]);
  texts[scan - 1] = copy;
}
GEF_CATCH()
