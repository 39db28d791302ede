// SPDX-License-Identifier: MIT
// Column queries shared by the rule sets, the column operations and the writer.
#include "document/columns.h"

namespace gef {
namespace {} // namespace

bool column_void(Document& doc, int c, double* w) {
  if (!doc.entries || c < 1 || c > kMaxColumns) return false;
  const Entry& e = entry(doc, KW_COLUMNVOID, c - 1);
  if (e.present == 0) return false;
  *w = e.field[0].d;
  return true;
}

bool is_void_in_column(Document& doc, int c, double v, double t) {
  double w = 0;
  return column_void(doc, c, &w) && matches_void(v, w, t);
}

bool has_column_count(Document& doc) {
  if (!doc.entries) return false;
  const Entry& e = entry(doc, KW_COLUMN, 0);
  return e.present != 0 && has_field(e, 1);
}

int column_count_or(Document& doc, int fallback) {
  return has_column_count(doc) ? entry(doc, KW_COLUMN, 0).field[0].i : fallback;
}

int column_of_quantity(Document& doc, int q) {
  const int columns = column_count_or(doc, 0);
  for (int c = 1; c <= columns && c <= kMaxColumns; ++c) {
    const Entry& e = entry(doc, KW_COLUMNINFO, c - 1);
    if (e.present != 0 && has_field(e, 3) && e.field[2].i == q) return c;
  }
  return 0;
}

int known_scans(const Document& doc) {
  return doc.scan_known != 0 && doc.scan_count > 0 ? doc.scan_count : 0;
}

bool column_in_block(const Document& doc, int c, int scans) {
  if (!library().data || c < 1 || scans < 0) return false;
  return std::int64_t(c) * scans <= std::int64_t(doc.value_capacity);
}

} // namespace gef
