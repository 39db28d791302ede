// SPDX-License-Identifier: MIT
// The data consistency rules: the header's COLUMN, LASTSCAN and COLUMNMINMAX against the data
// block.
#include <cmath>
#include <cstdio>

#include "conformance/quantity_rules.h"
#include "conformance/readings.h"
#include "conformance/report_rules.h"
#include "diagnostics/error_list.h"

namespace gef {
namespace {

constexpr double kTolerance = 1e-5; // 10 ppm
constexpr double kPpm = 10.0;

// Records 1012 (information) when the actual extreme is not close to the declared one.
void compare(Document& doc, int c, const char* which, double actual, double declared) {
  if (is_close(actual, declared, kTolerance)) return;
  char text[kTextSize];
  std::snprintf(text, sizeof text,
                "for column %d the actual %s %le differs more than %2.0lf ppm from its value "
                "reported in the header: %le\n",
                c, which, actual, kPpm, declared);
  report_text(doc, ERR_DATA_NOTE, text, 0, 0, LEVEL_GEF_INFORMATION);
}

} // namespace

bool check_data(Document& doc) {
  if (!doc.entries) return false;
  bool held = true;
  const Entry& column = entry(doc, KW_COLUMN, 0);
  if (column.present == 0) {
    report_keyword(doc, ERR_REQUIRED_MISSING, KW_COLUMN, 0, 0, LEVEL_GEF_SEVERE);
    held = false;
  } else if (!has_field(column, 1)) {
    report_keyword(doc, ERR_REQUIRED_MISSING, KW_COLUMN, 0, 1, LEVEL_GEF_SEVERE);
    held = false;
  }
  const Entry& lastscan = entry(doc, KW_LASTSCAN, 0);
  if (lastscan.present != 0 && !has_field(lastscan, 1)) {
    report_keyword(doc, ERR_REQUIRED_MISSING, KW_LASTSCAN, 0, 1, LEVEL_GEF_ERROR);
    held = false;
  } else if (lastscan.present != 0 && doc.scan_known != 0 &&
             doc.scan_count != lastscan.field[0].i) {
    report_text(doc, ERR_LASTSCAN_MISMATCH, "", doc.scan_count, lastscan.field[0].i,
                LEVEL_GEF_INFORMATION);
    held = false;
  }
  // Without a column count or a known scan count there is nothing to compare with.
  if (column.present == 0 || !has_field(column, 1) || doc.scan_known == 0) return held;

  const int columns = column.field[0].i < kMaxColumns ? column.field[0].i : kMaxColumns;
  for (int c = 1; c <= columns; ++c) {
    const Entry& minmax = entry(doc, KW_COLUMNMINMAX, c - 1);
    if (minmax.present == 0 || !has_field(minmax, 1) || !has_field(minmax, 2)) continue;
    // Only COLUMNVOID marks void readings here; non-finite readings are never valid.
    const Readings col = readings_of(doc, c, 0.0);
    bool found = false;
    double low = 0.0, high = 0.0;
    for (int s = 1; s <= col.scans; ++s) {
      const double v = col.at(s);
      if (!std::isfinite(v) || (col.has_void && col.is_void(v))) continue;
      if (!found || v < low) low = v;
      if (!found || v > high) high = v;
      found = true;
    }
    if (!found) {
      report_text(doc, ERR_NO_VALID_DATA, "", c, 0, LEVEL_GEF_MINOR);
      held = false;
      continue;
    }
    compare(doc, c, "minimum", low, minmax.field[0].d);
    compare(doc, c, "maximum", high, minmax.field[1].d);
  }
  return held;
}

} // namespace gef
