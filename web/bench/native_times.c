/* SPDX-License-Identifier: MIT */
/* Prints the best of five native read times of each file, in microseconds, for read_times.mjs. */
#define _POSIX_C_SOURCE 199309L
#include <stdio.h>
#include <time.h>

#include <gef/gef.h>

static double now_us(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    double best = 1e300;
    for (int r = 0; r < 5; ++r) {
      init_gef();
      const double start = now_us();
      read_gef(argv[i]);
      const double took = now_us() - start;
      free_gef();
      if (took < best) best = took;
    }
    printf("%s\t%.1f\n", argv[i], best);
  }
  return 0;
}
