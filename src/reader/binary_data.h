// SPDX-License-Identifier: MIT
// Pieces of the binary data block reader that are worth checking on their own.
#pragma once

#include <cstdint>

#include "document/record.h"

namespace gef {

// Element types a binary data block can hold; UNKNOWN occupies 4 bytes and is not converted.
enum class ElementType { INT2, INT4, REAL4, REAL8, UNKNOWN };

// The element type named by DATATYPE field 1 (any case); UNKNOWN for another name or none.
ElementType element_type(Document& doc);

// Bytes per element of `type`.
int element_size(ElementType type);

// True when the file's elements are big-endian: OS is present and names neither DOS nor LE.
bool file_is_big_endian(Document& doc);

// Reverses the bytes of each of `count` elements of `size` bytes at `bytes`.
void swap_element_bytes(unsigned char* bytes, int size, std::int64_t count);

} // namespace gef
