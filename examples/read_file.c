// SPDX-License-Identifier: MIT
/* Reads a GEF file and prints its columns and the problems the library found. */
#include <stdio.h>

#include <gef/gef.h>

int main(int argc, char** argv) {
  if (argc != 2 || !init_gef()) return 2;
  int ok = read_gef(argv[1]);
  for (int c = 1; ok && c <= get_column(); ++c)
    printf("column %d: %s [%s]\n", c, get_columninfo_Quantity(c), get_columninfo_Unit(c));
  printf("%d scans\n", get_nr_scans());
  for (int code = get_error_code(); code != 0; code = get_error_code())
    printf("finding %d:%s", code, get_error_text(code));
  free_gef();
  return ok ? 0 : 1;
}
