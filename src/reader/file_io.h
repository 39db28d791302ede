// SPDX-License-Identifier: MIT
// 64-bit file positioning and whole-rest reading for the readers, on Windows and POSIX alike.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "document/record.h"

namespace gef {

// Opens `filename` for binary reading; nullptr when it cannot be opened.
std::FILE* open_input(const char* filename);

#if defined(GEF_INPUT_SEAM)
// Fuzzing builds only: while `bytes` is set, open_input reads them instead of any named file.
void set_memory_input(const void* bytes, std::size_t size);
#endif

// Moves `file` to byte `offset` from its start; false when that fails.
bool seek_file(std::FILE* file, std::int64_t offset);

// Sets `position` to the current offset of `file` and `end` to its size, leaving the file where
// it was; false when either cannot be found.
bool position_and_end(std::FILE* file, std::int64_t& position, std::int64_t& end);

// Reads every byte from the current position to the end of `file` into `scratch.bytes`, setting
// `scratch.size`; the allocation is reused when it has room. False on a read error or when memory
// runs out.
bool read_rest(std::FILE* file, ReadScratch& scratch);

// Gives back what the scratch holds beyond the size of a typical file, so that one large file
// does not keep its memory for the rest of the session.
void trim_scratch(ReadScratch& scratch);

// Asks the system to back the fresh, not yet touched block at `bytes` (`size` bytes) with large
// pages where it can. The first touch of fresh memory costs one page fault per page, which on
// virtual machines outweighs parsing a large data block; with large pages a few hundred faults
// become one. Does nothing where large pages are not offered or the block is small.
void prefer_large_pages(void* bytes, std::size_t size);

} // namespace gef
