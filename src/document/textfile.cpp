// SPDX-License-Identifier: MIT
// Text-mode output with explicit CR LF line ends.
#include "document/textfile.h"

#include <cstdarg>
#include <cstring>
#include <string>

namespace gef {

bool put_text(std::FILE* file, const char* text) {
  bool ok = true;
  for (const char* p = text; *p != '\0';) {
    const char* nl = std::strchr(p, '\n');
    const std::size_t n = nl != nullptr ? std::size_t(nl - p) : std::strlen(p);
    if (n > 0 && std::fwrite(p, 1, n, file) != n) ok = false;
    if (nl == nullptr) break;
    if (std::fwrite("\r\n", 1, 2, file) != 2) ok = false;
    p = nl + 1;
  }
  return ok;
}

bool print_text(std::FILE* file, const char* format, ...) {
  char small[512];
  std::va_list args;
  va_start(args, format);
  std::va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  bool ok = n >= 0;
  if (ok && std::size_t(n) < sizeof small) {
    ok = put_text(file, small);
  } else if (ok) {
    std::string big(std::size_t(n) + 1, '\0');
    std::vsnprintf(&big[0], big.size(), format, again);
    ok = put_text(file, big.c_str());
  }
  va_end(again);
  return ok;
}

} // namespace gef
