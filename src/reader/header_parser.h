// SPDX-License-Identifier: MIT
// The GEF header syntax: keyword lines split into fields, read from a file into the keyword store.
#pragma once

#include <cstdint>
#include <cstdio>

#include "document/record.h"

namespace gef {

constexpr int kFieldBuffers = 12;  // buffer 0 the keyword name, 1..11 the fields of a line
constexpr int kFieldSize = 1024;   // a field keeps at most 1023 characters
constexpr int kLineLimit = 1024;   // the keyword finder looks this far into a line
constexpr int kWindowSize = 20000; // bytes of the header held at a time

// The keyword name and the fields of one header line.
struct KeywordLine {
  char field[kFieldBuffers][kFieldSize];
};

// Where find_keyword stopped when the text ended before one of its limits: the line is
// incomplete, not malformed.
constexpr std::int64_t kTextEnded = -1;

// Finds `#`, the keyword name and the `=` at the start of `line`, looking at no more than the
// `bound` bytes available. Copies the name into `keyword` (at most 1023 characters) and returns
// the offset just behind the `=`. A line it cannot parse is reported (codes 11 to 14), raises
// doc.reading.stop and gives 1024; kTextEnded when the text ends first.
std::int64_t find_keyword(Document& doc, const char* line, std::int64_t bound, char* keyword);

// Splits the header line at `line` (at most `bound` bytes readable; `bound_is_end` when no
// more bytes follow in the file) into `out`. Sets `consumed` to the bytes the line takes.
// Returns non-zero for a keyword line and 0 for the `#EOH=` line or when the parse must stop.
// `consumed` is -1 when the line runs past the readable bytes, and also for a line of ten or
// more fields (then the result is -1 as well).
int split_keyword_line(Document& doc, const char* line, std::int64_t bound, bool bound_is_end,
                       KeywordLine& out, std::int64_t& consumed);

// Parses the header of `file` (positioned at its start) into the document. Returns 1 when the
// data block can be read, 0 otherwise; on success the file is positioned at the first byte
// behind the `#EOH=` line. Ends with the header completeness check, which sets the plotable
// and header-checked flags.
int read_header(Document& doc, std::FILE* file);

} // namespace gef
