// SPDX-License-Identifier: MIT
// 64-bit file positioning and whole-rest reading for the readers.
#include "reader/file_io.h"

#include <cstring>
#include <new>
#include <utility>

#if !defined(_WIN32)
#include <sys/stat.h>
#include <sys/types.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace gef {

#if defined(GEF_INPUT_SEAM)
namespace {
const void* g_memory_input = nullptr;
std::size_t g_memory_input_size = 0;
} // namespace

void set_memory_input(const void* bytes, std::size_t size) {
  g_memory_input = bytes;
  g_memory_input_size = size;
}
#endif

std::FILE* open_input(const char* filename) {
#if defined(GEF_INPUT_SEAM)
  // A memory stream spares the fuzzer a file per input; an empty input stands for an empty file.
  if (g_memory_input != nullptr) {
    if (g_memory_input_size == 0) return std::fopen("/dev/null", "rb");
    return fmemopen(const_cast<void*>(g_memory_input), g_memory_input_size, "rb");
  }
#endif
  return std::fopen(filename, "rb");
}

bool seek_file(std::FILE* file, std::int64_t offset) {
  // `long` is 32 bits on Windows, so plain fseek cannot reach past 2 GB there.
#if defined(_WIN32)
  return _fseeki64(file, offset, SEEK_SET) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

bool position_and_end(std::FILE* file, std::int64_t& position, std::int64_t& end) {
#if defined(_WIN32)
  position = _ftelli64(file);
  if (position < 0 || _fseeki64(file, 0, SEEK_END) != 0) return false;
  end = _ftelli64(file);
#else
  position = std::int64_t(ftello(file));
  // A regular file's size is known without moving through it, which would cost three system
  // calls and two reads.
  struct stat status;
  const int descriptor = fileno(file);
  if (position >= 0 && descriptor >= 0 && fstat(descriptor, &status) == 0 &&
      S_ISREG(status.st_mode)) {
    end = std::int64_t(status.st_size);
    return true;
  }
  if (position < 0 || fseeko(file, 0, SEEK_END) != 0) return false;
  end = std::int64_t(ftello(file));
#endif
  return end >= 0 && seek_file(file, position);
}

namespace {

// Scratch kept between files up to this size; a CPT file rarely holds a tenth of it.
constexpr std::size_t kKeptScratch = std::size_t(8) << 20;
// The least the scratch allocates. Pages are only backed once touched, so room to spare costs
// nothing, while growing file by file would touch fresh pages each time a larger file comes.
constexpr std::size_t kLeastScratch = std::size_t(1) << 20;

// Makes room for `room` bytes, keeping the first `kept`; false when memory runs out.
bool make_room(ReadScratch& scratch, std::size_t room, std::size_t kept) {
  if (scratch.room >= room) return true;
  if (room < kLeastScratch) room = kLeastScratch;
  std::unique_ptr<char[]> bigger(new (std::nothrow) char[room]);
  if (!bigger) return false;
  prefer_large_pages(bigger.get(), room);
  if (kept > 0) std::memcpy(bigger.get(), scratch.bytes.get(), kept);
  scratch.bytes = std::move(bigger);
  scratch.room = room;
  return true;
}

} // namespace

bool read_rest(std::FILE* file, ReadScratch& scratch) {
  // With the size known one read fills the buffer; one spare byte shows whether the file grew
  // meanwhile, in which case the buffer doubles until the end is found.
  std::int64_t position = 0, end = 0;
  std::size_t wanted = std::size_t(1) << 16;
  if (position_and_end(file, position, end) && end >= position)
    wanted = std::size_t(end - position) + 1;
  scratch.size = 0;
  if (!make_room(scratch, wanted, 0)) return false;
  for (;;) {
    scratch.size +=
        std::fread(scratch.bytes.get() + scratch.size, 1, scratch.room - scratch.size, file);
    if (scratch.size < scratch.room) return std::ferror(file) == 0;
    if (!make_room(scratch, scratch.room * 2, scratch.size)) return false;
  }
}

void trim_scratch(ReadScratch& scratch) {
  if (scratch.room > kKeptScratch) {
    scratch.bytes.reset();
    scratch.room = 0;
  }
  scratch.size = 0;
}

void prefer_large_pages(void* bytes, std::size_t size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  // Only whole large pages inside the block can be backed so; the advice is a hint, and a
  // refusal changes nothing but the speed.
  constexpr std::uintptr_t kLarge = std::uintptr_t(2) << 20;
  const std::uintptr_t from =
      (reinterpret_cast<std::uintptr_t>(bytes) + kLarge - 1) & ~(kLarge - 1);
  const std::uintptr_t to = (reinterpret_cast<std::uintptr_t>(bytes) + size) & ~(kLarge - 1);
  if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#else
  (void)bytes;
  (void)size;
#endif
}

} // namespace gef
