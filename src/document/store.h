// SPDX-License-Identifier: MIT
// The keyword store: the one operation through which every keyword occurrence enters a document.
#pragma once

#include <string_view>

#include "document/record.h"

namespace gef {

// Field arguments of one occurrence: up to nine, null where the occurrence has no such field.
// In STRING mode each is a `const char*` text; in GETAL mode each points at a value of the
// field's own type (int32_t, float, double or char), and a text field is the text itself.
using FieldArgs = const void* const*;

// Stores one occurrence of keyword `name`. Returns 0 when `name` is no keyword (reported as
// error 4), 1 otherwise, also when the occurrence was refused; what went wrong is in the error
// list. `args` must hold nine elements.
int store_keyword(Document& doc, const char* name, FieldArgs args);

// The same for a known keyword code; `name` is the name as given, used in messages.
int store_keyword(Document& doc, int code, const char* name, FieldArgs args);

// Sets the input mode from "GETAL" or "STRING" (any case); any other text changes nothing.
void set_input_mode(Document& doc, const char* mode);

// Switches the input mode for a scope and restores the previous mode at its end.
class InputModeScope {
public:
  InputModeScope(Document& doc, InputMode mode) : doc_(doc), saved_(doc.input_mode) {
    doc.input_mode = mode;
  }
  ~InputModeScope() { doc_.input_mode = saved_; }
  InputModeScope(const InputModeScope&) = delete;
  InputModeScope& operator=(const InputModeScope&) = delete;

private:
  Document& doc_;
  std::int32_t saved_;
};

// Whether a REPORTDATAFORMAT field has the shape of a number format: E, F, G or I in either
// case, an optional width, and an optional "." with a precision.
bool valid_format_field(std::string_view field);

// Copies a text into a new allocation released with std::free; null when memory runs out.
char* copy_text(const char* text);

// The document's GEFID as one number, release * 10000 + version * 100 + update, the way the
// rules that depend on it read it: producers write updates of 1.1 (such as 1.1.2) for files of
// the 1.1.0 format, so those count as 1.1.0.
std::int64_t gefid_version(const Document& doc);

} // namespace gef
