// 64-bit file positioning and whole-rest reading for the readers.
#include "reader/file_io.h"

#include <new>

#if !defined(_WIN32)
#include <sys/types.h>
#endif

namespace gef {

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

bool read_rest(std::FILE* file, std::vector<char>& out) {
  constexpr std::size_t kChunk = 1 << 16;
  try {
    for (;;) {
      const std::size_t old = out.size();
      out.resize(old + kChunk);
      const std::size_t got = std::fread(out.data() + old, 1, kChunk, file);
      out.resize(old + got);
      if (got < kChunk) return std::ferror(file) == 0;
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
}

} // namespace gef
