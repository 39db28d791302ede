// SPDX-License-Identifier: MIT
// geftool convert: the file read, its layout changed as asked, and written back by the library.
#include "convert.h"

#include <iostream>

#include <gef/gef.h>

#include "common.h"
#include "derived.h"
#include "text.h"

namespace geftool {
namespace {

// Moves the error cursors past every entry recorded so far.
void skip_messages() {
  for (int code = get_error_code(); code != 0; code = get_error_code()) get_error_text(code);
}

// Prints the entries recorded since the last skip, one line each.
void print_messages(const char* command) {
  for (int code = get_error_code(); code != 0; code = get_error_code()) {
    std::string text = to_utf8(get_error_text(code));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    std::cerr << "geftool " << command << ":" << (text.empty() || text[0] == ' ' ? "" : " ") << text
              << "\n";
  }
}

bool has_scan_texts() {
  for (int scan = 1; scan <= get_nr_scans(); ++scan)
    if (const char* text = get_columntext_text(scan); text != nullptr && *text != '\0') return true;
  return false;
}

} // namespace

int run_convert(const ConvertOptions& options) {
  for (const std::string& s : options.separators)
    if (s.size() != 1) {
      std::cerr << "geftool convert: a separator is one character, not '" << s << "'\n";
      return 2;
    }
  LibrarySession session;
  if (!session.ok() || !read_for("convert", options.input)) return 2;
  skip_messages();
  const int added = add_derived_columns("convert", options.adds);
  if (added == 2) return 2;
  // Binary records and the plain layout hold numbers only: per-scan texts (a boring's layer
  // descriptions) would be dropped without a word.
  if ((options.binary || options.no_separators) && has_scan_texts()) {
    std::cerr << "geftool convert: " << to_utf8(options.input) << " has per-scan texts, which "
              << (options.binary ? "a binary data block" : "a data block without separators")
              << " cannot hold; convert it with --ascii\n";
    return 2;
  }
  if (options.binary) set_dataformat("BINARY");
  if (options.ascii) set_dataformat("ASCII");
  if (!options.datatype.empty()) set_datatype(options.datatype.c_str());
  if (options.separators.size() == 2) {
    set_columnseparator(options.separators[0][0]);
    set_recordseparator(options.separators[1][0]);
  }
  if (options.no_separators) {
    del_columnseparator();
    del_recordseparator();
  }
  if (!options.format.empty()) set_reportdataformat(options.format.c_str());
  const int written = write_gef(options.output.c_str());
  const bool not_writable = written == 0 && get_last_error_code() == GEF_E_FILE_CANNOT_BE_OPENED;
  print_messages("convert");
  if (written == 1) return added;
  return not_writable ? 2 : 1;
}

} // namespace geftool
