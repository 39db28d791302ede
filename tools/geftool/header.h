// SPDX-License-Identifier: MIT
// geftool header: every keyword line of a file as the library holds it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace geftool {

/// One stored keyword entry, copied with gef_copy_header.
struct HeaderRecord {
  std::string keyword;                            ///< "COLUMNINFO"
  std::optional<int> number;                      ///< entry number of numbered keywords
  std::vector<std::optional<std::string>> fields; ///< UTF-8 values; absent fields are empty
  std::vector<char> types;                        ///< per field its type letter, 0 when absent
};

/// The current document's keyword entries, keywords in code order and entries in number order.
std::vector<HeaderRecord> header_records();

/// The record of `keyword` (and `number` for numbered keywords), or null.
const HeaderRecord* find_record(const std::vector<HeaderRecord>& records,
                                const std::string& keyword,
                                std::optional<int> number = std::nullopt);

/// True when field `field` (from 1) of `record` was given in the file.
bool has_field(const HeaderRecord* record, std::size_t field);

/// Prints the keyword lines of `path` as text or, with `json`, one JSON object; returns the exit
/// status (2 unreadable, 1 data block cut short, 0 otherwise).
int run_header(const std::string& path, bool json);

} // namespace geftool
