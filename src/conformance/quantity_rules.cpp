// SPDX-License-Identifier: MIT
// Rules about column quantity numbers shared by the CPT and boring report rule sets.
#include "conformance/quantity_rules.h"

#include <cmath>

#include "diagnostics/error_list.h"
#include "document/columns.h"

namespace gef {

void RuleGroup::keyword(int code, int kw, int first, int second, Level level) {
  report_keyword(doc, code, kw, first, second, level);
  held = false;
}

bool check_quantity_numbers(Document& doc, int code) {
  if (!doc.entries) return true;
  bool held = true;
  const int columns = column_count_or(doc, kMaxColumns);
  for (int c = 1; c <= columns && c <= kMaxColumns; ++c) {
    const Entry& info = entry(doc, KW_COLUMNINFO, c - 1);
    if ((info.bits & 0x4u) == 0) {
      report_keyword(doc, code, KW_COLUMNINFO, c, 3, LEVEL_STANDARD_SEVERE);
      held = false;
    }
  }
  return held;
}

bool is_close(double x, double r, double t) {
  if (r == 0.0) return x == 0.0 || std::fabs(x) < t;
  return std::fabs(1.0 - x / r) < t;
}

} // namespace gef
