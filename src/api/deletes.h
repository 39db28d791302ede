// SPDX-License-Identifier: MIT
// The generic delete behind every exported del_ function.
#pragma once

#include "document/record.h"

namespace gef {

// Number passed when a delete has no argument.
constexpr int kWholeKeyword = 0;

// Removes the occurrence of keyword `name` (looked up as the keyword store does) that `number`
// designates. Returns 0 when the name is no keyword (error 4), 1 otherwise, also when nothing
// was removed.
int delete_keyword(Document& doc, const char* name, int number);

// The same for a known keyword code.
int delete_keyword(Document& doc, int code, int number);

// Releases every text of an entry of keyword `code` and clears its fields, presence count and
// field-presence bits, whether or not they were given.
void clear_entry(Entry& e, int code);

} // namespace gef
