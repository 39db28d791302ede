// SPDX-License-Identifier: MIT
// Column queries shared by the rule sets, the column operations and the writer.
#pragma once

#include <cmath>
#include <cstdint>

#include "document/record.h"

namespace gef {

// Thresholds of the void match rule: the exported computations use the first, the
// corrections after reading and the data conversion the second.
constexpr double kVoidThreshold = 1e-40;
constexpr double kVoidThresholdFine = 1e-200;

// Whether value `v` is the void value `w` under threshold `t`. A tiny void value marks the
// values smaller in magnitude; any other matches within 1e-10 relative. A void value of
// exactly 0 therefore never matches.
inline bool matches_void(double v, double w, double t) {
  if (std::fabs(w) < t) return std::fabs(v) < std::fabs(w);
  return std::fabs(1.0 - v / w) < 1e-10;
}

// Whether column `c` (1-based) has a present COLUMNVOID slot; stores its value in `*w`.
bool column_void(Document& doc, int c, double* w);

// Whether `v` is void in column `c` under threshold `t`; a column without COLUMNVOID has no
// void values.
bool is_void_in_column(Document& doc, int c, double v, double t);

// The column count, the one rule every reader of it follows: COLUMN's field 1 when the keyword
// is present with that field, else `fallback` (also without a document). Callers pick the
// fallback: 0 for "no columns", 250 where the rules look at every column that may be stored.
// Only the checks that tell a missing COLUMN line from a line without its count (the data and
// completeness rules, the GEF writer, the data writer and REPORTDATAFORMAT's formats) read the
// keyword's presence themselves, because they report the two cases differently.
int column_count_or(Document& doc, int fallback);
// Whether the document has a column count by that rule.
bool has_column_count(Document& doc);

// The lowest-numbered column among 1..COLUMN (capped at 250) whose COLUMNINFO slot is present
// with quantity number `q` given; 0 when there is none or COLUMN is absent.
int column_of_quantity(Document& doc, int q);

// Number of scans whose values may be read: the scan count while it is known, else 0.
int known_scans(const Document& doc);

// Whether column `c` (1-based) of `scans` scans lies inside the allocated data block.
bool column_in_block(const Document& doc, int c, int scans);

// The values of column `c` (1-based), scan after scan; the caller has checked the bounds.
inline const double* column_values(const Document& doc, int c) {
  return library().data.get() + std::int64_t(c - 1) * doc.scan_count;
}

// Value of scan `s` (1-based) in column `c` (1-based); the caller has checked the bounds.
inline double data_value(const Document& doc, int c, int s) { return column_values(doc, c)[s - 1]; }

} // namespace gef
