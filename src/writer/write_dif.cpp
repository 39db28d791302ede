// SPDX-License-Identifier: MIT
// write_dif: the data block as a DIF table of spreadsheet programs, with voids as blank cells.
#include <algorithm>
#include <cmath>
#include <string>

#include "api/boundary.h"
#include "document/columns.h"
#include "gef/writer.h"
#include "writer/writer.h"

namespace gef {
namespace {

constexpr double kDifVoidThreshold = 1e-40;

// A label cell: the text in double quotes, an inner quote doubled, line ends blanked.
void label(Output& out, const char* text) {
  out.put("1,0");
  out.end_line();
  std::string cell = "\"";
  for (const char* p = text != nullptr ? text : ""; *p != '\0'; ++p) {
    if (*p == '"') cell += '"';
    cell += (*p == '\n' || *p == '\r') ? ' ' : *p;
  }
  cell += '"';
  out.put(cell);
  out.end_line();
}

void lines(Output& out, std::initializer_list<const char*> items) {
  for (const char* item : items) {
    out.put(item, std::char_traits<char>::length(item));
    out.end_line();
  }
}

// The DIF export's own void test: a tiny void value marks every tiny value, zero included.
bool dif_void(double v, double w) {
  if (std::fabs(w) < kDifVoidThreshold) return std::fabs(v) < kDifVoidThreshold;
  return std::fabs(1.0 - v / w) < 1e-10;
}

// The COLUMNINFO text field `k` of column `c`, or null.
const char* column_label(Document& doc, int c, int k) {
  if (c > kMaxColumns) return nullptr;
  const Entry& info = entry(doc, KW_COLUMNINFO, c - 1);
  return info.present != 0 ? info.field[k].s : nullptr;
}

void write_table(Document& doc, Output& out) {
  int scans = doc.data_present != 0 && library().data && doc.scan_count > 0 ? doc.scan_count : 0;
  // Every column the data block holds is written (a file may have more than the 250 with
  // labels); beyond that, empty columns only up to the widest sheet a spreadsheet opens, so
  // that a COLUMN near the int limit does not write billions of empty labels.
  constexpr std::int64_t kWidestSheet = 16384;
  const std::int64_t held = scans > 0 ? std::int64_t(doc.value_capacity) / scans : 0;
  const int declared = column_count_or(doc, 0);
  const int columns =
      declared > 0 ? int(std::min<std::int64_t>(declared, std::max(kWidestSheet, held))) : 0;
  if (std::int64_t(columns) * scans > doc.value_capacity) scans = 0;

  lines(out, {"TABLE", "0,1", "\"TABELNAAM\"", "VECTORS"});
  out.put("0," + std::to_string(columns));
  out.end_line();
  lines(out, {"\"\"", "TUPLES"});
  out.put("0," + std::to_string(std::int64_t(scans) + 4));
  out.end_line();
  lines(out, {"\"\"", "DATA", "0,0", "\"\"", "-1,0", "BOT"});
  if (columns > 0) {
    for (int c = 1; c <= columns; ++c) label(out, column_label(doc, c, 1));
    lines(out, {"-1,0", "BOT"});
    for (int c = 1; c <= columns; ++c) label(out, column_label(doc, c, 0));
  }
  const NumberFormat six{'f', 0, 6};
  NumberText text;
  for (int s = 1; s <= scans; ++s) {
    lines(out, {"-1,0", "BOT"});
    for (int c = 1; c <= columns; ++c) {
      const double v = data_value(doc, c, s);
      double w = 0;
      if (c <= kMaxColumns && column_void(doc, c, &w) && dif_void(v, w)) {
        label(out, " ");
        continue;
      }
      format_core(six, v, text);
      out.put("0,");
      out.put_unpadded(text);
      out.end_line();
      out.put('V');
      out.end_line();
    }
  }
  lines(out, {"-1,0", "EOD"});
}

} // namespace
} // namespace gef

using namespace gef;

int write_dif(const char* filename) try {
  Document* doc = current();
  if (doc == nullptr || filename == nullptr) return 0;
  TargetFile target;
  if (!target.open(filename)) return 0;
  bool written = false;
  {
    Output out(target.file(), true);
    write_table(*doc, out);
    written = out.flush();
  }
  return written && target.commit() ? 1 : 0;
}
GEF_CATCH(0)
