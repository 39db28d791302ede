// SPDX-License-Identifier: MIT
/* Proves a C99 program can include <gef/gef.h> and link every implemented export of libgef. */
#include <gef/gef.h>

#include <stdio.h>

/* GCC lets any function pointer be cast to this type without a warning. */
typedef void (*gef_any_fn)(void);

int main(void) {
  /* Automatic: a dllimport address is no link-time constant; volatile: kept by the optimiser. */
  gef_any_fn volatile refs[] = {
#define GEF_REF(name) (gef_any_fn) name,
#include "gef_symbol_refs.inc"
#undef GEF_REF
      (gef_any_fn)0};
  size_t count = sizeof refs / sizeof refs[0] - 1;
  size_t i;
  for (i = 0; i < count; ++i) {
    if (refs[i] == (gef_any_fn)0) {
      fprintf(stderr, "export %u resolved to a null address\n", (unsigned)i);
      return 1;
    }
  }
  printf("C program linked %u exported functions\n", (unsigned)count);
  return 0;
}
