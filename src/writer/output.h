// SPDX-License-Identifier: MIT
// Locale-independent number texts and the buffered output stream shared by the writers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "document/record.h"

namespace gef {

constexpr std::size_t kCoreSize = 2048; // holds the widest number text before zero padding

// The text of one number without its width padding. Precisions beyond what a double can show
// add zeros: `zeros` of them belong at position `zeros_at` of `text`.
struct NumberText {
  char text[kCoreSize];
  std::size_t length = 0;
  std::size_t zeros = 0;
  std::size_t zeros_at = 0;
  std::size_t size() const { return length + zeros; }
};

// Formats `value` as printf does in the C locale, but without the field width.
void format_core(const NumberFormat& format, double value, NumberText& out);

// The shortest text that reads back as `value` (general form, `fixed` for plain decimals).
std::string shortest_text(double value, bool fixed = false);
// The same for a single-precision value.
std::string shortest_text(float value);

// Formats as printf does, width included; mostly for tests and short header numbers.
std::string format_number(const NumberFormat& format, double value);

// Writes through a large buffer to a C stream and remembers any failure. Line ends are CR LF
// unless the stream carries binary data.
class Output {
public:
  Output(std::FILE* file, bool crlf) : file_(file), crlf_(crlf) {}
  ~Output() { flush(); }
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  void put(const char* bytes, std::size_t n);
  void put(const std::string& text) { put(text.data(), text.size()); }
  void put(char c) {
    if (used_ == kBufferSize) flush();
    buffer_[used_++] = c;
  }
  void fill(char c, std::size_t n);
  void end_line() {
    if (crlf_) put('\r');
    put('\n');
  }
  // The number padded with blanks to `width`.
  void put_number(int width, const NumberText& text) {
    const std::size_t pad = std::size_t(width) > text.size() ? std::size_t(width) - text.size() : 0;
    if (text.zeros != 0 || used_ + pad + text.length > kBufferSize)
      return put_number_slowly(pad, text);
    for (std::size_t i = 0; i < pad; ++i) buffer_[used_ + i] = ' '; // a few blanks: no memset
    std::memcpy(buffer_ + used_ + pad, text.text, text.length);
    used_ += pad + text.length;
  }
  void put_unpadded(const NumberText& text);
  // At least `n` bytes (at most the buffer's size) to write into at the end of the buffer, which
  // `advance` then takes.
  char* room(std::size_t n) {
    if (used_ + n > kBufferSize) flush();
    return buffer_ + used_;
  }
  void advance(std::size_t n) { used_ += n; }
  bool flush();
  bool failed() const { return failed_; }

private:
  void put_number_slowly(std::size_t pad, const NumberText& text);
  static constexpr std::size_t kBufferSize = 1 << 15;
  std::FILE* file_;
  bool crlf_;
  bool failed_ = false;
  std::size_t used_ = 0;
  char buffer_[kBufferSize];
};

} // namespace gef
