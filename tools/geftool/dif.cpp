// SPDX-License-Identifier: MIT
// geftool dif: reads one GEF file and exports its data block through the library's DIF writer.
#include "dif.h"

#include <iostream>

#include <gef/gef.h>

#include "common.h"
#include "text.h"

namespace geftool {

int run_dif(const std::string& input, const std::string& output) {
  LibrarySession session;
  if (!session.ok() || !read_for("dif", input)) return 2;
  if (write_dif(output.c_str()) == 1) return 0;
  std::cerr << "geftool dif: cannot write " << to_utf8(output) << "\n";
  return 2;
}

} // namespace geftool
