// SPDX-License-Identifier: MIT
// Steps of a read that other parts of the library provide: checks, corrections and conversions.
#pragma once

#include <cstdio>

#include "document/record.h"

namespace gef {

// Reads the text data block at the file's position into the data block and the per-scan
// column texts. Returns 1 when a data block was built (lesser problems may be reported), 0
// otherwise.
int read_ascii_data(Document& doc, std::FILE* file);

// Reads a binary data block (DATAFORMAT other than ASCII). Returns 1 when a data block was
// built, 0 otherwise.
int read_binary_data(Document& doc, std::FILE* file);

// Applies COLUMNPOWERSUPPLY, COLUMNAMPLIFIER and COLUMNOFFSET to the data block just read,
// removes those keywords and recomputes COLUMNMINMAX of the changed columns.
void apply_column_corrections(Document& doc);

// Release, version and update of the document's CPT report (-1 for an unreadable part).
// Returns false when the document is no CPT report.
bool cpt_report_version(Document& doc, int* release, int* version, int* update);

// Converts a CPT report 1.0.0 to what 1.1.0 demands. Returns 1 when converted or nothing had
// to change, 0 when the document lacks what the conversion needs.
int convert_cpt_report(Document& doc);

} // namespace gef
