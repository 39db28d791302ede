/* SPDX-License-Identifier: MIT */
/* Prints what the native library reads from each file, in the form compare.mjs builds from the
 * WebAssembly library: result, scan and column counts, error list, every value's bits. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <gef/gef.h>

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

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) print_values(argv[i]);
  return 0;
}
