// SPDX-License-Identifier: MIT
// Turns raw columns into physical values right after reading: power supply, amplifier, offset.
//
// Each correction is checked before anything changes: a correction that cannot be applied (a
// supply column outside the columns, an amplification of 0, a supply reading of 0 or void, an
// offset row outside the scans or void there) leaves its column raw with every one of its
// correction keywords, and says why. A raw column with its keywords loses nothing; a column
// divided by zero or shifted by a void marker would.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "api/deletes.h"
#include "dataops/column_ops.h"
#include "diagnostics/error_list.h"
#include "document/columns.h"
#include "reader/read_steps.h"

namespace gef {
namespace {

constexpr Level kRefusedLevel = LEVEL_GEF_ERROR;

struct Column {
  double* values;
  int scans;
  bool has_void;
  double void_value;
  bool is_void(double v) const {
    return has_void && matches_void(v, void_value, kVoidThresholdFine);
  }
};

void refuse(Document& doc, int code, int c, const char* why) {
  char text[160];
  std::snprintf(text, sizeof text, "%s of column %d is not applied: %s.", keyword_name(code), c,
                why);
  report_text(doc, ERR_DATA_NOTE, text, c, 0, kRefusedLevel);
}

// Why COLUMNOFFSET of a column cannot be applied, or null.
const char* offset_fault(const Entry& e, const Column& col) {
  const int row = e.field[0].i;
  if (row < 1 || row > col.scans) return "the row is outside the scans";
  if (col.is_void(col.values[row - 1])) return "the value at the row is void";
  return nullptr;
}

// Why COLUMNPOWERSUPPLY of a column cannot be applied with the supply values as they are now.
const char* supply_fault(const Entry& e, const Column& col, const std::vector<Column>& cols) {
  const int p = e.field[2].i;
  if (p < 1 || p > int(cols.size())) return "the supply column is outside the columns";
  if (e.field[1].f == 0.0f) return "the amplification is 0";
  const Column& supply = cols[std::size_t(p - 1)];
  for (int s = 0; s < col.scans; ++s) {
    if (col.is_void(col.values[s])) continue;
    const double y = supply.values[s];
    if (y == 0.0 || supply.is_void(y)) return "a supply reading is 0 or void";
  }
  return nullptr;
}

void apply_supply(const Entry& e, Column& col, const Column& supply) {
  const double offset = e.field[0].f, amplification = e.field[1].f;
  for (int s = 0; s < col.scans; ++s)
    if (!col.is_void(col.values[s]))
      col.values[s] = col.values[s] / (amplification * supply.values[s]) + offset;
}

void apply_amplifier(Entry& e, Column& col) {
  if (e.field[2].i < 0) e.field[2].i = 1;
  if (e.field[3].i < 0 || e.field[3].i > col.scans) e.field[3].i = col.scans;
  const double offset = e.field[0].f, amplification = e.field[1].f;
  for (int s = std::max(e.field[2].i - 1, 0); s < e.field[3].i; ++s)
    if (!col.is_void(col.values[s])) col.values[s] = amplification * col.values[s] + offset;
}

void apply_offset(const Entry& e, Column& col) {
  const double d = e.field[1].d - col.values[e.field[0].i - 1];
  for (int s = 0; s < col.scans; ++s)
    if (!col.is_void(col.values[s])) col.values[s] += d;
}

} // namespace

void apply_column_corrections(Document& doc) {
  // Slots beyond COLUMN are neither applied nor removed; columns past 250 have no slots.
  const int columns = std::min(column_count_or(doc, 0), kMaxColumns);
  if (columns < 1 || !has_data_block(doc) ||
      std::int64_t(columns) * doc.scan_count > doc.value_capacity)
    return;
  std::vector<Column> cols;
  for (int c = 1; c <= columns; ++c) {
    Column col{library().data.get() + std::int64_t(c - 1) * doc.scan_count, doc.scan_count, false,
               0.0};
    col.has_void = column_void(doc, c, &col.void_value);
    cols.push_back(col);
  }
  auto slot = [&doc](int code, int c) -> Entry* {
    Entry& e = entry(doc, code, c - 1);
    return e.present != 0 ? &e : nullptr;
  };

  std::vector<bool> refused(std::size_t(columns) + 1, false), changed(refused);
  for (int c = 1; c <= columns; ++c) {
    const Entry* e = slot(KW_COLUMNOFFSET, c);
    const char* why = e != nullptr ? offset_fault(*e, cols[std::size_t(c - 1)]) : nullptr;
    if (why != nullptr) {
      refuse(doc, KW_COLUMNOFFSET, c, why);
      refused[std::size_t(c)] = true;
    }
  }
  for (int c = 1; c <= columns; ++c) {
    const Entry* e = slot(KW_COLUMNPOWERSUPPLY, c);
    if (e == nullptr || refused[std::size_t(c)]) continue;
    Column& col = cols[std::size_t(c - 1)];
    // The supply column is read as it is now, corrected or not.
    if (const char* why = supply_fault(*e, col, cols)) {
      refuse(doc, KW_COLUMNPOWERSUPPLY, c, why);
      refused[std::size_t(c)] = true;
      continue;
    }
    apply_supply(*e, col, cols[std::size_t(e->field[2].i - 1)]);
    changed[std::size_t(c)] = true;
    delete_keyword(doc, KW_COLUMNPOWERSUPPLY, c);
  }
  for (int code : {KW_COLUMNAMPLIFIER, KW_COLUMNOFFSET}) {
    for (int c = 1; c <= columns; ++c) {
      Entry* e = slot(code, c);
      if (e == nullptr || refused[std::size_t(c)]) continue;
      if (code == KW_COLUMNAMPLIFIER)
        apply_amplifier(*e, cols[std::size_t(c - 1)]);
      else
        apply_offset(*e, cols[std::size_t(c - 1)]);
      changed[std::size_t(c)] = true;
      delete_keyword(doc, code, c);
    }
  }
  for (int c = 1; c <= columns; ++c)
    if (changed[std::size_t(c)] && entry(doc, KW_COLUMNMINMAX, c - 1).present != 0)
      store_column_minmax(doc, c, kVoidThresholdFine);
}

} // namespace gef
