// SPDX-License-Identifier: MIT
/* Builds a small CPT document with the setters and prints what the library recorded about it. */
#include <stdio.h>
#include <stdlib.h>

#include <gef/gef.h>

int main(void) {
  char* escaped;
  int code;

  if (!init_gef() || !init_gef_for_editing(3, 5)) {
    fprintf(stderr, "cannot start a document\n");
    return 2;
  }

  /* Header keywords, each stored as the same keyword line read from a file would be. */
  set_companyid("Example Lab", "-", 31);
  set_projectid("CPT", "2026-017", "-");
  set_columninfo(1, "m", "penetration length", 1);
  set_columninfo(2, "MPa", "cone resistance", 2);
  set_columninfo(3, "MPa", "local friction", 3);
  set_columnvoid(2, -9999.0);
  set_xyid(31000, 132500.0, 457300.0, 0.01, 0.01);
  set_zid(31000, -1.25, 0.01);
  set_reportdataformat("F7.2 F8.3 F8.4");
  escaped = gg_add_slash("dyke section 3, km 12#4");
  set_comment(escaped);
  free(escaped);

  /* Data values: five scans of three columns. */
  for (int scan = 1; scan <= 5; ++scan) {
    set_data(1, scan, 0.02 * scan);
    set_data(2, scan, 1.5 + 0.25 * scan);
    set_data(3, scan, 0.01 * scan);
  }

  /* Deliberate mistakes, to show how problems are recorded and reported. */
  set_columninfo(251, "m", "too far", 4); /* column number beyond 250 */
  set_gefid(1, 0, 0);                     /* GEFID is already 1.1.0 */
  set_lastscan(6);                        /* more scans than the data block holds */
  set_data(4, 1, 0.0);                    /* no column 4 */

  printf("Recorded problems (worst severity class %d):\n", get_error_level_all());
  while ((code = get_error_code()) != 0) printf("  [%4d]%s", code, get_error_text(code));

  free_gef();
  return 0;
}
