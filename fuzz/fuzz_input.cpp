// SPDX-License-Identifier: MIT
// Hands fuzz input to read_gef: through the reader's memory seam when built with it, else a file.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "targets.h"

#include <gef/gef.h>

#if defined(GEF_INPUT_SEAM)
#include "borecodes/code_table.h"
#include "document/record.h"
#include "reader/file_io.h"
#endif

namespace gef_fuzz {

const char* scratch_folder() {
  static std::string folder;
  if (folder.empty()) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/gef_fuzz_XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    folder = pattern;
    // The folder goes when the process ends normally; a crash leaves it for inspection.
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(folder, ignored);
    });
  }
  return folder.c_str();
}

const char* input_path(const std::uint8_t* data, std::size_t size) {
#if defined(GEF_INPUT_SEAM)
  // The seam wants a non-null pointer even for an empty input.
  static const std::uint8_t empty = 0;
  gef::set_memory_input(size != 0 ? data : &empty, size);
  return "fuzz-input.gef";
#else
  static const std::string path = std::string(scratch_folder()) + "/input.gef";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size != 0) std::fwrite(data, 1, size, file);
  std::fclose(file);
  return path.c_str();
#endif
}

void input_done() {
#if defined(GEF_INPUT_SEAM)
  gef::set_memory_input(nullptr, 0);
#endif
}

void end_document() {
#if defined(GEF_INPUT_SEAM)
  gef::Document& doc = gef::document();
  if (gef::current() == nullptr) return;
  gef::clear_entries(doc, true);
  gef::release_data(doc);
  gef::library().column_texts.clear();
  gef::library().column_texts.shrink_to_fit();
  // The error list stays too: the next read empties it.
  gef::release_code_holder();
  gef::library().current = nullptr;
#else
  free_gef();
#endif
}

} // namespace gef_fuzz
