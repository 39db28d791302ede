// SPDX-License-Identifier: MIT
// The generic setter behind every exported set_ function.
#pragma once

#include <initializer_list>

namespace gef {

// The test a setter makes before it hands its fields to the keyword store.
enum class SetterCheck { NONE, GEFID, COLUMN, SCANS, DATACONVERSION };

// Stores keyword `code` in the current document with typed field arguments (GETAL mode) after
// the setter's own check. Returns the store's result, or 0 when there is no document or the
// check refused the values.
int set_keyword(int code, SetterCheck check, std::initializer_list<const void*> args);

} // namespace gef
