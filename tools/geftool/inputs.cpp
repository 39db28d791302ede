// SPDX-License-Identifier: MIT
// Walks folder arguments for GEF files so that a whole survey can be checked in one run.
#include "inputs.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace geftool {
namespace {

bool has_gef_extension(const fs::path& path) {
  std::string ext = path.extension().string();
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".gef";
}

} // namespace

std::vector<Input> collect_inputs(const std::vector<std::string>& arguments) {
  std::vector<Input> inputs;
  for (const std::string& argument : arguments) {
    std::error_code ec;
    const fs::path root(argument);
    if (fs::is_directory(root, ec)) {
      std::vector<std::string> found;
      // Unreadable subfolders are skipped rather than ending the walk.
      fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec);
      for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code type_ec;
        if (it->is_regular_file(type_ec) && has_gef_extension(it->path()))
          found.push_back(fs::path(it->path()).make_preferred().string());
      }
      if (ec) inputs.push_back({argument, "cannot walk folder: " + ec.message()});
      std::sort(found.begin(), found.end());
      for (std::string& path : found) inputs.push_back({std::move(path), ""});
    } else if (fs::exists(root, ec)) {
      inputs.push_back({argument, ""});
    } else {
      inputs.push_back({argument, "no such file or folder"});
    }
  }
  return inputs;
}

} // namespace geftool
