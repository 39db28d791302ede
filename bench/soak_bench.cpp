// SPDX-License-Identifier: MIT
// Soak run: read/check/free cycles over a folder of GEF files, reporting how resident memory
// moves after a warm-up; growth beyond 1 MB means memory is kept from one cycle to the next.
// Usage: gef_soak_bench [FOLDER] [CYCLES]   (defaults: the shared corpus, 100000)
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gef/gef.h>

namespace fs = std::filesystem;

namespace {

// Resident set size in kB, from /proc (Linux only; 0 elsewhere).
long resident_kb() {
  long kb = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    long pages = 0, resident = 0;
    if (std::fscanf(f, "%ld %ld", &pages, &resident) == 2) kb = resident * 4;
    std::fclose(f);
  }
  return kb;
}

} // namespace

int main(int argc, char** argv) {
  const fs::path folder =
      argc > 1 ? fs::path(argv[1]) : fs::path(GEF_SOURCE_DIR "/../shared/corpus");
  const long cycles = argc > 2 ? std::atol(argv[2]) : 100000;
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& item : fs::recursive_directory_iterator(folder, error)) {
    std::string ext = item.path().extension().string();
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    if (item.is_regular_file() && ext == ".gef") files.push_back(item.path().string());
  }
  if (files.empty()) {
    std::fprintf(stderr, "no .gef files under %s\n", folder.string().c_str());
    return 2;
  }
  const long warm_up = 1000;
  long after_warm_up = 0;
  for (long k = 0; k < cycles; ++k) {
    init_gef();
    read_gef(files[std::size_t(k) % files.size()].c_str());
    for (const char* rules : {"HEADER", "GEF-CPT-Report", "GEF-BORE-Report", "DATA"})
      test_gef(rules);
    free_gef();
    if (k + 1 == warm_up) after_warm_up = resident_kb();
  }
  const long end = resident_kb();
  std::printf("%ld cycles over %zu files: resident %ld kB after %ld cycles, %ld kB at the end, "
              "growth %ld kB (limit 1024)\n",
              cycles, files.size(), after_warm_up, warm_up, end, end - after_warm_up);
  return end - after_warm_up > 1024 ? 1 : 0;
}
