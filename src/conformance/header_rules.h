// SPDX-License-Identifier: MIT
// Rules every GEF header must obey, the keyword-version rule and the test driver's pieces.
#pragma once

#include "document/record.h"

namespace gef {

// What the header completeness check found.
struct Completeness {
  int worst;        // most serious counted level (1..4), 0 when nothing counted
  bool binary_lack; // binary data without a valid DATATYPE / OS (recorded, but not counted)
};

// Identification and columns: GEFID, COLUMN, COLUMNINFO per column, and DATATYPE / OS for
// binary data. Sets the plotable and header-checked flags. Run by the reader after #EOH= and
// by test_gef.
Completeness check_header_completeness(Document& doc);

// Owner, date and project; returns the most serious level found, 0 when nothing.
int check_owner_date_project(Document& doc);

// Column keywords beyond the column count and their missing fields; true when all held.
bool check_column_keywords(Document& doc);

// The field, value, date and cross-reference rules of every header keyword; true when all
// held.
bool check_general_header_rules(Document& doc);

// Whether keyword `code` is allowed with the document's GEFID (1.0.0, 1.1.0 or 2.0.0).
bool keyword_allowed(const Document& doc, int code);

// Whether year, month and day form a calendar date.
bool valid_date(int year, int month, int day);

// Whether every format field of REPORTDATAFORMAT is valid; reports each invalid one.
bool check_report_data_format(Document& doc);

} // namespace gef
