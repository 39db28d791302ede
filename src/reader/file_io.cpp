// SPDX-License-Identifier: MIT
// 64-bit file positioning and whole-rest reading for the readers.
#include "reader/file_io.h"

#include <cstring>
#include <new>
#include <utility>

#if !defined(_WIN32)
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
  if (position < 0 || fseeko(file, 0, SEEK_END) != 0) return false;
  end = std::int64_t(ftello(file));
#endif
  return end >= 0 && seek_file(file, position);
}

bool read_rest(std::FILE* file, FileRest& out) {
  // With the size known one read fills the buffer; one spare byte shows whether the file grew
  // meanwhile, in which case the buffer doubles until the end is found.
  std::int64_t position = 0, end = 0;
  std::size_t capacity = std::size_t(1) << 16;
  if (position_and_end(file, position, end) && end >= position)
    capacity = std::size_t(end - position) + 1;
  out.size = 0;
  out.bytes.reset(new (std::nothrow) char[capacity]);
  if (!out.bytes) return false;
  prefer_large_pages(out.bytes.get(), capacity);
  for (;;) {
    out.size += std::fread(out.bytes.get() + out.size, 1, capacity - out.size, file);
    if (out.size < capacity) return std::ferror(file) == 0;
    std::unique_ptr<char[]> bigger(new (std::nothrow) char[capacity * 2]);
    if (!bigger) return false;
    std::memcpy(bigger.get(), out.bytes.get(), out.size);
    out.bytes = std::move(bigger);
    capacity *= 2;
  }
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
