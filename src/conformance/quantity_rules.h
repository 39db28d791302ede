// SPDX-License-Identifier: MIT
// Rules about column quantity numbers shared by the CPT and boring report rule sets.
#pragma once

#include "diagnostics/error_list.h"
#include "document/record.h"

namespace gef {

// Records the findings of one rule group and remembers whether any of them fails it; a full
// error list drops the entry but not the failure.
struct RuleGroup {
  explicit RuleGroup(Document& d) : doc(d) {}
  Document& doc;
  bool held = true;

  void keyword(int code, int kw, int first, int second, Level level);
};

// For each column 1..COLUMN (250 without COLUMN) whose COLUMNINFO lacks its quantity number,
// records `code` as (COLUMNINFO, column, 3, level 11). True when nothing was recorded.
bool check_quantity_numbers(Document& doc, int code);

// Whether `x` is close to the reference `r` within `t`: absolute against a reference of zero
// (either sign), relative against any other.
bool is_close(double x, double r, double t);

} // namespace gef
