// SPDX-License-Identifier: MIT
// Deleting a column with its keywords, making an empty data block, and building a time column.
#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "api/boundary.h"
#include "api/deletes.h"
#include "dataops/column_ops.h"
#include "diagnostics/error_list.h"
#include "document/columns.h"
#include "gef/dataops.h"

namespace gef {
namespace {

constexpr std::int64_t kLargestBlock = std::numeric_limits<std::int32_t>::max();

// The keywords with one slot per column, in the order their slots are moved.
constexpr int kColumnKeywords[] = {KW_COLUMNMINMAX,    KW_COLUMNINFO, KW_COLUMNOFFSET,
                                   KW_COLUMNAMPLIFIER, KW_COLUMNVOID, KW_COLUMNPOWERSUPPLY};

// Removes slot `c` of `code` and moves the whole occurrences of slots c+1..last one slot down:
// values, presence, field bits and text ownership together. The emptied last slot keeps no
// references.
void shift_slots(Document& doc, int code, int c, int last) {
  // The next reset must visit every slot touched here.
  doc.used[code] = std::max(doc.used[code], last);
  clear_entry(entry(doc, code, c - 1), code);
  if (last <= c) return;
  for (int i = c; i < last; ++i) entry(doc, code, i - 1) = entry(doc, code, i);
  Entry& tail = entry(doc, code, last - 1);
  const KeywordInfo& kw = keyword_info(code);
  for (int k = 0; k < kw.field_count; ++k)
    if (field_info(code, k).type == FieldType::TEXT) tail.field[k].s = nullptr;
  clear_entry(tail, code);
}

// REPORTDATAFORMAT without the token of column `c`, unless a last token also serves later
// columns or the column used a repeat of the last token.
std::string formats_without(Document& doc, int c, int columns) {
  std::string text = format_text(doc);
  std::vector<FormatToken> tokens;
  split_format(text, &tokens);
  const std::size_t n = tokens.size();
  const std::size_t i = std::size_t(c - 1);
  if (i >= n || (i + 1 == n && std::size_t(columns) > n)) return text;
  if (i > 0)
    text.erase(tokens[i - 1].end, tokens[i].end - tokens[i - 1].end);
  else
    text.erase(tokens[0].start, (n > 1 ? tokens[1].start : tokens[0].end) - tokens[0].start);
  return text;
}

bool references_column(Document& doc, int c, int columns) {
  const Entry& time = entry(doc, KW_TIMECOLUMN, 0);
  if (time.present != 0 && time.field[0].i == c) {
    report_text(doc, ERR_COLUMN_IN_TIMECOLUMN, "", c, 0, LEVEL_GEF_MINOR);
    return true;
  }
  for (int i = 1; i <= std::min(columns, kMaxColumns); ++i) {
    const Entry& e = entry(doc, KW_COLUMNPOWERSUPPLY, i - 1);
    if (e.present != 0 && e.field[2].i == c) {
      report_text(doc, ERR_COLUMN_IN_POWERSUPPLY, "", c, 0, LEVEL_GEF_MINOR);
      return true;
    }
  }
  return false;
}

// Time of every scan from the scan-time occurrences, each a time per scan from its start scan.
std::vector<double> elapsed_times(Document& doc, int scans) {
  struct Rate {
    int start;
    double step;
  };
  std::vector<Rate> rates;
  for (int i = 0; i < keyword_info(KW_SCANTIME).capacity; ++i) {
    Entry& e = entry(doc, KW_SCANTIME, i);
    if (e.present == 0) continue;
    // A rate from the last scan on changes no time: it is dropped, as one beyond the data.
    if (e.field[1].i >= scans) {
      clear_entry(e, KW_SCANTIME);
      continue;
    }
    rates.push_back({std::max(1, e.field[1].i), double(e.field[0].f)});
  }
  std::vector<double> times;
  if (rates.empty()) return times;
  std::stable_sort(rates.begin(), rates.end(),
                   [](const Rate& a, const Rate& b) { return a.start < b.start; });
  times.assign(std::size_t(scans), 0.0);
  double t = 0;
  for (std::size_t k = 0; k < rates.size(); ++k) {
    const int end = k + 1 < rates.size() ? rates[k + 1].start : scans + 1;
    for (int s = rates[k].start; s < end; ++s) {
      times[std::size_t(s - 1)] = t;
      t += rates[k].step;
    }
  }
  return times;
}

} // namespace
} // namespace gef

using namespace gef;

int delete_column(int column) try {
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return 0;
  const int columns = column_count_or(*doc, 0);
  if (column < 1 || column > columns) {
    report_text(*doc, ERR_COLUMN_OUT_OF_RANGE, "", column, columns, LEVEL_GEF_SEVERE);
    return 0;
  }
  if (references_column(*doc, column, columns)) return 0;
  const bool block = has_data_block(*doc);
  const std::int64_t scans = block ? doc->scan_count : 0;
  if (block && columns * scans > doc->value_capacity) {
    report_text(*doc, ERR_BLOCK_TOO_LARGE, "", doc->value_capacity, 0, LEVEL_GEF_SEVERE);
    return 0;
  }

  // The one step that may run out of memory comes before the first change.
  const bool formats = entry(*doc, KW_REPORTDATAFORMAT, 0).present != 0;
  const std::string text = formats ? formats_without(*doc, column, columns) : std::string();
  const int last = std::min(columns, kMaxColumns);
  if (column <= kMaxColumns)
    for (int code : kColumnKeywords) shift_slots(*doc, code, column, last);
  Entry& time = entry(*doc, KW_TIMECOLUMN, 0);
  if (time.present != 0 && time.field[0].i > column) --time.field[0].i;
  for (int i = 1; i <= std::min(columns - 1, kMaxColumns); ++i) {
    Entry& e = entry(*doc, KW_COLUMNPOWERSUPPLY, i - 1);
    if (e.present != 0 && e.field[2].i > column) --e.field[2].i;
  }
  if (block) {
    double* data = library().data.get();
    std::memmove(data + (column - 1) * scans, data + column * scans,
                 std::size_t((columns - column) * scans) * sizeof(double));
  }
  const int remaining = columns - 1;
  store_typed(*doc, KW_COLUMN, {&remaining});
  if (formats) restore_formats(*doc, text);
  return 1;
}
GEF_CATCH(0)

int create_new_empty_datablock(int columns, int scans) try {
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return 0;
  if (columns < 1 || columns > kMaxColumns) {
    report_text(*doc, ERR_TOO_MANY_COLUMNS, "", 0, 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  if (scans < 1) {
    report_text(*doc, ERR_NEGATIVE_SCAN_COUNT, "", 0, 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  const std::int64_t size = std::int64_t(columns) * scans;
  if (size > kLargestBlock) {
    report_text(*doc, ERR_BLOCK_TOO_LARGE, "", std::int32_t(kLargestBlock), 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  // Everything is allocated before anything is released, so a failure changes nothing.
  double* block = new (std::nothrow) double[std::size_t(size)]();
  std::vector<char*> texts;
  try {
    texts.assign(std::size_t(scans), nullptr);
  } catch (const std::bad_alloc&) {
    delete[] block;
    block = nullptr;
  }
  if (block == nullptr) {
    report_text(*doc, ERR_OUT_OF_MEMORY, "", std::int32_t(size * 8 / 1024), 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  for (char* text : library().column_texts) std::free(text);
  library().column_texts.swap(texts);
  library().data.reset(block);
  doc->value_capacity = std::int32_t(size);
  doc->data_present = 1;
  doc->scan_count = scans;
  doc->scan_known = 1;
  store_typed(*doc, KW_COLUMN, {&columns});
  store_typed(*doc, KW_LASTSCAN, {&scans});
  return 1;
}
GEF_CATCH(0)

int maak_tijdkolom(int qn) try {
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return 0;
  bool any = false;
  for (int i = 0; i < keyword_info(KW_SCANTIME).capacity; ++i)
    any = any || entry(*doc, KW_SCANTIME, i).present != 0;
  if (!any || entry(*doc, KW_STARTDATE, 0).present == 0 ||
      entry(*doc, KW_STARTTIME, 0).present == 0 || entry(*doc, KW_TIMECOLUMN, 0).present != 0)
    return 0;
  if (!has_data_block(*doc)) {
    report_keyword(*doc, ERR_UNKNOWN_SCAN_COUNT, kNameScans, 0, 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  const std::vector<double> times = elapsed_times(*doc, doc->scan_count);
  if (times.empty()) return 0;
  if (!append_column(*doc, times.data(), 0.0, "s", "Tijd", qn, nullptr)) return 0;
  const int column = column_count_or(*doc, 0);
  const int timecode = 1;
  store_typed(*doc, KW_TIMECOLUMN, {&column, &timecode, "s"});
  return 1;
}
GEF_CATCH(0)
