// SPDX-License-Identifier: MIT
// Text-to-number conversions with the C library's meaning, independent of the current locale.
#pragma once

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

} // namespace gef
