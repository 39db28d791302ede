// SPDX-License-Identifier: MIT
// Turning the bytes of GEF texts, whose code page is unknown, into UTF-8 that terminals and JSON
// accept, and into CSV fields.
#pragma once

#include <string>

namespace geftool {

/// Returns `bytes` unchanged when they are valid UTF-8 (a leading byte-order mark is dropped),
/// otherwise decodes them as Windows code page 1252, the code page most GEF files are written in.
std::string to_utf8(std::string bytes);

/// As to_utf8; a null text gives an empty string.
std::string to_utf8(const char* bytes);

/// Number of characters (code points) of UTF-8 text, for lining up table columns.
std::size_t utf8_width(const std::string& text);

/// `value` as one CSV field: as it is, or quoted with its quotes doubled when it holds a comma, a
/// quote or a line break.
std::string csv_field(const std::string& value);

} // namespace geftool
