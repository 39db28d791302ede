/* SPDX-License-Identifier: MIT */
/* Prints what the native library reads from each file, in the form compare.mjs builds from the
 * WebAssembly library: result, scan and column counts, error list, every value's bits. With
 * --time it prints instead the best of several read times per file, in microseconds. */
#define _POSIX_C_SOURCE 199309L
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <gef/gef.h>

static double now_us(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

static void print_values(const char* path) {
  init_gef();
  const int result = read_gef(path);
  const int scans = get_nr_scans();
  const int columns = get_column_flag() ? get_column() : 0;
  printf("%s\tresult %d\tscans %d\tcolumns %d\terrors", path, result, scans, columns);
  const int count = gef_copy_errors(NULL, 0);
  int* errors = malloc(sizeof(int) * 5 * (size_t)(count > 0 ? count : 1));
  gef_copy_errors(errors, count);
  for (int i = 0; i < 5 * count; ++i) printf(" %d", errors[i]);
  free(errors);
  printf("\tdata");
  const long long values = gef_copy_data(NULL, 0);
  double* data = malloc(sizeof(double) * (size_t)(values > 0 ? values : 1));
  gef_copy_data(data, values);
  for (long long i = 0; i < values; ++i) {
    unsigned long long bits;
    memcpy(&bits, &data[i], sizeof bits);
    printf(" %016llx", bits);
  }
  free(data);
  printf("\n");
  free_gef();
}

static void print_time(const char* path, int rounds) {
  double best = 1e300;
  for (int r = 0; r < rounds; ++r) {
    init_gef();
    const double start = now_us();
    read_gef(path);
    const double took = now_us() - start;
    free_gef();
    if (took < best) best = took;
  }
  printf("%s\t%.1f\n", path, best);
}

int main(int argc, char** argv) {
  const int timing = argc > 1 && strcmp(argv[1], "--time") == 0;
  for (int i = timing ? 2 : 1; i < argc; ++i) {
    if (timing)
      print_time(argv[i], 5);
    else
      print_values(argv[i]);
  }
  return 0;
}
