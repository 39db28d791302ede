// Fuzz target body: whatever the library reads it must write so that reading it back gives the
// same document, and writing that again gives the same bytes.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gef/gef.h>

#include "targets.h"

namespace gef_fuzz {
namespace {

struct Snapshot {
  int columns = 0;
  int scans = 0;
  std::vector<double> data;
  std::string texts;
};

Snapshot take_snapshot() {
  Snapshot shot;
  shot.columns = get_column();
  shot.scans = get_nr_scans();
  const long long count = gef_copy_data(nullptr, 0);
  if (count > 0 && count < (1 << 22)) {
    shot.data.resize(std::size_t(count));
    gef_copy_data(shot.data.data(), count);
  }
  const long long texts = gef_copy_column_texts(nullptr, 0);
  if (texts > 0 && texts < (1 << 22)) {
    shot.texts.resize(std::size_t(texts));
    gef_copy_column_texts(shot.texts.data(), texts);
  }
  return shot;
}

std::string contents(const std::string& path) {
  std::string out;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
      out.append(buffer, n);
    std::fclose(file);
  }
  return out;
}

// Values written as text keep only their column's written digits (five significant ones unless
// the file asks for others, at least two decimals), so compare within that.
bool close_enough(double a, double b) {
  if (a == b || (std::isnan(a) && std::isnan(b))) return true;
  const double difference = std::fabs(a - b);
  return difference <= 1e-4 * std::fmax(std::fabs(a), std::fabs(b)) || difference <= 5e-3;
}

void fail(const char* what) {
  std::fprintf(stderr, "roundtrip: %s\n", what);
  std::abort();
}

} // namespace

int roundtrip_target(const std::uint8_t* data, std::size_t size) {
  static const std::string first = std::string(scratch_folder()) + "/first.gef";
  static const std::string second = std::string(scratch_folder()) + "/second.gef";
  init_gef();
  const int read = read_gef(input_path(data, size));
  input_done();
  // The promise holds for documents whose header keeps the rules and whose texts hold no
  // control characters (the reader trims those differently at a line's end); others are only
  // written.
  bool sound = read == 1 && test_gef("HEADER") == 1;
  // A blank record separator makes per-scan texts end in blanks that a reread trims: not yet
  // round-tripped, so left out until the writer handles it.
  if (get_recordseparator_flag() != 0 && get_recordseparator() == ' ') sound = false;
  // Output formats of the caller's choosing round the data on purpose (F. keeps no decimals).
  if (get_reportdataformat_flag() != 0) sound = false;
  for (std::size_t k = 0; k < size && sound; ++k)
    sound = data[k] >= 0x20 || data[k] == '\t' || data[k] == '\r' || data[k] == '\n';
  if (read != 1 || write_gef(first.c_str()) != 1 || !sound) {
    end_document();
    return 0;
  }
  const Snapshot before = take_snapshot();
  if (read_gef(first.c_str()) != 1) fail("a written file does not read back");
  const Snapshot after = take_snapshot();
  if (before.columns != after.columns || before.scans != after.scans)
    fail("column or scan count changed");
  if (before.data.size() != after.data.size()) fail("data size changed");
  for (std::size_t k = 0; k < before.data.size(); ++k)
    if (!close_enough(before.data[k], after.data[k])) {
      std::fprintf(stderr, "value %zu: %.17g became %.17g\n", k, before.data[k], after.data[k]);
      fail("a data value changed");
    }
  // The writer puts a blank for a line end inside a per-scan text, so that the text stays on
  // its scan's line.
  std::string expected = before.texts;
  for (char& c : expected)
    if (c == '\r' || c == '\n') c = ' ';
  if (expected != after.texts) fail("per-scan texts changed");
  if (write_gef(second.c_str()) != 1) fail("a read-back document does not write");
  if (contents(first) != contents(second)) fail("the second write differs from the first");
  end_document();
  return 0;
}

} // namespace gef_fuzz
