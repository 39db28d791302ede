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
