// SPDX-License-Identifier: MIT
// Names of the error codes, expanded from the error table; the numbers are the library's ABI.
#pragma once

namespace gef {

// One name per code: the rows of a code's further templates (variants 2 and 3) add none.
#define GEF_ERROR_NAME_0(Code, NAME) ERR_##NAME = Code,
#define GEF_ERROR_NAME_1(Code, NAME) ERR_##NAME = Code,
#define GEF_ERROR_NAME_2(Code, NAME)
#define GEF_ERROR_NAME_3(Code, NAME)
enum ErrorCode : int {
#define GEF_ERROR(Code, NAME, Variant, Text, Args) GEF_ERROR_NAME_##Variant(Code, NAME)
#include "diagnostics/errors.def"
};
#undef GEF_ERROR_NAME_0
#undef GEF_ERROR_NAME_1
#undef GEF_ERROR_NAME_2
#undef GEF_ERROR_NAME_3

} // namespace gef
