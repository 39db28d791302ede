// SPDX-License-Identifier: MIT
// Fuzz target body: any bytes read as a GEF file, checked, queried and freed.
#include <cstdlib>
#include <string>

#include <gef/gef.h>

#include "targets.h"

namespace gef_fuzz {

int read_target(const std::uint8_t* data, std::size_t size) {
  // A whole library life per input, so that anything a read leaves behind shows as a leak.
  if (init_gef() != 1) return 0;
  read_gef(input_path(data, size));
  input_done();
  for (const char* rules : {"HEADER", "GEF-CPT-Report", "GEF-BORE-Report", "DATA", "ALL"})
    test_gef(rules);
  // The input's last bytes as a description code: a boring's data lines end in soil codes, and
  // the expansion only ever sees one short code at a time.
  const std::size_t tail = size < 256 ? size : 256;
  std::string code(reinterpret_cast<const char*>(data) + (size - tail), tail);
  gbr_code2text(code.c_str(), " / ");
  gbr_NEN5104_splits(code.data());
  const int scans = get_nr_scans();
  const int columns = get_column();
  for (int c = 1; c <= columns && c <= 8; ++c) {
    get_columninfo_Quantity(c);
    get_columnvoid(c);
    for (int s = 1; s <= scans && s <= 4; ++s) get_data(c, s);
  }
  get_data(columns, scans);
  for (int s = 1; s <= scans && s <= 4; ++s) {
    if (char* field = get_columntext_text_field(s, 2)) std::free(field);
    const int strings = gbr_get_nr_additional_strings(s);
    for (int k = 1; k <= strings + 1; ++k)
      if (char* text = gbr_get_additional_string(s, k)) std::free(text);
  }
  // One copy into a buffer that fits almost every header: the size query alone would build it
  // twice.
  static std::string copy(1 << 16, '\0');
  const long long header = gef_copy_header(copy.data(), (long long)copy.size());
  if (header < 0) std::abort();
  // Formatting every message of a long list would cost more than the read; a few show the way.
  for (int code, k = 0; (code = get_error_code()) != 0;)
    if (k++ < 4) get_error_text(code);
  get_last_error_text();
  end_document();
  return 0;
}

} // namespace gef_fuzz
