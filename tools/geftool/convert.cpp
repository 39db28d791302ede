// SPDX-License-Identifier: MIT
// geftool convert: the file read, its layout changed as asked, written back by the library and
// read again to prove that nothing was lost.
#include "convert.h"

#include <algorithm>
#include <iostream>

#include <gef/gef.h>

#include "common.h"
#include "derived.h"
#include "keeping.h"
#include "reading.h"
#include "text.h"

namespace geftool {
namespace {

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
  if (!session.ok()) return 2;
  const ReadResult read = read_document(options.input);
  int lost = tell_losses("convert", options.input, read);
  if (lost == 2) return 2;
  const std::string input = to_utf8(options.input);
  for (const std::string& dropped : dropped_at_reading(read.findings)) {
    std::cerr << "geftool convert: " << input << ": not kept from the input: " << dropped << "\n";
    lost = 1;
  }
  const int added = add_derived_columns("convert", options.adds);
  if (added == 2) return 2;
  // Binary records and the plain layout hold numbers only: per-scan texts (a boring's layer
  // descriptions) would be dropped without a word.
  if ((options.binary || options.no_separators) && has_scan_texts()) {
    std::cerr << "geftool convert: " << input << " has per-scan texts, which "
              << (options.binary ? "a binary data block" : "a data block without separators")
              << " cannot hold; convert it with --ascii\n";
    return 2;
  }
  const Snapshot original = take_snapshot();
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
  // The writer's default format keeps five significant digits: without the caller's formats,
  // each column gets the shortest that writes all its values back exactly.
  const std::string formats = options.format.empty() ? lossless_formats(original) : options.format;
  if (!formats.empty()) set_reportdataformat(formats.c_str());
  const int written = write_gef(options.output.c_str());
  const bool not_writable = written == 0 && get_last_error_code() == GEF_E_FILE_CANNOT_BE_OPENED;
  print_messages("convert");
  if (written != 1) return not_writable ? 2 : 1;

  const ReadResult back = read_document(options.output);
  const std::string output = to_utf8(options.output);
  if (!back.read) {
    std::cerr << "geftool convert: the written file " << output << " cannot be read back\n";
    tell_reasons(back.findings);
    return 1;
  }
  for (const Change& change : differences(original, take_snapshot())) {
    std::cerr << "geftool convert: " << output << ": " << change.text << "\n";
    if (change.loss) lost = 1;
  }
  if (lost != 0)
    std::cerr << "geftool convert: " << output << " does not hold everything " << input << " held"
              << (options.allow_loss ? " (allowed by --allow-loss)" : "") << "\n";
  return options.allow_loss ? added : std::max(lost, added);
}

} // namespace geftool
