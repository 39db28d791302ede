// SPDX-License-Identifier: MIT
// Turning the FILE|DIR arguments of geftool check into the list of files to read.
#pragma once

#include <string>
#include <vector>

namespace geftool {

/// One file to check, or an argument that names nothing readable.
struct Input {
  std::string path;    ///< as given, or the folder argument joined with the file's relative path
  std::string problem; ///< empty when the path names a file; else why it cannot be checked
};

/// Files named directly are taken whatever their extension; folders are walked recursively for
/// files ending in ".gef" in any case, in sorted order. Arguments keep their order.
std::vector<Input> collect_inputs(const std::vector<std::string>& arguments);

} // namespace geftool
