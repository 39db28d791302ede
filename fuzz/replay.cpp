// SPDX-License-Identifier: MIT
// Replays the committed fuzz regression corpus through the target bodies, one file at a time.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "targets.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS_FOLDER (with read/, api/ and roundtrip/ inside)\n",
                 argv[0]);
    return 2;
  }
  struct Target {
    const char* name;
    int (*body)(const std::uint8_t*, std::size_t);
  };
  const Target targets[] = {{"read", gef_fuzz::read_target},
                            {"api", gef_fuzz::api_target},
                            {"roundtrip", gef_fuzz::roundtrip_target}};
  int replayed = 0;
  for (const Target& target : targets) {
    const fs::path folder = fs::path(argv[1]) / target.name;
    if (!fs::is_directory(folder)) continue;
    std::vector<fs::path> files;
    for (const auto& item : fs::directory_iterator(folder))
      if (item.is_regular_file()) files.push_back(item.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
      std::ifstream in(file, std::ios::binary);
      const std::string bytes{std::istreambuf_iterator<char>(in), {}};
      // The name goes out first, so a crash shows which input caused it.
      std::fprintf(stderr, "%s %s\n", target.name, file.filename().string().c_str());
      target.body(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++replayed;
    }
  }
  std::printf("replayed %d inputs\n", replayed);
  return replayed > 0 ? 0 : 1;
}
