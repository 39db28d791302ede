// SPDX-License-Identifier: MIT
// What a rewrite of a GEF file must keep: number formats that write every value back exactly, and
// the comparison of a written file with the document it came from.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "findings.h"
#include "header.h"

namespace geftool {

/// A copy of the current document: its keyword entries, data block and per-scan texts.
struct Snapshot {
  std::vector<HeaderRecord> records;
  int columns = 0, scans = 0;
  std::vector<double> values;                    ///< column after column
  std::vector<std::optional<std::string>> texts; ///< per scan, empty when a scan has none
};

/// Copies the current document.
Snapshot take_snapshot();

/// REPORTDATAFORMAT tokens, one per column of `document`, each the shortest fixed (F) or
/// exponent (E) format whose text reads back as every value of its column (the data and the
/// column's COLUMNMINMAX), fixed preferred when it is not much longer. Empty without columns.
std::string lossless_formats(const Snapshot& document);

/// One way a written file differs from its original.
struct Change {
  std::string text;
  bool loss = true; ///< false for what the writer only added (a default for an absent field)
};

/// Everything `written` (the file read back) lost, changed or added of `original`, one each:
/// keyword entries and fields, scan count, values per column, per-scan texts. The layout
/// keywords a conversion sets on purpose (separators, data format and type, report data format)
/// and LASTSCAN (the scan count stands for it) are not compared.
std::vector<Change> differences(const Snapshot& original, const Snapshot& written);

/// The findings of reading that mean a line or field of the file was not kept (unknown keywords,
/// surplus fields, repeats, numbers out of range), as the library worded them.
std::vector<std::string> dropped_at_reading(const std::vector<Finding>& findings);

} // namespace geftool
