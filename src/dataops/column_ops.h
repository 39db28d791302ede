// SPDX-License-Identifier: MIT
// Column lookup, minimum and maximum, and the column append shared by the column operations,
// the corrections after reading and the computations on columns.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "document/record.h"

namespace gef {

// The first value of column `c` (1-based) in the data block, or null after reporting why not:
// no COLUMN (error 2), `c` outside 1..COLUMN (error 7), no data block (error 8), a block
// smaller than COLUMN x scans (error 1011).
double* column_values(Document& doc, int c);

// Whether the document has a data block whose scan count is known.
bool has_data_block(const Document& doc);

// Minimum and maximum of the values of column `c` that are not void under threshold `t`;
// false when none qualified. The caller has looked the column up.
bool column_range(Document& doc, int c, double t, double* min, double* max);

// Looks column `c` up and stores its COLUMNMINMAX under threshold `t`. Returns 1 when stored,
// 0 when the lookup failed or no value qualified (COLUMNMINMAX is kept then).
int store_column_minmax(Document& doc, int c, double t);

// Stores keyword `code` with typed field arguments, whatever the caller's input mode.
int store_typed(Document& doc, int code, std::initializer_list<const void*> args);

// Gives column `c` the void value `w` as a present COLUMNVOID with its field given, so that
// getters, rules and writer see it.
void set_column_void(Document& doc, int c, double w);

// Appends a column holding `values` (one per scan; null: every value is `fill`) with its
// COLUMN, COLUMNINFO and COLUMNMINMAX, and COLUMNVOID `*void_value` when given. Returns 1, or
// 0 after reporting (errors 2, 8, 1003, 1011, 22) with the document unchanged.
int append_column(Document& doc, const double* values, double fill, const char* unit,
                  const char* quantity, int qn, const double* void_value);

// The text of REPORTDATAFORMAT split into blank-separated tokens, as start and end offsets.
struct FormatToken {
  std::size_t start, end;
};
std::string format_text(Document& doc);
void split_format(const std::string& text, std::vector<FormatToken>* tokens);

// Stores `text` as REPORTDATAFORMAT again, rebuilding the output formats for COLUMN.
void restore_formats(Document& doc, const std::string& text);

} // namespace gef
