// SPDX-License-Identifier: MIT
// Replays the committed fuzz regression corpus, or any folder of files, through the target bodies.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "targets.h"

namespace fs = std::filesystem;

namespace {

struct Target {
  const char* name;
  int (*body)(const std::uint8_t*, std::size_t);
};
const Target kTargets[] = {{"read", gef_fuzz::read_target},
                           {"api", gef_fuzz::api_target},
                           {"roundtrip", gef_fuzz::roundtrip_target}};

// Runs the target over the files in `folder` (and below it, if `deep`) in sorted order.
int replay(const Target& target, const fs::path& folder, bool deep) {
  std::vector<fs::path> files;
  const auto add = [&](const fs::directory_entry& item) {
    if (item.is_regular_file()) files.push_back(item.path());
  };
  if (deep)
    std::for_each(fs::recursive_directory_iterator(folder), {}, add);
  else
    std::for_each(fs::directory_iterator(folder), {}, add);
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    // The name goes out first, so a crash shows which input caused it.
    std::fprintf(stderr, "%s %s\n", target.name, file.string().c_str());
    target.body(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  return int(files.size());
}

} // namespace

// CORPUS_FOLDER replays read/, api/ and roundtrip/ through their targets; --target NAME FOLDER
// replays one target over every file below any folder, and skips (77) when it is absent.
int main(int argc, char** argv) {
  const bool one = argc == 4 && std::string(argv[1]) == "--target";
  if (argc != 2 && !one) {
    std::fprintf(stderr,
                 "usage: %s CORPUS_FOLDER (with read/, api/ and roundtrip/ inside)\n"
                 "       %s --target read|api|roundtrip FOLDER\n",
                 argv[0], argv[0]);
    return 2;
  }
  int replayed = 0;
  for (const Target& target : kTargets) {
    if (one && std::string(argv[2]) != target.name) continue;
    const fs::path folder = one ? fs::path(argv[3]) : fs::path(argv[1]) / target.name;
    if (one && !fs::is_directory(folder)) {
      std::printf("no folder %s: skipped\n", argv[3]);
      return 77;
    }
    if (fs::is_directory(folder)) replayed += replay(target, folder, one);
  }
  std::printf("replayed %d inputs\n", replayed);
  return replayed > 0 ? 0 : 1;
}
