// SPDX-License-Identifier: MIT
// The CPT-report recognition and the rule sets that compare a document with a CPT report and
// with its own data block.
#pragma once

#include "document/record.h"

namespace gef {

// The CPT report version a document follows; the parts are -1 when it is not recognised.
struct CptReport {
  bool recognised = false;
  int release = -1;
  int version = -1;
  int update = -1;
};

// Recognises a CPT report from PROCEDURECODE and REPORTCODE, afresh on every call. A code
// whose release, version or update lies outside 0..99 counts as not given.
CptReport recognise_cpt_report(Document& doc);

// The three CPT rule groups; each records what it finds and returns true when nothing failed.
bool check_cpt_required(Document& doc, const CptReport& report);
bool check_cpt_first_reading(Document& doc, const CptReport& report);
bool check_cpt_ascending(Document& doc);

// The data consistency rules: COLUMN, LASTSCAN against the scans held, and COLUMNMINMAX
// against the valid readings. True when nothing failed.
bool check_data(Document& doc);

} // namespace gef
