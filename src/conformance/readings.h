// SPDX-License-Identifier: MIT
// The readings of one column as the report and data rules see them: only what lies inside the
// data block, with the column's void value.
#pragma once

#include "document/columns.h"

namespace gef {

// One column's readings. A column outside 1..min(COLUMN, 250) or beyond the data block, and
// any column while the scan count is unknown, has no readings.
struct Readings {
  const double* values = nullptr; // found once, not looked up per reading
  int column = 0;                 // 0 when there is no such column
  int scans = 0;                  // readings that may be read
  bool has_void = false;          // COLUMNVOID is present for the column
  double void_value = 0;

  double at(int s) const { return values[s - 1]; }
  bool is_void(double v) const { return matches_void(v, void_value, kVoidThresholdFine); }
  // Whether the reading of scan `s` is not the void value.
  bool valid(int s) const { return !is_void(at(s)); }
};

// The readings of column `c` (0 for none); `fallback_void` stands in for a missing COLUMNVOID.
inline Readings readings_of(Document& doc, int c, double fallback_void) {
  Readings r;
  r.void_value = fallback_void;
  if (c < 1 || c > kMaxColumns || c > column_count_or(doc, 0)) return r;
  r.column = c;
  r.has_void = column_void(doc, c, &r.void_value);
  const int n = known_scans(doc);
  if (!column_in_block(doc, c, n)) return r;
  r.scans = n;
  r.values = column_values(doc, c);
  return r;
}

} // namespace gef
