// SPDX-License-Identifier: MIT
// Text-mode output: every line ends with CR LF, whatever the platform.
#pragma once

#include <cstdio>

namespace gef {

// Writes `text` to `file`, turning each "\n" into "\r\n" as a Windows text-mode stream does.
// Returns false on a write error.
bool put_text(std::FILE* file, const char* text);

// printf-style formatting followed by put_text.
bool print_text(std::FILE* file, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

} // namespace gef
