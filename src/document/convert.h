// SPDX-License-Identifier: MIT
// Text-to-number conversions with the C library's meaning, independent of the current locale.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gef {

// As atoi: leading white space, optional sign, decimal digits up to the first other character;
// no digits give 0. Values beyond the 32-bit range saturate instead of being undefined.
std::int32_t text_to_int(const char* text);

// As sscanf with "%f": leading white space, then a floating-point number as strtod reads it.
// `matched` tells whether a number was found; when not, the result is 0.
float text_to_float(const char* text, bool* matched = nullptr);

// As atof (strtod without an end pointer): no number gives 0.
double text_to_double(const char* text);

// Reads a double as strtod does from [begin, end): returns the end of the number, or `begin`
// when there is none. Handles decimal, exponent, inf, nan and hexadecimal forms.
const char* parse_double(const char* begin, const char* end, double* value);

// Powers of ten that doubles hold exactly.
inline constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The digits from `p` on, added to `significand`; returns the first byte that is not a digit.
inline const char* add_digits(const char* p, const char* end, std::uint64_t& significand) {
  for (unsigned d; p < end && (d = unsigned(static_cast<unsigned char>(*p)) - '0') < 10; ++p)
    significand = significand * 10 + d;
  return p;
}

// Plain decimals such as "12.345" or "1.2e-3" (no sign), the bulk of every data block, read
// without the general parser. With a significand of at most 2^53 and a power of ten up to 1e22,
// both are exact doubles and one multiplication or division rounds correctly, just as the full
// conversion does. Returns null when the text needs the general parser: more than 19 digits, a
// larger exponent, hexadecimal, no digits, an exponent without digits, or a number that goes on.
//
// One pass over the digits without bookkeeping per digit: GEF values are short, so the branches
// at a number's end cost more than the digits, and byte-wise loops beat wider steps here.
inline const char* parse_plain_decimal(const char* p, const char* end, double* value) {
  std::uint64_t significand = 0;
  const char* q = add_digits(p, end, significand);
  std::ptrdiff_t digits = q - p;
  int exponent = 0;
  if (q < end && *q == '.') {
    const char* fraction = ++q;
    q = add_digits(q, end, significand);
    exponent = -int(q - fraction);
    digits -= exponent;
  }
  if (digits == 0 || digits > 19) return nullptr; // 19 digits still fit 64 bits
  if (q < end && (*q | 0x20) == 'e') {
    const char* e = q + 1;
    const bool minus = e < end && *e == '-';
    if (e < end && (*e == '+' || *e == '-')) ++e;
    int written = 0, n = 0;
    for (; e < end && unsigned(*e - '0') < 10 && n < 4; ++e, ++n)
      written = written * 10 + (*e - '0');
    if (n == 0 || (e < end && unsigned(*e - '0') < 10)) return nullptr;
    exponent += minus ? -written : written;
    q = e;
  }
  // A point, an exponent or an x after the number makes the general parser read more or less.
  if (q < end && (*q == '.' || (*q | 0x20) == 'e' || (*q | 0x20) == 'x')) return nullptr;
  if (significand > (std::uint64_t(1) << 53) || exponent < -22 || exponent > 22) return nullptr;
  *value = exponent < 0 ? double(significand) / kExactPowersOfTen[-exponent]
                        : double(significand) * kExactPowersOfTen[exponent];
  return q;
}

// parse_double for text that starts with the number itself, no white space before it: a plain
// decimal is read here, anything else by parse_double.
inline const char* parse_number(const char* p, const char* end, double* value) {
  const bool minus = p < end && *p == '-';
  const char* digits = p + (p < end && (minus || *p == '+'));
  double plain = 0;
  if (const char* after = parse_plain_decimal(digits, end, &plain)) {
    *value = minus ? -plain : plain;
    return after;
  }
  return parse_double(p, end, value);
}

} // namespace gef
