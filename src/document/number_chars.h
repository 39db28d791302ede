// SPDX-License-Identifier: MIT
// The one place where the library turns floating-point numbers into text and back.
//
// Where the standard library has floating-point std::from_chars and std::to_chars they are used
// as they are. Where it has not (the WebAssembly build's libc++), parsing goes through the
// fast_float header library, the algorithm GCC's from_chars is built on, and formatting through
// snprintf, whose libc there is always in the C locale; both give the same digits, so every
// platform reads and writes the same bytes.
#pragma once

#include <charconv>
#include <system_error>
#include <type_traits>

#if defined(__cpp_lib_to_chars)
#define GEF_STD_FLOAT_CHARS 1
#else
#define GEF_STD_FLOAT_CHARS 0
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fast_float/fast_float.h>
#include <string>
#endif

namespace gef {

#if GEF_STD_FLOAT_CHARS

using std::from_chars;
using std::to_chars;

#else

using std::to_chars; // the integer overloads exist everywhere

namespace number_chars {

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

// As GCC's from_chars: a value that overflows, or a non-zero mantissa that underflows to zero,
// is out of range.
inline bool out_of_range(const char* first, const char* last, double value) {
  if (std::isinf(value))
    return !(first < last && (*first == 'i' || *first == 'I')) &&
           !(last - first > 1 && *first == '-' && (first[1] == 'i' || first[1] == 'I'));
  if (value != 0) return false;
  for (const char* p = first; p < last && *p != 'e' && *p != 'E'; ++p)
    if (*p >= '1' && *p <= '9') return true;
  return false;
}

// Hexadecimal texts have no "0x" prefix here; strtod reads them once the prefix is added.
template <typename T>
std::from_chars_result from_hex(const char* first, const char* last, T& value) {
  const char* p = first;
  if (p < last && *p == '-') ++p;
  if (p == last || !(std::isxdigit(static_cast<unsigned char>(*p)) || *p == '.'))
    return {first, std::errc::invalid_argument};
  std::string text(first, p);
  text.append("0x").append(p, last);
  char* end = nullptr;
  errno = 0;
  const T v = std::is_same_v<T, float> ? T(std::strtof(text.c_str(), &end))
                                       : T(std::strtod(text.c_str(), &end));
  const std::ptrdiff_t used = end - text.c_str() - 2;
  if (used <= p - first) return {first, std::errc::invalid_argument};
  value = v;
  return {first + used, errno == ERANGE ? std::errc::result_out_of_range : std::errc()};
}

// The common case of shortest_scientific without printf: a value that some decimal of at most
// 15 digits reads back as. The nearest integer to value x 10^s is the nearest decimal of that many
// digits, and a wrong neighbour there could only come from a near tie, which never reads back;
// so the first count of digits whose candidate reads back gives what std::to_chars gives. Empty
// when the value needs the full search.
template <typename T> std::string shortest_by_scaling(T value) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  const double v = std::fabs(double(value));
  if (!(v >= 1e-7 && v < 1e15)) return {};
  const int e10 = int(std::floor(std::log10(v)));
  for (int count = 1; count <= 15; ++count) {
    const int s = count - 1 - e10;
    if (s > 22 || s < -22) return {};
    const double m = std::nearbyint(s >= 0 ? v * kPowers[s] : v / kPowers[-s]);
    if (m < 1 || m >= 1e15) continue;
    char text[48];
    char* end = text;
    if (value < 0) *end++ = '-';
    end = std::to_chars(end, text + sizeof text, static_cast<long long>(m)).ptr;
    *end++ = 'e';
    end = std::to_chars(end, text + sizeof text, -s).ptr;
    T back{};
    fast_float::from_chars(text, end, back);
    if (back != value) continue;
    // As %e: one digit, the point, the rest, and the exponent with at least two digits.
    const char* digits = text + (value < 0 ? 1 : 0);
    const int length = int(std::strchr(digits, 'e') - digits);
    std::string out(value < 0 ? "-" : "");
    out += digits[0];
    if (length > 1) out.append(".").append(digits + 1, std::size_t(length - 1));
    const int exponent = length - 1 - s;
    char tail[16];
    std::snprintf(tail, sizeof tail, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return out + tail;
  }
  return {};
}

// The digits of the shortest text that reads back as `value`, as %e writes them. One call of
// snprintf gives 40 digits, enough that rounding them again lands where rounding the exact value
// would; each shorter candidate is then checked by reading it back.
template <typename T> std::string shortest_scientific(T value) {
  if (std::string quick = shortest_by_scaling(value); !quick.empty()) return quick;
  constexpr int kMaxDigits = std::is_same_v<T, float> ? 9 : 17;
  char wide[64];
  std::snprintf(wide, sizeof wide, "%.39e", double(value));
  const bool negative = wide[0] == '-';
  const char* mantissa = wide + (negative ? 1 : 0);
  int exponent = std::atoi(std::strchr(wide, 'e') + 1);
  char digits[41];
  int n = 0;
  for (const char* p = mantissa; *p != 'e'; ++p)
    if (is_digit(*p)) digits[n++] = *p;
  char text[64];
  for (int count = 1; count <= kMaxDigits; ++count) {
    // digits[0 .. count) rounded half to even by the digits after them.
    char kept[41];
    std::memcpy(kept, digits, std::size_t(count));
    int e = exponent;
    const char next = digits[count];
    bool rest = false;
    for (int k = count + 1; k < n; ++k) rest = rest || digits[k] != '0';
    if (next > '5' || (next == '5' && (rest || (kept[count - 1] - '0') % 2 == 1))) {
      int k = count - 1;
      while (k >= 0 && kept[k] == '9') kept[k--] = '0';
      if (k >= 0) {
        ++kept[k];
      } else {
        kept[0] = '1';
        ++e;
      }
    }
    int length = 0;
    if (negative) text[length++] = '-';
    text[length++] = kept[0];
    if (count > 1) {
      text[length++] = '.';
      std::memcpy(text + length, kept + 1, std::size_t(count - 1));
      length += count - 1;
    }
    length += std::snprintf(text + length, sizeof text - std::size_t(length), "e%c%02d",
                            e < 0 ? '-' : '+', e < 0 ? -e : e);
    T back{};
    fast_float::from_chars(text, text + length, back);
    if (back == value) return text;
  }
  return text;
}

// The shortest round-trip text, in fixed or scientific notation as std::to_chars chooses
// (the shorter, fixed on a tie) or as `format` demands.
template <typename T>
std::to_chars_result shortest(char* first, char* last, T value, std::chars_format format) {
  std::string out;
  if (std::isnan(value)) {
    out = std::signbit(value) ? "-nan" : "nan";
  } else if (std::isinf(value)) {
    out = value < 0 ? "-inf" : "inf";
  } else {
    const std::string sci = shortest_scientific(value);
    const bool negative = sci[0] == '-';
    const std::size_t e = sci.find('e');
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < e; ++i)
      if (is_digit(sci[i])) digits += sci[i];
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const int exponent = std::atoi(sci.c_str() + e + 1);
    std::string scientific = negative ? "-" : "";
    scientific += digits[0];
    if (digits.size() > 1) scientific.append(".").append(digits, 1, std::string::npos);
    char tail[16];
    std::snprintf(tail, sizeof tail, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    scientific += tail;
    std::string fixed = negative ? "-" : "";
    const int whole = exponent + 1;
    if (whole <= 0) {
      fixed.append("0.").append(std::size_t(-whole), '0').append(digits);
    } else if (std::size_t(whole) >= digits.size()) {
      fixed.append(digits).append(std::size_t(whole) - digits.size(), '0');
    } else {
      fixed.append(digits, 0, std::size_t(whole))
          .append(".")
          .append(digits, std::size_t(whole), std::string::npos);
    }
    if (format == std::chars_format::fixed)
      out = fixed;
    else if (format == std::chars_format::scientific)
      out = scientific;
    else
      out = fixed.size() <= scientific.size() ? fixed : scientific;
  }
  if (out.size() > std::size_t(last - first)) return {last, std::errc::value_too_large};
  std::memcpy(first, out.data(), out.size());
  return {first + out.size(), std::errc()};
}

} // namespace number_chars

template <typename T, typename = std::enable_if_t<std::is_floating_point_v<T>>>
std::from_chars_result from_chars(const char* first, const char* last, T& value,
                                  std::chars_format format = std::chars_format::general) {
  if (format == std::chars_format::hex) return number_chars::from_hex(first, last, value);
  T result{};
  const auto r = fast_float::from_chars(
      first, last, result,
      format == std::chars_format::fixed        ? fast_float::chars_format::fixed
      : format == std::chars_format::scientific ? fast_float::chars_format::scientific
                                                : fast_float::chars_format::general);
  if (r.ec != std::errc()) return {r.ptr, r.ec};
  value = result;
  if (number_chars::out_of_range(first, r.ptr, double(result)))
    return {r.ptr, std::errc::result_out_of_range};
  return {r.ptr, std::errc()};
}

template <typename T, typename = std::enable_if_t<std::is_floating_point_v<T>>>
std::to_chars_result to_chars(char* first, char* last, T value) {
  return number_chars::shortest(first, last, value, std::chars_format::general);
}

template <typename T, typename = std::enable_if_t<std::is_floating_point_v<T>>>
std::to_chars_result to_chars(char* first, char* last, T value, std::chars_format format) {
  return number_chars::shortest(first, last, value, format);
}

// As printf's %.*f, %.*e and %.*g.
inline std::to_chars_result to_chars(char* first, char* last, double value,
                                     std::chars_format format, int precision) {
  const char* pattern = format == std::chars_format::fixed        ? "%.*f"
                        : format == std::chars_format::scientific ? "%.*e"
                                                                  : "%.*g";
  const int n = std::snprintf(first, std::size_t(last - first), pattern, precision, value);
  if (n < 0 || n >= last - first) return {last, std::errc::value_too_large};
  return {first + n, std::errc()};
}

#endif

} // namespace gef
