// SPDX-License-Identifier: MIT
// Locale-independent number conversions that read text the way the C library does.
#include "document/convert.h"
#include "document/number_chars.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>

namespace gef {
namespace {

bool is_c_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

const char* skip_space(const char* p, const char* end) {
  while (p < end && is_c_space(*p)) ++p;
  return p;
}

bool is_hex_start(const char* p, const char* end) {
  return end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
}

// A number too large or too small for T: as strtod, overflow gives infinity and underflow zero
// or a denormal. A float is read as a double first, which keeps this locale-independent.
template <typename T> T out_of_range(const char* begin, const char* end) {
  if constexpr (std::is_same_v<T, float>) {
    double wide = 0;
    const bool hex = is_hex_start(begin, end);
    auto r = from_chars(begin + (hex ? 2 : 0), end, wide,
                        hex ? std::chars_format::hex : std::chars_format::general);
    if (r.ec == std::errc()) return static_cast<float>(wide);
  }
  std::string copy(begin, end);
  return static_cast<T>(std::strtod(copy.c_str(), nullptr));
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Appends the digits from `p` to `digits`, counting them in `count`; stops after 19 digits,
// which still fit 64 bits. GEF values are short: a byte at a time beats eight-byte steps here.
const char* read_digits(const char* p, const char* end, std::uint64_t& digits, int& count) {
  for (; p < end && is_digit(*p) && count < 19; ++p, ++count) digits = digits * 10 + (*p - '0');
  return p;
}

// Plain decimals such as "12.345" or "1.2e-3", the bulk of every data block, read without the
// general parser. With a significand below 2^53 and a power of ten up to 1e22, both are exact
// doubles and one multiplication or division rounds correctly, just as the full conversion does.
// Returns null when the text needs the general parser (more digits, a larger exponent,
// hexadecimal, no digits, an exponent without digits).
const char* parse_plain_decimal(const char* p, const char* end, double* value) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  const char* const start = p;
  while (p < end && *p == '0') ++p; // leading zeros add no significant digit
  bool any = p != start;
  std::uint64_t digits = 0;
  int count = 0, exponent = 0;
  const char* q = read_digits(p, end, digits, count);
  any |= q != p;
  p = q;
  if (p < end && is_digit(*p)) return nullptr;
  if (p < end && *p == '.') {
    q = ++p;
    if (count == 0)
      while (q < end && *q == '0') ++q; // zeros after the point before the first digit
    const int skipped = int(q - p);
    const char* after = read_digits(q, end, digits, count);
    exponent = -int(after - q) - skipped;
    any |= after != p;
    p = after;
    if (p < end && is_digit(*p)) return nullptr;
  }
  if (!any) return nullptr;
  if (p < end && (*p == 'e' || *p == 'E')) {
    const char* e = p + 1;
    const bool minus = e < end && *e == '-';
    if (e < end && (*e == '+' || *e == '-')) ++e;
    int written = 0, n = 0;
    for (; e < end && is_digit(*e) && n < 4; ++e, ++n) written = written * 10 + (*e - '0');
    if (n == 0 || (e < end && is_digit(*e))) return nullptr;
    exponent += minus ? -written : written;
    p = e;
  }
  if (p < end && (*p == 'x' || *p == 'X' || *p == '.' || *p == 'e' || *p == 'E')) return nullptr;
  if (digits > (std::uint64_t(1) << 53) || exponent < -22 || exponent > 22) return nullptr;
  *value = exponent < 0 ? double(digits) / kPowers[-exponent] : double(digits) * kPowers[exponent];
  return p;
}

template <typename T> const char* parse_real(const char* begin, const char* end, T* value) {
  const char* p = skip_space(begin, end);
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  if (p < end && (*p == '+' || *p == '-')) return begin; // a second sign is not a number
  T result{};
  const char* stop = p;
  if constexpr (std::is_same_v<T, double>) {
    if (const char* after = parse_plain_decimal(p, end, &result)) {
      *value = negative ? -result : result;
      return after;
    }
  }
  if (is_hex_start(p, end)) {
    auto r = from_chars(p + 2, end, result, std::chars_format::hex);
    if (r.ec == std::errc() || r.ec == std::errc::result_out_of_range) {
      stop = r.ptr;
      if (r.ec != std::errc()) result = out_of_range<T>(p, r.ptr);
    } else {
      stop = p + 1; // "0x" without hex digits reads as the number 0
      result = 0;
    }
  } else {
    auto r = from_chars(p, end, result, std::chars_format::general);
    if (r.ec == std::errc()) {
      stop = r.ptr;
    } else if (r.ec == std::errc::result_out_of_range) {
      stop = r.ptr;
      result = out_of_range<T>(p, r.ptr);
    }
  }
  if (stop == p) return begin;
  *value = negative ? -result : result;
  return stop;
}

const char* end_of(const char* text) { return text + std::strlen(text); }

} // namespace

std::int32_t text_to_int(const char* text) {
  const char* end = end_of(text);
  const char* p = skip_space(text, end);
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  long long value = 0;
  for (; p < end && *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > 2147483648LL) value = 2147483648LL;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max())
    value = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

float text_to_float(const char* text, bool* matched) {
  float value = 0;
  const bool found = parse_real(text, end_of(text), &value) != text;
  if (matched != nullptr) *matched = found;
  return found ? value : 0.0f;
}

double text_to_double(const char* text) {
  double value = 0;
  return parse_double(text, end_of(text), &value) != text ? value : 0.0;
}

const char* parse_double(const char* begin, const char* end, double* value) {
  return parse_real(begin, end, value);
}

} // namespace gef
