// SPDX-License-Identifier: MIT
// An entry of the record as comparable text, for tests that compare what two paths stored.
#pragma once

#include <iomanip>
#include <sstream>
#include <string>

#include "document/record.h"

namespace gef::test {

// Presence, bits and every field of keyword `code` by its type, numbers to full precision.
inline std::string entry_text(int code, const Entry& e) {
  std::ostringstream out;
  out << std::setprecision(17) << e.present << '/' << int(e.bits);
  for (int k = 0; k < keyword_info(code).field_count; ++k) {
    out << '|';
    switch (field_info(code, k).type) {
    case FieldType::INT: out << e.field[k].i; break;
    case FieldType::FLOAT: out << e.field[k].f; break;
    case FieldType::DOUBLE: out << e.field[k].d; break;
    case FieldType::CHAR: out << int(e.field[k].c); break;
    case FieldType::TEXT: out << (e.field[k].s != nullptr ? e.field[k].s : "<null>"); break;
    }
  }
  return out.str();
}

} // namespace gef::test
