// SPDX-License-Identifier: MIT
// geftool dif: the data block of a GEF file as a DIF table for spreadsheet programs.
#pragma once

#include <string>

namespace geftool {

// Reads `input` and writes its data block to `output` as DIF. Returns 0, or 2 when the input is
// unreadable or the output not writable.
int run_dif(const std::string& input, const std::string& output);

} // namespace geftool
