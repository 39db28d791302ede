// SPDX-License-Identifier: MIT
// Number texts through the library's to_chars, which gives printf's digits in any locale.
//
// Precisions are capped where a double has no more digits to show: every digit beyond the cap is
// a zero, so it is counted instead of formatted and no precision can overflow a buffer.
#include "writer/output.h"
#include "document/number_chars.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

namespace gef {
namespace {

constexpr int kFixedCap = 1100;     // a double has at most 1074 decimals
constexpr int kScientificCap = 800; // and at most 767 significant digits
constexpr int kGeneralCap = 1200;   // both styles of %g stay exact below this

void copy_text(const char* text, NumberText& out) {
  out.length = std::strlen(text);
  std::memcpy(out.text, text, out.length);
}

} // namespace

void format_core(const NumberFormat& format, double value, NumberText& out) {
  out.zeros = 0;
  // The letter is one of eEfFgG, whose lower case is one bit away.
  const char lower = char(format.letter | 0x20);
  const int precision = std::max(format.precision, 0);
  char* first = out.text;
  char* last = out.text + kCoreSize;
  if (std::isnan(value)) {
    copy_text(std::signbit(value) ? "-nan" : "nan", out);
  } else if (std::isinf(value)) {
    copy_text(value < 0 ? "-inf" : "inf", out);
  } else if (lower == 'f') {
    const int p = std::min(precision, kFixedCap);
    out.length = std::size_t(to_chars(first, last, value, std::chars_format::fixed, p).ptr - first);
    out.zeros = std::size_t(precision - p);
    out.zeros_at = out.length;
  } else if (lower == 'e') {
    const int p = std::min(precision, kScientificCap);
    out.length =
        std::size_t(to_chars(first, last, value, std::chars_format::scientific, p).ptr - first);
    out.zeros = std::size_t(precision - p);
    // Only a precision beyond the cap leaves zeros to insert before the exponent.
    if (out.zeros != 0)
      out.zeros_at =
          std::size_t(static_cast<const char*>(std::memchr(first, 'e', out.length)) - first);
  } else {
    const int p = std::min(precision, kGeneralCap);
    out.length =
        std::size_t(to_chars(first, last, value, std::chars_format::general, p).ptr - first);
  }
  if (format.letter != lower)
    for (std::size_t i = 0; i < out.length; ++i)
      out.text[i] = char(std::toupper(static_cast<unsigned char>(out.text[i])));
}

std::string shortest_text(double value, bool fixed) {
  char text[kCoreSize];
  const auto r = fixed ? to_chars(text, text + kCoreSize, value, std::chars_format::fixed)
                       : to_chars(text, text + kCoreSize, value);
  return std::string(text, r.ptr);
}

std::string shortest_text(float value) {
  char text[64];
  return std::string(text, to_chars(text, text + sizeof text, value).ptr);
}

std::string format_number(const NumberFormat& format, double value) {
  NumberText core;
  format_core(format, value, core);
  std::string out;
  if (std::size_t(format.width) > core.size()) out.assign(format.width - core.size(), ' ');
  if (core.zeros == 0) return out.append(core.text, core.length);
  out.append(core.text, core.zeros_at).append(core.zeros, '0');
  return out.append(core.text + core.zeros_at, core.length - core.zeros_at);
}

void Output::put(const char* bytes, std::size_t n) {
  if (n >= kBufferSize) {
    flush();
    if (!failed_ && std::fwrite(bytes, 1, n, file_) != n) failed_ = true;
    return;
  }
  if (used_ + n > kBufferSize) flush();
  std::memcpy(buffer_ + used_, bytes, n);
  used_ += n;
}

void Output::fill(char c, std::size_t n) {
  while (n > 0) {
    if (used_ == kBufferSize) flush();
    const std::size_t step = std::min(n, kBufferSize - used_);
    std::memset(buffer_ + used_, c, step);
    used_ += step;
    n -= step;
  }
}

void Output::put_unpadded(const NumberText& text) {
  if (text.zeros == 0) {
    put(text.text, text.length);
    return;
  }
  put(text.text, text.zeros_at);
  fill('0', text.zeros);
  put(text.text + text.zeros_at, text.length - text.zeros_at);
}

void Output::put_number_slowly(std::size_t pad, const NumberText& text) {
  fill(' ', pad);
  put_unpadded(text);
}

bool Output::flush() {
  if (used_ > 0 && !failed_ && std::fwrite(buffer_, 1, used_, file_) != used_) failed_ = true;
  used_ = 0;
  return !failed_;
}

} // namespace gef
