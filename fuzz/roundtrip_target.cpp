// SPDX-License-Identifier: MIT
// Fuzz target body: whatever the library reads it must write so that reading it back gives the
// same document, and writing that again gives the same bytes.
//
// The first document is what the first write saw; the expected side takes the writer's
// documented changes (fields it fills with defaults, keywords the GEFID does not allow, texts
// escaped and cut, numbers at their written precision), so that any other difference is a
// fault of the writer or the reader.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include <gef/gef.h>

#include "conformance/header_rules.h"
#include "document/columns.h"
#include "document/convert.h"
#include "document/record.h"
#include "header_records.h"
#include "reader/binary_data.h"
#include "targets.h"
#include "writer/output.h"
#include "writer/writer.h"

namespace gef_fuzz {
namespace {

// A stored keyword entry from gef_copy_header: its fields, each empty when not given, else a
// type letter and the value.
using Record = gef_tools::HeaderBytesRecord;

// Records keyed by name, entry number and, for keywords whose entries are appended, their order.
using Header = std::map<std::string, Record>;

struct Snapshot {
  Header header;
  int columns = 0;
  int scans = 0;
  std::vector<double> data; // as the first write puts them, read back
  std::string texts;
  bool cut = false; // binary data written only up to a smaller LASTSCAN
  // A value near the largest double rounded by its format reads back infinite, and the second
  // write then puts "inf" where the first put digits: the writes agree one round later.
  bool overflowed = false;
};

void fail(const char* what, const std::string& detail = "") {
  std::fprintf(stderr, "roundtrip: %s %s\n", what, detail.c_str());
  std::abort();
}

Header copy_header() {
  Header out;
  std::map<std::string, int> seen;
  for (Record& record : gef_tools::copy_header_records()) {
    const std::string key = record.name + '/' + record.number;
    out[key + '/' + std::to_string(seen[key]++)] = std::move(record);
  }
  return out;
}

// The writer's text of a data value of column `c`, read back: its written precision and its rule
// that a void value stays void.
double as_written(gef::Document& doc, int c, double v, bool report_format) {
  const gef::NumberFormat format = report_format && c <= gef::kMaxColumns
                                       ? gef::output_format(doc, c).value_or(gef::NumberFormat{})
                                       : gef::NumberFormat{'e', 10, 4};
  gef::NumberText text;
  gef::format_core(format, v, text);
  // Zeros beyond a double's digits change nothing read back.
  double back = 0;
  gef::parse_double(text.text, text.text + text.length, &back);
  double void_value = 0;
  if (gef::column_void(doc, c, &void_value) &&
      gef::matches_void(v, void_value, gef::kVoidThreshold) &&
      !gef::matches_void(back, void_value, gef::kVoidThreshold))
    back = void_value;
  return back;
}

// A data value as a binary element of `type` holds it: integers 0.1 towards larger magnitude,
// then truncated and saturated (NaN gives 0); single precision rounded.
template <typename T> double as_integer(double v) {
  if (std::isnan(v)) return 0;
  const double t = std::trunc(v < 0 ? v - 0.1 : v + 0.1);
  return std::fmin(std::fmax(t, double(std::numeric_limits<T>::min())),
                   double(std::numeric_limits<T>::max()));
}

double as_written(gef::ElementType type, double v) {
  switch (type) {
  case gef::ElementType::INT2: return as_integer<std::int16_t>(v);
  case gef::ElementType::INT4: return as_integer<std::int32_t>(v);
  case gef::ElementType::REAL4: return double(float(v));
  default: return v;
  }
}

double field_number(const Record& r, std::size_t k) {
  return k < r.fields.size() && r.fields[k].size() > 1
             ? std::strtod(r.fields[k].c_str() + 1, nullptr)
             : 0.0;
}

// Replaces number field k by its text in `format`, read back.
void round_field(Record& r, std::size_t k, const gef::NumberFormat& format) {
  if (k >= r.fields.size() || r.fields[k].size() < 2) return;
  const std::string text = gef::format_number(format, field_number(r, k));
  char exact[40];
  std::snprintf(exact, sizeof exact, "d%.17g", gef::text_to_double(text.c_str()));
  r.fields[k] = exact;
}

// The header numbers the writer writes at a precision of their own: coordinates with the
// decimals of their accuracy, minima and maxima in their column's format; and the accuracies of
// a position, written only as a pair.
void round_as_written(Header& header) {
  gef::Document& doc = gef::document();
  const bool report_format = gef::entry(doc, gef::KW_REPORTDATAFORMAT, 0).present != 0;
  auto minmax_format = [&](int c) {
    const gef::NumberFormat standard{'e', 11, 4};
    return report_format ? gef::output_format(doc, c).value_or(standard) : standard;
  };
  for (auto& [key, r] : header) {
    const int code = gef::keyword_code(r.name.c_str());
    if (code == gef::KW_XYID) {
      // The accuracies go as a pair, led by that of X.
      if (r.fields.size() > 4 && r.fields[3].empty()) r.fields[4].clear();
      const int dx = gef::coordinate_decimals(field_number(r, 1), field_number(r, 3));
      const int dy = gef::coordinate_decimals(field_number(r, 2), field_number(r, 4));
      round_field(r, 1, {'f', 0, dx});
      round_field(r, 2, {'f', 0, dy});
    } else if (code == gef::KW_ZID) {
      round_field(r, 1, {'f', 0, gef::coordinate_decimals(field_number(r, 1), field_number(r, 2))});
    } else if (code == gef::KW_COLUMNMINMAX) {
      const gef::NumberFormat format = minmax_format(std::atoi(r.number.c_str()));
      round_field(r, 0, format);
      round_field(r, 1, format);
    } else if (code == gef::KW_QNMINMAX) {
      const int qn =
          r.fields.size() > 0 && r.fields[0].size() > 1 ? std::atoi(r.fields[0].c_str() + 1) : 0;
      const gef::NumberFormat format = minmax_format(gef::column_of_quantity(doc, qn));
      round_field(r, 1, format);
      round_field(r, 2, format);
    }
  }
}

Snapshot take_snapshot(bool expected) {
  gef::Document& doc = gef::document();
  Snapshot shot;
  shot.header = copy_header();
  if (expected) round_as_written(shot.header);
  shot.columns = get_column();
  shot.scans = get_nr_scans();
  const long long count = gef_copy_data(nullptr, 0);
  if (count > 0 && count < (1 << 22)) {
    shot.data.resize(std::size_t(count));
    gef_copy_data(shot.data.data(), count);
  }
  const gef::Entry& format = gef::entry(doc, gef::KW_DATAFORMAT, 0);
  const bool binary = format.present != 0 && (gef::equals_nocase(format.field[0].s, "BINAIR") ||
                                              gef::equals_nocase(format.field[0].s, "BINARY"));
  shot.cut = binary && get_lastscan() >= 0 && get_lastscan() < shot.scans;
  if (expected && binary) {
    for (double& v : shot.data) v = as_written(gef::element_type(doc), v);
  } else if (expected && shot.scans > 0) {
    const bool report_format = gef::entry(doc, gef::KW_REPORTDATAFORMAT, 0).present != 0;
    for (std::size_t k = 0; k < shot.data.size(); ++k) {
      const double v = shot.data[k];
      shot.data[k] = as_written(doc, int(k / std::size_t(shot.scans)) + 1, v, report_format);
      shot.overflowed = shot.overflowed || (std::isinf(shot.data[k]) && std::isfinite(v));
    }
  }
  const long long texts = gef_copy_column_texts(nullptr, 0);
  if (texts > 0 && texts < (1 << 22)) {
    shot.texts.resize(std::size_t(texts));
    gef_copy_column_texts(shot.texts.data(), texts);
  }
  return shot;
}

bool same_number(const std::string& a, const std::string& b) {
  const double x = std::strtod(a.c_str() + 1, nullptr), y = std::strtod(b.c_str() + 1, nullptr);
  return x == y || (std::isnan(x) && std::isnan(y));
}

// A header text as the writer puts it and the reader takes it back: escaped, line ends blanked,
// cut, and without blanks or control characters at its ends.
std::string as_written(const std::string& text) {
  const std::string written = gef::field_text(text.c_str());
  std::size_t begin = 0, end = written.size();
  while (begin < end && static_cast<unsigned char>(written[begin]) < 33) ++begin;
  while (end > begin && static_cast<unsigned char>(written[end - 1]) < 33) --end;
  return written.substr(begin, end - begin);
}

// Whether the writer writes a record: the one place that models the stored entries it leaves out,
// which a reread therefore lacks. Those are keywords the GEFID does not allow, and structure
// lines with no written line of their keyword to go with: those keyed to no keyword (code 0,
// listed without a name, and beyond every getter, which takes codes 1..63), to a structure
// keyword, to SCANFREQUENCY (whose entries are listed and written as SCANTIME's), or to a
// keyword of which no entry is written.
bool written(const Header& header, const Record& r) {
  const int code = gef::keyword_code(r.name.c_str());
  if (code == gef::KW_STRUCTURETEXT || code == gef::KW_STRUCTURETYPE) {
    // keyword_code would take the empty name as a prefix of every keyword.
    const int owner = r.number.empty() ? 0 : gef::keyword_code(r.number.c_str());
    if (owner == 0 || owner == gef::KW_STRUCTURETEXT || owner == gef::KW_STRUCTURETYPE)
      return false;
    for (const auto& [key, other] : header)
      if (other.name == r.number && written(header, other)) return true;
    return false;
  }
  return gef::keyword_allowed(gef::document(), code);
}

// Compares the headers; returns whether the writer filled fields the first one lacked.
bool compare_headers(const Header& before, const Header& after) {
  bool filled = false;
  for (const auto& [key, r] : before) {
    if (!written(before, r)) continue;
    const auto found = after.find(key);
    if (found == after.end()) fail("a keyword entry was lost:", key);
    for (std::size_t k = 0; k < r.fields.size(); ++k) {
      const std::string& was = r.fields[k];
      const std::string is = k < found->second.fields.size() ? found->second.fields[k] : "";
      // A field not given may be written with the writer's default.
      if (was.empty()) {
        filled = filled || !is.empty();
        continue;
      }
      const std::string expected = was[0] == 't' ? "t" + as_written(was.substr(1)) : was;
      if (expected == "t" && is.empty()) continue;
      const bool same = was[0] == 'f' || was[0] == 'd'
                            ? !is.empty() && is[0] == was[0] && same_number(was, is)
                            : is == expected;
      if (!same)
        fail("a field changed:",
             key + " field " + std::to_string(k + 1) + " '" + expected + "' became '" + is + "'");
    }
  }
  return filled;
}

bool close_enough(double a, double b) {
  if (a == b || (std::isnan(a) && std::isnan(b))) return true;
  return std::fabs(a - b) <= 1e-12 * std::fmax(std::fabs(a), std::fabs(b));
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

// Whether the error list holds `code`; empties the list.
bool reported(int code) {
  bool found = false;
  for (int next; (next = get_error_code()) != 0;) found = found || next == code;
  return found;
}

// Whether reading refused a column correction ("... is not applied: ..."); empties the list.
bool refused_correction() {
  bool found = false;
  for (int code; (code = get_error_code()) != 0;) {
    const char* text = get_error_text(code); // once: it moves on to the next entry
    found = found || (code == GEF_E_DATA_NOTE && std::strstr(text, "is not applied") != nullptr);
  }
  return found;
}

} // namespace

int roundtrip_target(const std::uint8_t* data, std::size_t size) {
  static const std::string first = std::string(scratch_folder()) + "/first.gef";
  static const std::string second = std::string(scratch_folder()) + "/second.gef";
  static bool restarted = false;
  init_gef();
  const int read = read_gef(input_path(data, size));
  input_done();
  const bool converted = gef::library().conversion_stamp != 0;
  const bool refused = read == 1 && refused_correction();
  // The output formats follow the columns declared when REPORTDATAFORMAT was read, and the
  // written file declares COLUMN first: storing the formats again gives the first document
  // those the read-back one will have.
  if (read == 1 && get_reportdataformat_flag() != 0 && get_reportdataformat() != nullptr) {
    const std::string formats = get_reportdataformat();
    set_reportdataformat(formats.c_str());
  }
  // The written file states the document's GEFID, and reading refuses versions it does not
  // know: such a document (its first line said otherwise) is only written.
  const int release = get_gefid_Release(), version = get_gefid_Version(),
            update = get_gefid_Update();
  const bool known =
      (release == 1 && version == 1 && update >= 0) ||
      (update == 0 && ((release == 1 && version == 0) || (release == 2 && version == 0)));
  if (read != 1 || write_gef(first.c_str()) != 1 || !known) {
    end_document();
    return 0;
  }
  // After the write, which stores the keywords a written file must carry.
  const Snapshot before = take_snapshot(true);
  const int reread = read_gef(first.c_str());
  // Code lines are written with every version number, absent ones as 0: a CPT report of an
  // unstated version may come back as one of version 1.0.0, which reading converts (or fails
  // to). The written file is then where the round trip starts.
  const bool reconverted =
      gef::library().conversion_stamp != 0 || (reread != 1 && reported(GEF_E_CPT_NOTE));
  // Binary data is written up to LASTSCAN when that is smaller: another document too. So is
  // one with a correction refused on its raw readings: the correction stays in the header, and
  // the corrections applied before writing may have changed the readings it refused.
  if (((reconverted && !converted) || before.cut || refused) && !restarted) {
    const std::string written = contents(first);
    end_document();
    restarted = true;
    roundtrip_target(reinterpret_cast<const std::uint8_t*>(written.data()), written.size());
    restarted = false;
    return 0;
  }
  if (reread != 1) fail("a written file does not read back");
  const Snapshot after = take_snapshot(false);
  const bool filled = compare_headers(before.header, after.header);
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
  if (expected != after.texts) {
    std::size_t at = 0;
    while (at < expected.size() && at < after.texts.size() && expected[at] == after.texts[at]) ++at;
    fail("per-scan texts changed:", "at byte " + std::to_string(at) + " '" +
                                        expected.substr(at, 40) + "' became '" +
                                        after.texts.substr(at, 40) + "'");
  }
  if (write_gef(second.c_str()) != 1) fail("a read-back document does not write");
  // Defaults may be written in another form than the same value given (COLUMNOFFSET writes
  // "0.0" for none, "%lg " for a value): with defaults filled the writes agree one round later.
  std::string earlier = contents(first), later = contents(second);
  if ((filled || before.overflowed) && earlier != later) {
    if (read_gef(second.c_str()) != 1 || write_gef(first.c_str()) != 1)
      fail("a rewritten document does not read or write");
    earlier = later;
    later = contents(first);
  }
  if (earlier != later) fail("the second write differs from the first");
  end_document();
  return 0;
}

} // namespace gef_fuzz
