// SPDX-License-Identifier: MIT
// Measures add_data_column and delete_column on a large document against a plain block copy.
//
// The baseline is what any column change must at least do: copy the data block into a freshly
// allocated buffer. Appending a column and deleting the first one should together stay within
// twice that, measured in the same run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <gef/gef.h>

using Clock = std::chrono::steady_clock;

namespace {

constexpr int kScans = 1000000;
constexpr int kColumns = 5;

double ms_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool make_document() {
  if (init_gef_general(kColumns, kScans) != 1) return false;
  for (int c = 1; c <= kColumns; ++c) {
    set_columninfo(c, "MPa", "value", c);
    set_columnvoid(c, -9999.0);
    for (int s = 1; s <= kScans; s += 97) set_data(c, s, c + s * 1e-3);
  }
  set_reportdataformat("F7.2 F8.3 F8.4 F7.2 F8.4");
  return true;
}

} // namespace

int main(int argc, char** argv) {
  const int passes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  if (init_gef() != 1 || !make_document()) {
    std::fprintf(stderr, "cannot build the document\n");
    return 1;
  }
  const std::size_t values = std::size_t(kColumns) * kScans;
  std::unique_ptr<double[]> source(new double[values]);
  for (std::size_t i = 0; i < values; ++i) source[i] = double(i % 1000);

  double copy = 1e300, add = 1e300, remove = 1e300, both = 1e300;
  double checksum = 0;
  for (int p = 0; p < passes; ++p) {
    Clock::time_point t = Clock::now();
    std::unique_ptr<double[]> target(new double[values]);
    std::memcpy(target.get(), source.get(), values * sizeof(double));
    copy = std::min(copy, ms_since(t));
    checksum += target[values / 2 + 7];

    t = Clock::now();
    const int added = add_data_column("s", "time", 12, -9999.0);
    add = std::min(add, ms_since(t));
    t = Clock::now();
    const int removed = delete_column(1);
    remove = std::min(remove, ms_since(t));
    if (added != kColumns + 1 || removed != 1) {
      std::fprintf(stderr, "column operation failed: %s\n", get_last_error_text());
      return 1;
    }
    free_gef();
    init_gef();
    make_document();

    t = Clock::now();
    add_data_column("s", "time", 12, -9999.0);
    delete_column(1);
    both = std::min(both, ms_since(t));
    free_gef();
    init_gef();
    make_document();
  }
  std::printf("columns: %d columns x %d scans (%.0f MB), best of %d\n", kColumns, kScans,
              double(values) * 8 / 1e6, passes);
  std::printf("  block copy:          %8.1f ms  (checksum %.6g)\n", copy, checksum);
  std::printf("  add_data_column:     %8.1f ms\n", add);
  std::printf("  delete_column(1):    %8.1f ms\n", remove);
  std::printf("  add then delete:     %8.1f ms  ratio %.2f (target <= 2.00: %s)\n", both,
              both / copy, both <= 2 * copy ? "met" : "MISSED");
  free_gef();
  return both <= 2 * copy ? 0 : 1;
}
