// SPDX-License-Identifier: MIT
// The header writer: every keyword line in the format's fixed order, with its written defaults.
//
// Lines are built as texts and handed to the output whole. A field is only ever left out at the
// end of a line: a missing field before a given one is written empty, so no later field moves.
#include <cmath>
#include <cstring>
#include <ctime>
#include <initializer_list>
#include <utility>

#include "conformance/header_rules.h"
#include "document/columns.h"
#include "document/convert.h"
#include "writer/writer.h"

namespace gef {
namespace {

constexpr const char* kUnknown = "Unfortunately unknown";
const NumberFormat kMinMax{'e', 11, 4};

bool given(const Entry& e, int k) { return k < 8 && (e.bits >> k & 1u) != 0; }

std::string text(const Entry& e, int k) { return given(e, k) ? field_text(e.field[k].s) : ""; }

std::string integer(std::int32_t v) { return std::to_string(v); }

bool same_value(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
}

// A header number in the line's own format (%f or %lg) when that text reads back as the stored
// value, else the shortest text that does.
std::string number(double v, char letter) {
  const std::string text = format_number(NumberFormat{letter, 0, 6}, v);
  if (same_value(text_to_double(text.c_str()), v)) return text;
  return shortest_text(v);
}

std::string number(float v) {
  const std::string text = format_number(NumberFormat{'f', 0, 6}, v);
  const float back = text_to_float(text.c_str());
  if (same_value(back, v)) return text;
  return shortest_text(v);
}

// A value with the decimals of its coordinate; an accuracy keeps its value.
std::string coordinate(double v, int decimals, bool exact) {
  std::string text = format_number(NumberFormat{'f', 0, decimals}, v);
  if (exact && !same_value(text_to_double(text.c_str()), v)) text = shortest_text(v, true);
  return text;
}

// Optional parts of a line: written up to the last one given, those before it empty if not given.
using Part = std::pair<bool, std::string>;
void tail(std::string& line, std::initializer_list<Part> parts) {
  std::size_t last = 0, i = 0;
  for (const Part& p : parts) {
    ++i;
    if (p.first) last = i;
  }
  i = 0;
  for (const Part& p : parts) {
    if (++i > last) break;
    line += ", ";
    if (p.first) line += p.second;
  }
}

// The `#STRUCTURETEXT=` or `#STRUCTURETYPE=` line attached to keyword `code`, when present.
void structure_line(Document& doc, Output& out, int area, int code) {
  const Entry& e = entry(doc, area, code);
  if (e.present == 0) return;
  const int fields = keyword_info(area).field_count;
  int last = 0;
  for (int k = 0; k < fields; ++k)
    if (e.field[k].s != nullptr && e.field[k].s[0] != '\0') last = k + 1;
  std::string line = std::string("#") + keyword_info(area).name + "=";
  // An empty first field leaves the equals sign directly before the next field's comma;
  // empty later fields keep their places.
  for (int k = 0; k < last; ++k) {
    const std::string field = field_text(e.field[k].s);
    if (k > 0)
      line += ", ";
    else if (!field.empty())
      line += " ";
    line += field;
  }
  out.put(line);
  out.end_line();
}

void structure_lines(Document& doc, Output& out, int code) {
  structure_line(doc, out, KW_STRUCTURETEXT, code);
  structure_line(doc, out, KW_STRUCTURETYPE, code);
}

// The format of the min/max values of column `c` (0 or beyond the columns: the default).
NumberFormat minmax_format(Document& doc, int c) {
  if (entry(doc, KW_REPORTDATAFORMAT, 0).present == 0) return kMinMax;
  return output_format(doc, c).value_or(kMinMax);
}

void code_line(std::string& line, const Entry& e) {
  line += text(e, 0) + ", " + integer(e.field[1].i) + ", " + integer(e.field[2].i) + ", " +
          integer(e.field[3].i);
  if (given(e, 4)) line += ", " + text(e, 4);
}

void relation_line(std::string& line, const Entry& e) {
  line += text(e, 0);
  const bool value = given(e, 1);
  tail(line, {{value, number(e.field[1].d, 'g')},
              {value || given(e, 2), text(e, 2)},
              {value || given(e, 3), text(e, 3)},
              {given(e, 4), integer(e.field[4].i)},
              {given(e, 5), text(e, 5)}});
}

void time_line(std::string& line, const Entry& e) {
  line += integer(e.field[0].i);
  if (given(e, 1) || given(e, 2)) {
    line += ", " + integer(e.field[1].i);
    if (given(e, 2)) line += ", " + text(e, 2);
  } else {
    line += ", 1, s";
  }
}

// The accuracies are written as a pair after a given accuracy of X; one that is not written
// does not set its coordinate's decimals either, or a reread would write them differently.
void xyid_line(std::string& line, const Entry& e) {
  const double ax = given(e, 3) ? e.field[3].d : 0.0;
  const double ay = given(e, 3) && given(e, 4) ? e.field[4].d : 0.0;
  const int dx = coordinate_decimals(e.field[1].d, ax);
  const int dy = coordinate_decimals(e.field[2].d, ay);
  line += integer(e.field[0].i) + ", " + coordinate(e.field[1].d, dx, false) + ", " +
          coordinate(e.field[2].d, dy, false);
  if (given(e, 3))
    line += ", " + coordinate(e.field[3].d, dx, true) + ", " + coordinate(e.field[4].d, dy, true);
}

// Z is written even when not given, so its accuracy is too: a reread finds Z given and would
// otherwise add the accuracy on the next write.
void zid_line(std::string& line, const Entry& e) {
  const int dz = coordinate_decimals(e.field[1].d, given(e, 2) ? e.field[2].d : 0.0);
  line += integer(e.field[0].i) + ", " + coordinate(e.field[1].d, dz, false);
  line += ", " + coordinate(e.field[2].d, dz, true);
}

std::string minmax(Document& doc, int column, double min, double max) {
  const NumberFormat f = minmax_format(doc, column);
  return format_number(f, min) + ", " + format_number(f, max);
}

// The text after the tag of keyword `code` for its entry `e` in slot `slot` (1-based).
std::string line_of(Document& doc, int code, int slot, const Entry& e) {
  std::string line;
  const std::string n = integer(slot);
  switch (code) {
  case KW_GEFID:
    line = (given(e, 0) ? integer(e.field[0].i) : "2") + ", " +
           (given(e, 1) ? integer(e.field[1].i) : "0") + ", " +
           (given(e, 2) ? integer(e.field[2].i) : "0");
    break;
  case KW_FILEOWNER: line = given(e, 0) ? text(e, 0) : kUnknown; break;
  case KW_FILEDATE:
  case KW_STARTDATE: {
    std::int32_t date[3] = {e.field[0].i, e.field[1].i, e.field[2].i};
    if (code == KW_FILEDATE && (e.bits & 7u) != 7u) {
      const std::time_t now = std::time(nullptr);
      if (const std::tm* today = std::localtime(&now)) {
        const std::int32_t fill[3] = {today->tm_year + 1900, today->tm_mon + 1, today->tm_mday};
        for (int k = 0; k < 3; ++k)
          if (!given(e, k)) date[k] = fill[k];
      }
    }
    line = integer(date[0]) + ", " + integer(date[1]) + ", " + integer(date[2]);
    break;
  }
  case KW_PROJECTID:
    line = given(e, 0) ? text(e, 0) : kUnknown;
    tail(line, {{given(e, 1), text(e, 1)}, {given(e, 2), text(e, 2)}});
    break;
  case KW_COLUMN:
  case KW_COLUMNTEXT:
  case KW_OBJECTID:
  case KW_LASTSCAN:
    line = integer(e.field[0].i);
    if (code == KW_COLUMNTEXT) tail(line, {{given(e, 1), text(e, 1)}});
    break;
  case KW_FIRSTSCAN: line = given(e, 0) ? integer(e.field[0].i) : "1"; break;
  case KW_ROW: line = integer(given(e, 0) ? e.field[0].i : doc.scan_count); break;
  case KW_COLUMNINFO:
    line = n + ", " + text(e, 0) + ", " + text(e, 1);
    if (given(e, 2)) line += ", " + integer(e.field[2].i);
    break;
  case KW_ANALYSISCODE:
  case KW_FILINGCODE:
  case KW_MEASUREMENTCODE:
  case KW_SPECIMENCODE:
  case KW_PROCEDURECODE:
  case KW_REPORTCODE:
  case KW_SETUPCODE: code_line(line, e); break;
  case KW_ANALYSISTEXT:
  case KW_FILINGTEXT:
  case KW_MEASUREMENTTEXT:
  case KW_SPECIMENTEXT:
  case KW_REPORTTEXT:
  case KW_SETUPTEXT:
    line = n + ", " + text(e, 0);
    if (given(e, 1)) line += ", " + text(e, 1);
    break;
  case KW_ANALYSISVAR:
  case KW_FILINGVAR:
  case KW_MEASUREMENTVAR:
  case KW_SPECIMENVAR:
  case KW_REPORTVAR:
  case KW_SETUPVAR:
    line = n + ", " + number(e.field[0].f) + ", " + text(e, 1);
    if (given(e, 2)) line += ", " + text(e, 2);
    break;
  case KW_COMPANYID: line = text(e, 0) + ", " + text(e, 1) + ", " + integer(e.field[2].i); break;
  case KW_CHILD:
    line = n + ", ";
    relation_line(line, e);
    break;
  case KW_PARENT: relation_line(line, e); break;
  case KW_DATACONVERSION:
    line = n + ", " + integer(e.field[0].i) + ", " + integer(e.field[1].i) + ", " + text(e, 2) +
           ", " + text(e, 3) + ", " + text(e, 4);
    tail(line, {{given(e, 5), text(e, 5)},
                {given(e, 6), integer(e.field[6].i)},
                {given(e, 7), text(e, 7)}});
    break;
  case KW_COMMENT:
  case KW_DATAFORMAT:
  case KW_DATATYPE:
  case KW_EQUIPMENT:
  case KW_TESTID:
  case KW_PROJECTNAME:
  case KW_REPORTDATAFORMAT:
  case KW_OS:
  case KW_LANGUAGE: line = text(e, 0); break;
  case KW_COLUMNAMPLIFIER:
    line = n + ", " + number(e.field[0].f) + ", " + number(e.field[1].f);
    tail(line, {{given(e, 2), integer(e.field[2].i)},
                {given(e, 3), integer(e.field[3].i)},
                {given(e, 4), text(e, 4)}});
    break;
  case KW_COLUMNVOID: line = n + ", " + number(e.field[0].d, 'f'); break;
  case KW_COLUMNMINMAX: line = n + ", " + minmax(doc, slot, e.field[0].d, e.field[1].d); break;
  case KW_COLUMNOFFSET:
    line = n + ", " + integer(e.field[0].i) + ", " +
           (given(e, 1) ? number(e.field[1].d, 'g') + " " : std::string("0.0"));
    break;
  case KW_COLUMNSEPARATOR:
  case KW_RECORDSEPARATOR: line = std::string(1, e.field[0].c); break;
  case KW_COLUMNPOWERSUPPLY:
    line = n + ", " + number(e.field[0].f) + ", " + number(e.field[1].f) + ", " +
           integer(e.field[2].i);
    if (given(e, 3)) line += ", " + text(e, 3);
    break;
  case KW_XYID: xyid_line(line, e); break;
  case KW_ZID: zid_line(line, e); break;
  case KW_SCANTIME: line = number(e.field[0].f) + ", " + integer(e.field[1].i); break;
  case KW_STARTTIME:
    line = integer(e.field[0].i) + ", " + integer(e.field[1].i) + ", " + number(e.field[2].f);
    break;
  case KW_TIMECOLUMN:
  case KW_QNTIME: time_line(line, e); break;
  case KW_QNVOID: line = integer(e.field[0].i) + ", " + number(e.field[1].d, 'f'); break;
  case KW_QNMINMAX:
    line = integer(e.field[0].i) + ", " +
           minmax(doc, column_of_quantity(doc, e.field[0].i), e.field[1].d, e.field[2].d);
    break;
  default: break;
  }
  return line;
}

} // namespace

std::string field_text(const char* text) {
  std::string out;
  if (text == nullptr) return out;
  for (std::size_t i = 0; text[i] != '\0'; ++i) {
    char c = text[i];
    if (c == '\n' || c == '\r') c = ' ';
    if (c == ',' || c == '#') {
      // The reader takes a terminator after one or three backslashes as escaped.
      int slashes = 0;
      while (slashes < 3 && slashes < int(i) && text[i - slashes - 1] == '\\') ++slashes;
      if (slashes != 1 && slashes != 3) out += '\\';
    }
    out += c;
  }
  constexpr std::size_t kKept = 1023;
  if (out.size() > kKept) out.resize(kKept);
  if (!out.empty() && out.back() == '\\') out += ' ';
  return out;
}

int coordinate_decimals(double value, double accuracy) {
  if (accuracy >= 0 && accuracy < 1e-10) {
    const std::string text = format_number(NumberFormat{'f', 0, 6}, value);
    const std::size_t point = text.find('.');
    if (point == std::string::npos) return 0;
    const std::size_t last = text.find_last_not_of('0');
    return last > point ? int(last - point) : 0;
  }
  if (!(accuracy <= 0.99999) || accuracy < 0) return 0;
  double threshold = 9.9999e-10;
  int decimals = 10;
  while (accuracy > threshold) {
    threshold *= 10;
    --decimals;
  }
  return decimals;
}

void write_header(Document& doc, Output& out) {
  for (const int code : write_order()) {
    if (!keyword_allowed(doc, code)) continue;
    const KeywordInfo& kw = keyword_info(code);
    const std::string tag = std::string("#") + kw.name + "= ";
    bool first = true;
    for (int slot = 1; slot <= kw.capacity; ++slot) {
      const Entry& e = entry(doc, code, slot - 1);
      if (e.present == 0) continue;
      if (first && code != KW_GEFID) structure_lines(doc, out, code);
      out.put(tag);
      out.put(line_of(doc, code, slot, e));
      out.end_line();
      if (first && code == KW_GEFID) structure_lines(doc, out, code);
      first = false;
    }
  }
  out.put("#EOH=");
  out.end_line();
}

} // namespace gef
