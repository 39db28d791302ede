// 64-bit file positioning and whole-rest reading for the readers, on Windows and POSIX alike.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

namespace gef {

// Moves `file` to byte `offset` from its start; false when that fails.
bool seek_file(std::FILE* file, std::int64_t offset);

// Sets `position` to the current offset of `file` and `end` to its size, leaving the file where
// it was; false when either cannot be found.
bool position_and_end(std::FILE* file, std::int64_t& position, std::int64_t& end);

// Appends every byte from the current position to the end of `file` to `out`; false on a
// read error or when memory runs out.
bool read_rest(std::FILE* file, std::vector<char>& out);

} // namespace gef
