// SPDX-License-Identifier: MIT
/* A program outside the project: reads a GEF file through the installed library. */
#include <stdio.h>

#include <gef/gef.h>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  init_gef();
  int ok = read_gef(argv[1]);
  printf("scans %d\n", get_nr_scans());
  free_gef();
  return ok == 1 ? 0 : 1;
}
