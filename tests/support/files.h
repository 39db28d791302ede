// SPDX-License-Identifier: MIT
// Test helpers for files: a private folder per test, whole files as bytes, the shared corpus.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace gef::test {

inline std::string slurp_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// The real files of other producers; tests over them skip when the folder is absent.
inline std::filesystem::path corpus_dir() { return GEF_SOURCE_DIR "/../shared/corpus"; }

// Every file of the corpus but its catalogue, in sorted order; none when the corpus is absent.
inline std::vector<std::filesystem::path> corpus_files() {
  std::vector<std::filesystem::path> files;
  if (!std::filesystem::is_directory(corpus_dir())) return files;
  for (const auto& item : std::filesystem::recursive_directory_iterator(corpus_dir()))
    if (item.is_regular_file() && item.path().extension() != ".tsv") files.push_back(item.path());
  std::sort(files.begin(), files.end());
  return files;
}

// A folder of the running test's own, removed with the object. Test processes of several
// builds run at once, so the name carries the test's name and the process id.
class ScratchDir {
public:
  ScratchDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
#ifdef _WIN32
    const int pid = _getpid();
#else
    const int pid = int(getpid());
#endif
    path_ =
        std::filesystem::temp_directory_path() / ("gef_" + std::string(info->test_suite_name()) +
                                                  "_" + info->name() + "_" + std::to_string(pid));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  // Writes `bytes` to a file of the folder and returns its path.
  std::string write(const std::string& name, const std::string& bytes) const {
    const std::string at = file(name);
    std::FILE* f = std::fopen(at.c_str(), "wb");
    EXPECT_NE(f, nullptr) << at;
    if (f == nullptr) return at;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return at;
  }

private:
  std::filesystem::path path_;
};

} // namespace gef::test
