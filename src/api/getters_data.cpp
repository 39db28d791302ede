// SPDX-License-Identifier: MIT
// The getters that do not read one keyword entry: quantity searches, data values, per-scan texts.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

#include "api/getters.h"
#include "diagnostics/error_list.h"
#include "document/columns.h"
#include "gef/getters.h"

namespace gef {
namespace {

constexpr double kNoValue = std::numeric_limits<double>::max();

// Slot of the first present occurrence of `code` for quantity number q, or the capacity.
int find_quantity(Document& doc, int code, int q) {
  const int capacity = keyword_info(code).capacity;
  for (int slot = 0; slot < capacity; ++slot) {
    const Entry& e = entry(doc, code, slot);
    if (e.present != 0 && e.field[0].i == q) return slot;
  }
  return capacity;
}

int has_quantity(int code, int q) {
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return 0;
  return find_quantity(*doc, code, q) < keyword_info(code).capacity ? 1 : 0;
}

// Field `field` (a double) of the occurrence for q. A missing occurrence is reported with error 7
// and the slot where the search stopped; with `report_unset` so is a field that was not given.
double quantity_value(int code, int field, int q, bool report_unset) {
  const double absent = field_info(code, field).absent;
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return absent;
  const int slot = find_quantity(*doc, code, q);
  if (slot < keyword_info(code).capacity) {
    const Entry& e = entry(*doc, code, slot);
    if ((e.bits >> field & 1) != 0) return e.field[field].d;
    if (!report_unset) return absent;
  }
  report_keyword(*doc, ERR_COLUMN_OUT_OF_RANGE, code, slot, column_count_or(*doc, 0),
                 LEVEL_GEF_MINOR);
  return absent;
}

// The per-scan text of a scan (null when it has none); a scan out of range reports error 38.
const char* scan_text(int scan) {
  Document* doc = current();
  if (doc == nullptr) return nullptr;
  if (scan < 1 || scan > doc->scan_count) {
    report_text(*doc, ERR_SCAN_OUT_OF_RANGE, "", scan, doc->scan_count, LEVEL_GEF_MINOR);
    return nullptr;
  }
  const auto& texts = library().column_texts;
  return std::size_t(scan) <= texts.size() ? texts[std::size_t(scan) - 1] : nullptr;
}

// Field k (from 1) of `text`, split at any character of `separators`; runs of separators count
// as one and leading ones are skipped. False when the text has fewer than k fields.
bool find_field(std::string_view text, int k, std::string_view separators,
                std::string_view* field) {
  std::size_t start = 0;
  for (int i = 1;; ++i) {
    start = text.find_first_not_of(separators, start);
    if (start == std::string_view::npos) return false;
    const std::size_t end = std::min(text.find_first_of(separators, start), text.size());
    if (i == k) {
      *field = text.substr(start, end - start);
      return true;
    }
    start = end;
  }
}

// Field k of the per-scan text of a scan, split at the column separator; k below 1 gives the
// whole text.
bool scan_text_field(int scan, int k, std::string_view* field) {
  const char* text = scan_text(scan);
  if (text == nullptr) return false;
  if (k < 1) {
    *field = text;
    return true;
  }
  const Entry& separator = entry(*current(), KW_COLUMNSEPARATOR, 0);
  // Without a column separator nothing splits the text, so it is one field.
  const std::string_view separators =
      separator.present != 0 ? std::string_view(&separator.field[0].c, 1) : std::string_view();
  return find_field(text, k, separators, field);
}

bool item_field(const char* text, int k, const char* separators, std::string_view* field) {
  if (text == nullptr || separators == nullptr || k < 1) return false;
  return find_field(text, k, separators, field);
}

// A copy the caller releases with free(); null when memory runs out.
char* copy_of(std::string_view text) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (copy == nullptr) return nullptr;
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}

} // namespace
} // namespace gef

using namespace gef;

namespace {
constexpr int kQnVoidValue = field_index(KW_QNVOID, "Value");
constexpr int kQnMin = field_index(KW_QNMINMAX, "Min");
constexpr int kQnMax = field_index(KW_QNMINMAX, "Max");
static_assert(kQnVoidValue >= 0 && kQnMin >= 0 && kQnMax >= 0, "keyword table: QN fields");
} // namespace

int get_qnvoid_flag(int q) { return has_quantity(KW_QNVOID, q); }
double get_qnvoid_Value(int q) { return quantity_value(KW_QNVOID, kQnVoidValue, q, true); }
int get_qnminmax_flag(int q) { return has_quantity(KW_QNMINMAX, q); }
double get_qnminmax_Min(int q) { return quantity_value(KW_QNMINMAX, kQnMin, q, false); }
double get_qnminmax_Max(int q) { return quantity_value(KW_QNMINMAX, kQnMax, q, false); }

int get_nr_scans(void) {
  const Document* doc = current();
  return doc != nullptr && doc->scan_known != 0 ? doc->scan_count : -1;
}

double get_data(int column, int scan) {
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return kNoValue;
  if (column < 1 || column > column_count_or(*doc, 0)) {
    report_text(*doc, ERR_COLUMN_OUT_OF_RANGE, "", column, 250, LEVEL_GEF_MINOR);
    return kNoValue;
  }
  if (scan < 1 || scan > doc->scan_count) {
    report_text(*doc, ERR_SCAN_OUT_OF_RANGE, "", scan, doc->scan_count, LEVEL_GEF_MINOR);
    return kNoValue;
  }
  const std::int64_t index = std::int64_t(column - 1) * doc->scan_count + (scan - 1);
  // COLUMN or the scan count may have grown past the block that was allocated.
  if (!library().data || index >= doc->value_capacity) return kNoValue;
  return library().data[index];
}

const char* get_columntext_text(int scan) { return scan_text(scan); }

int get_columntext_text_flag(int scan) { return scan_text(scan) != nullptr ? 1 : 0; }

char* get_columntext_text_field(int scan, int k) {
  std::string_view field;
  return scan_text_field(scan, k, &field) ? copy_of(field) : nullptr;
}

int get_columntext_text_field_flag(int scan, int k) {
  std::string_view field;
  return scan_text_field(scan, k, &field) ? 1 : 0;
}

char* get_columntext_text_field_item(const char* text, int k, const char* separators) {
  std::string_view field;
  return item_field(text, k, separators, &field) ? copy_of(field) : nullptr;
}

int get_columntext_text_field_item_flag(const char* text, int k, const char* separators) {
  std::string_view field;
  return item_field(text, k, separators, &field) ? 1 : 0;
}
