// SPDX-License-Identifier: MIT
// Writing beside the target and renaming over it, so that a failed write leaves the target as it
// was.
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#include "writer/writer.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace gef {
namespace {

namespace fs = std::filesystem;

std::FILE* open_new(const std::string& name) {
#ifdef _WIN32
  std::error_code ec;
  if (fs::exists(fs::path(name), ec)) return nullptr;
  return std::fopen(name.c_str(), "wb");
#else
  return std::fopen(name.c_str(), "wbx");
#endif
}

bool move_over(const std::string& from, const std::string& to) {
#ifdef _WIN32
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

} // namespace

bool TargetFile::open(const char* name) {
  abandon();
  target_ = name;
  scratch_.clear();
  keep_permissions_ = false;
  std::error_code ec;
  const fs::path path(target_);
  const fs::file_status status = fs::symlink_status(path, ec);
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    // Devices, pipes and links are written where they are.
    file_ = std::fopen(name, "wb");
    return file_ != nullptr;
  }
  if (fs::exists(status)) {
    // An existing file that may not be written stays as it is.
    std::FILE* probe = std::fopen(name, "ab");
    if (probe == nullptr) return false;
    std::fclose(probe);
    keep_permissions_ = true;
  }
  // A random part keeps concurrent writers apart; the exclusive open settles the rest.
  std::random_device random;
  const std::string folder = path.has_parent_path() ? path.parent_path().string() + "/" : "";
  const std::string base = path.filename().string();
  for (int attempt = 0; attempt < 100 && file_ == nullptr; ++attempt) {
    scratch_ = folder + "." + base + "." + std::to_string(random() % 1000000u) + ".tmp";
    file_ = open_new(scratch_);
  }
  if (file_ == nullptr) scratch_.clear();
  return file_ != nullptr;
}

bool TargetFile::commit() {
  if (file_ == nullptr) return false;
  const bool written = std::fflush(file_) == 0 && std::ferror(file_) == 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (scratch_.empty()) return written && closed;
  std::error_code ec;
  bool ok = written && closed;
  if (ok && keep_permissions_) fs::permissions(scratch_, fs::status(target_, ec).permissions(), ec);
  if (ok) ok = move_over(scratch_, target_);
  if (!ok) std::remove(scratch_.c_str());
  scratch_.clear();
  return ok;
}

void TargetFile::abandon() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!scratch_.empty()) std::remove(scratch_.c_str());
  scratch_.clear();
}

} // namespace gef
