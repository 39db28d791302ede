// SPDX-License-Identifier: MIT
// geftool dif: reads one GEF file and exports its data block through the library's DIF writer.
#include "dif.h"

#include <iostream>

#include <gef/gef.h>

#include "common.h"
#include "reading.h"
#include "text.h"

namespace geftool {

int run_dif(const std::string& input, const std::string& output) {
  LibrarySession session;
  if (!session.ok()) return 2;
  // A data block read short is still exported, but never in silence.
  const int lost = tell_losses("dif", input, read_document(input));
  if (lost == 2) return 2;
  if (write_dif(output.c_str()) == 1) return lost;
  std::cerr << "geftool dif: cannot write " << to_utf8(output) << "\n";
  return 2;
}

} // namespace geftool
