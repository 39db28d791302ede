// The shared corpus of real files from other producers, for tests that skip without it.
#pragma once

#include <algorithm>
#include <filesystem>
#include <vector>

namespace gef::test {

inline std::filesystem::path corpus_root() { return GEF_SOURCE_DIR "/../shared/corpus"; }

// Every file of the corpus but its catalogue, in sorted order; none when the corpus is absent.
inline std::vector<std::filesystem::path> corpus_files() {
  std::vector<std::filesystem::path> files;
  if (!std::filesystem::is_directory(corpus_root())) return files;
  for (const auto& item : std::filesystem::recursive_directory_iterator(corpus_root()))
    if (item.is_regular_file() && item.path().extension() != ".tsv") files.push_back(item.path());
  std::sort(files.begin(), files.end());
  return files;
}

} // namespace gef::test
