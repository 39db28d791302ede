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

/// `text` with the letters a to z in upper case, as GEF keywords and codes compare; a null text
/// gives an empty string. Other bytes stay as they are, whatever the locale.
std::string upper(std::string text);
std::string upper(const char* text);

/// Number of characters (code points) of UTF-8 text, for lining up table columns.
std::size_t utf8_width(const std::string& text);

/// `value` as one CSV field: as it is, or quoted with its quotes doubled when it holds a comma, a
/// quote or a line break.
std::string csv_field(const std::string& value);

} // namespace geftool
