// SPDX-License-Identifier: MIT
// Column lookup, minima and maxima, the column append and the exports built directly on them.
#include "dataops/column_ops.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>
#include <new>

#include "api/boundary.h"
#include "api/deletes.h"
#include "diagnostics/error_list.h"
#include "document/columns.h"
#include "document/store.h"
#include "gef/dataops.h"

namespace gef {
namespace {

constexpr std::int64_t kLargestBlock = std::numeric_limits<std::int32_t>::max();
constexpr double kNoMin = 1e300; // what an append stores when no value qualified

// Output format of a new column `n` (1-based) when REPORTDATAFORMAT has no token for it: the
// text's last token when the two columns before share a format, else E13.5.
void extend_formats(Document& doc, int n) {
  if (entry(doc, KW_REPORTDATAFORMAT, 0).present == 0) return;
  std::string text = format_text(doc);
  std::vector<FormatToken> tokens;
  split_format(text, &tokens);
  if (tokens.empty()) return;
  if (tokens.size() == std::size_t(n - 1)) {
    const FormatToken& last = tokens.back();
    text.erase(last.end); // trailing blanks
    if (n >= 3 && doc.formats[n - 2] == doc.formats[n - 3])
      text += " " + text.substr(last.start, last.end - last.start);
    else
      text += " E13.5";
  }
  restore_formats(doc, text);
}

} // namespace

bool has_data_block(const Document& doc) {
  return doc.data_present != 0 && library().data && doc.scan_known != 0 && doc.scan_count >= 0;
}

double* column_values(Document& doc, int c) {
  const int columns = column_count_or(doc, -1);
  if (columns < 0) {
    report_text(doc, ERR_UNKNOWN_NUMBER, "", 0, 0, LEVEL_GEF_SEVERE);
    return nullptr;
  }
  if (c < 1 || c > columns) {
    report_text(doc, ERR_COLUMN_OUT_OF_RANGE, "", c, columns, LEVEL_GEF_MINOR);
    return nullptr;
  }
  if (!has_data_block(doc)) {
    report_keyword(doc, ERR_UNKNOWN_SCAN_COUNT, kNameScans, 0, 0, LEVEL_GEF_SEVERE);
    return nullptr;
  }
  if (std::int64_t(columns) * doc.scan_count > doc.value_capacity) {
    report_text(doc, ERR_BLOCK_TOO_LARGE, "", doc.value_capacity, 0, LEVEL_GEF_SEVERE);
    return nullptr;
  }
  return library().data.get() + std::int64_t(c - 1) * doc.scan_count;
}

bool column_range(Document& doc, int c, double t, double* min, double* max) {
  const double* values = library().data.get() + std::int64_t(c - 1) * doc.scan_count;
  double w = 0;
  const bool has_void = column_void(doc, c, &w);
  double lo = 1e300, hi = -1e300;
  bool any = false;
  for (std::int32_t s = 0; s < doc.scan_count; ++s) {
    const double v = values[s];
    if (has_void && matches_void(v, w, t)) continue;
    lo = std::min(lo, v);
    hi = std::max(hi, v);
    any = true;
  }
  *min = lo;
  *max = hi;
  return any;
}

int store_typed(Document& doc, int code, std::initializer_list<const void*> list) {
  const void* args[kMaxFields] = {};
  int i = 0;
  for (const void* arg : list) args[i++] = arg;
  InputModeScope typed(doc, GETAL);
  return store_keyword(doc, code, keyword_info(code).name, args);
}

int store_column_minmax(Document& doc, int c, double t) {
  if (column_values(doc, c) == nullptr || c > kMaxColumns) return 0;
  double min = 0, max = 0;
  if (!column_range(doc, c, t, &min, &max)) return 0;
  return store_typed(doc, KW_COLUMNMINMAX, {&c, &min, &max});
}

void set_column_void(Document& doc, int c, double w) { store_typed(doc, KW_COLUMNVOID, {&c, &w}); }

int append_column(Document& doc, const double* values, double fill, const char* unit,
                  const char* quantity, int qn, const double* void_value) {
  const int columns = column_count_or(doc, -1);
  if (columns < 0) {
    report_text(doc, ERR_UNKNOWN_NUMBER, "", 0, 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  if (!has_data_block(doc)) {
    report_keyword(doc, ERR_UNKNOWN_SCAN_COUNT, kNameScans, 0, 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  if (columns >= kMaxColumns) {
    report_text(doc, ERR_TOO_MANY_COLUMNS, "", 0, 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  const std::int64_t scans = doc.scan_count;
  const std::int64_t size = (columns + 1) * scans;
  if (columns * scans > doc.value_capacity || size > kLargestBlock) {
    report_text(doc, ERR_BLOCK_TOO_LARGE, "",
                std::int32_t(std::min(kLargestBlock, std::int64_t(doc.value_capacity))), 0,
                LEVEL_GEF_SEVERE);
    return 0;
  }
  double* block = new (std::nothrow) double[std::size_t(size > 0 ? size : 1)];
  if (block == nullptr) {
    report_text(doc, ERR_OUT_OF_MEMORY, "", std::int32_t(size * 8 / 1024), 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  std::copy_n(library().data.get(), columns * scans, block);
  double* added = block + columns * scans;
  if (values != nullptr)
    std::copy_n(values, scans, added);
  else
    std::fill_n(added, scans, fill);
  library().data.reset(block);
  doc.value_capacity = std::int32_t(size);
  doc.data_present = 1;

  const int n = columns + 1;
  store_typed(doc, KW_COLUMN, {&n});
  // Corrections left in the new column's slots would be written, and applied on the next read.
  for (int code : {KW_COLUMNOFFSET, KW_COLUMNAMPLIFIER, KW_COLUMNPOWERSUPPLY})
    delete_keyword(doc, code, n);
  store_typed(doc, KW_COLUMNINFO, {&n, unit, quantity, &qn});
  if (void_value != nullptr) set_column_void(doc, n, *void_value);
  double min = kNoMin, max = -kNoMin;
  column_range(doc, n, kVoidThreshold, &min, &max);
  store_typed(doc, KW_COLUMNMINMAX, {&n, &min, &max});
  extend_formats(doc, n);
  return 1;
}

std::string format_text(Document& doc) {
  const char* text = entry(doc, KW_REPORTDATAFORMAT, 0).field[0].s;
  return text != nullptr ? text : "";
}

void split_format(const std::string& text, std::vector<FormatToken>* tokens) {
  tokens->clear();
  for (std::size_t i = 0; i < text.size();) {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    const std::size_t start = i;
    while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i > start) tokens->push_back({start, i});
  }
}

void restore_formats(Document& doc, const std::string& text) {
  store_typed(doc, KW_REPORTDATAFORMAT, {text.c_str()});
}

} // namespace gef

using namespace gef;

int add_data_column(const char* unit, const char* quantity, int qnumber, double void_value) try {
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return 0;
  if (!append_column(*doc, nullptr, void_value, unit, quantity, qnumber, &void_value)) return 0;
  return column_count_or(*doc, 0);
}
GEF_CATCH(0)

int calc_columnminmax(int column) try {
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return 0;
  return store_column_minmax(*doc, column, kVoidThreshold);
}
GEF_CATCH(0)

int calc_all_columnminmax(void) try {
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return 0;
  const int columns = column_count_or(*doc, -1);
  if (columns == 0) return 0;
  // Column 1 stands for all: without COLUMN or data block no column can be read.
  if (column_values(*doc, 1) == nullptr) return 0;
  for (int c = 1; c <= columns && c <= kMaxColumns; ++c)
    store_column_minmax(*doc, c, kVoidThreshold);
  return 1;
}
GEF_CATCH(0)

int qn2column(int qn) try {
  Document* doc = current();
  return doc != nullptr && doc->entries ? column_of_quantity(*doc, qn) : 0;
}
GEF_CATCH(0)
