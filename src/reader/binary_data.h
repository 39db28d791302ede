// SPDX-License-Identifier: MIT
// Pieces of the binary data block reader that are worth checking on their own.
#pragma once

#include <cstdint>

#include "document/record.h"

namespace gef {

// Element types a binary data block can hold; UNKNOWN occupies 4 bytes and is not converted.
enum class ElementType { INT2, INT4, REAL4, REAL8, UNKNOWN };

// The DATATYPE names of a binary data block, two for each element type, and its bytes: the one
// list the reader, the writer and the header rules take them from.
struct ElementTypeName {
  const char* name;
  ElementType type;
  int size;
};
inline constexpr ElementTypeName kElementTypes[] = {
    {"INT", ElementType::INT2, 2},     {"INT2", ElementType::INT2, 2},
    {"LONG", ElementType::INT4, 4},    {"INT4", ElementType::INT4, 4},
    {"FLOAT", ElementType::REAL4, 4},  {"REAL4", ElementType::REAL4, 4},
    {"DOUBLE", ElementType::REAL8, 8}, {"REAL8", ElementType::REAL8, 8},
};

// The element type of DATATYPE name `name` (any case); UNKNOWN for another name or null.
ElementType element_type_named(const char* name);

// The element type named by DATATYPE field 1 (any case); UNKNOWN for another name or none.
ElementType element_type(Document& doc);

// Bytes per element of `type`; 4 for UNKNOWN.
int element_size(ElementType type);

// True when the file's elements are big-endian: OS is present and names neither DOS nor LE.
bool file_is_big_endian(Document& doc);

// Reverses the bytes of each of `count` elements of `size` bytes at `bytes`.
void swap_element_bytes(unsigned char* bytes, int size, std::int64_t count);

} // namespace gef
