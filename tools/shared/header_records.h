// SPDX-License-Identifier: MIT
// Reads the bytes of gef_copy_header back into records, for the programs built beside the
// library (geftool and the fuzz targets), so that the framing is parsed in one place.
#pragma once

#include <string>
#include <vector>

#include <gef/extensions.h>

namespace gef_tools {

/// One record of gef_copy_header with its escapes undone.
struct HeaderBytesRecord {
  std::string name;                ///< "COLUMNINFO"
  std::string number;              ///< entry number or owning keyword; empty for single keywords
  std::vector<std::string> fields; ///< each empty when absent, else type letter and value
};

/// The most fields a keyword has: reserved for each record, so that its fields grow once.
constexpr std::size_t kMostFields = 9;

/// Splits `bytes` as gef_copy_header frames them; an unfinished last record is dropped.
inline std::vector<HeaderBytesRecord> split_header_records(const std::string& bytes) {
  std::vector<HeaderBytesRecord> records;
  HeaderBytesRecord record;
  record.fields.reserve(kMostFields);
  std::string part;
  std::size_t index = 0; // of `part` in its record: 0 name, 1 number, then the fields
  auto finish_part = [&] {
    if (index == 0)
      record.name = part;
    else if (index == 1)
      record.number = part;
    else
      record.fields.push_back(part);
    part.clear();
    ++index;
  };
  // The framing bytes are all below 0x20, so runs of other bytes are appended whole.
  auto framing = [](char c) {
    return c == GEF_COPY_ESCAPE || c == GEF_COPY_FIELD_START || c == GEF_COPY_RECORD_END;
  };
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::size_t run = i;
    while (run < bytes.size() && !framing(bytes[run])) ++run;
    part.append(bytes, i, run - i);
    if (run == bytes.size()) break;
    i = run;
    const char c = bytes[i];
    if (c == GEF_COPY_ESCAPE) {
      if (i + 1 < bytes.size()) part += bytes[++i];
    } else if (c == GEF_COPY_FIELD_START) {
      finish_part();
    } else {
      finish_part();
      records.push_back(std::move(record));
      record = HeaderBytesRecord{};
      record.fields.reserve(kMostFields);
      index = 0;
    }
  }
  return records;
}

/// The current document's keyword entries, as gef_copy_header gives them.
inline std::vector<HeaderBytesRecord> copy_header_records() {
  const long long size = gef_copy_header(nullptr, 0);
  std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) gef_copy_header(bytes.data(), size);
  return split_header_records(bytes);
}

} // namespace gef_tools
