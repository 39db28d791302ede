// SPDX-License-Identifier: MIT
// The data block writer: plain or separated text, or little-endian binary records.
//
// Every value goes through one formatter into one output buffer; a void cell whose text would no
// longer read as void is written as the void value itself, so a round trip keeps it void.
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "diagnostics/error_list.h"
#include "document/columns.h"
#include "document/convert.h"
#include "document/number_chars.h"
#include "document/store.h"
#include "reader/binary_data.h"
#include "writer/writer.h"

namespace gef {
namespace {

constexpr std::size_t kScanTextKept = 1022; // the reader refuses longer per-scan texts
constexpr int kDirectPrecision = 40;        // decimals put_directly takes
constexpr int kDirectWidth = 1024;          // and field width

// How one column's values are written, and where they are.
struct ColumnFormat {
  NumberFormat format{'e', 10, 4};
  bool has_void = false;
  double void_value = 0;
  // Values outside [void_low, void_high] never match the void value, so most values skip the
  // division of the match rule; the bounds are wider than the rule's and fail for NaN.
  double void_low = 0;
  double void_high = 0;
  const double* values = nullptr;
  // The format's digits come straight from to_chars (see put_directly).
  bool direct = false;
  std::chars_format style = std::chars_format::scientific;
};

std::vector<ColumnFormat> column_formats(Document& doc, int columns, bool report_format) {
  std::vector<ColumnFormat> out(static_cast<std::size_t>(columns));
  for (int c = 1; c <= columns; ++c) {
    ColumnFormat& f = out[std::size_t(c - 1)];
    if (report_format) f.format = output_format(doc, c).value_or(NumberFormat{});
    f.has_void = column_void(doc, c, &f.void_value);
    const double w = std::fabs(f.void_value);
    const double margin = w < kVoidThreshold ? w : 2e-10 * w;
    f.void_low = f.void_value - margin;
    f.void_high = f.void_value + margin;
    if (doc.scan_count > 0) f.values = column_values(doc, c);
    const char letter = f.format.letter;
    f.direct = (letter == 'e' || letter == 'f' || letter == 'g') && f.format.precision >= 0 &&
               f.format.precision <= kDirectPrecision && f.format.width >= 0 &&
               f.format.width <= kDirectWidth;
    f.style = letter == 'e'   ? std::chars_format::scientific
              : letter == 'f' ? std::chars_format::fixed
                              : std::chars_format::general;
  }
  return out;
}

// The common case written straight into the output, as format_core would give it: a finite
// value far from the void value, in a lower-case format of a few decimals. False when the value
// is left to format_value, with nothing written.
bool put_directly(Output& out, const ColumnFormat& column, double v, std::size_t width) {
  if (!column.direct || !std::isfinite(v) ||
      (column.has_void && v >= column.void_low && v <= column.void_high))
    return false;
  constexpr std::size_t kRoom = 64; // a value beyond it takes the general path
  char* at = out.room(kRoom + width);
  const auto r = to_chars(at, at + kRoom, v, column.style, column.format.precision);
  if (r.ec != std::errc()) return false;
  std::size_t n = std::size_t(r.ptr - at);
  if (n < width) {
    std::memmove(at + (width - n), at, n);
    std::memset(at, ' ', width - n);
    n = width;
  }
  out.advance(n);
  return true;
}

// Formats `v`; a void value keeps reading as void.
void format_value(const ColumnFormat& column, double v, NumberText& text) {
  format_core(column.format, v, text);
  if (!column.has_void || !(v >= column.void_low && v <= column.void_high) ||
      !matches_void(v, column.void_value, kVoidThreshold))
    return;
  double back = 0;
  parse_double(text.text, text.text + text.length, &back);
  if (matches_void(back, column.void_value, kVoidThreshold)) return;
  const std::string shortest = shortest_text(column.void_value);
  std::memcpy(text.text, shortest.data(), shortest.size());
  text.length = shortest.size();
  text.zeros = 0;
}

// The text layouts. Plain: every value padded to its width and followed by a blank. Separated
// (a column or record separator is given): every value followed by the column separator, then
// the scan's text and the record separator; with a report format, padding is dropped.
void write_text(Document& doc, Output& out, int columns, bool report_format, bool separated) {
  const Entry& colsep = entry(doc, KW_COLUMNSEPARATOR, 0);
  const Entry& recsep = entry(doc, KW_RECORDSEPARATOR, 0);
  const Entry& texts = entry(doc, KW_COLUMNTEXT, 0);
  const char separator = colsep.present != 0 ? colsep.field[0].c : ' ';
  const char record_end = recsep.present != 0 ? recsep.field[0].c : ' ';
  const bool with_texts = texts.present != 0 && texts.field[0].i == 1;
  const std::vector<ColumnFormat> formats = column_formats(doc, columns, report_format);
  const bool unpadded = separated && report_format;
  NumberText text;
  for (int s = 1; s <= doc.scan_count; ++s) {
    for (int c = 1; c <= columns; ++c) {
      const ColumnFormat& f = formats[std::size_t(c - 1)];
      const int width = unpadded ? 0 : f.format.width;
      if (!put_directly(out, f, f.values[s - 1], std::size_t(width))) {
        format_value(f, f.values[s - 1], text);
        out.put_number(width, text);
      }
      out.put(separator);
    }
    if (separated) {
      if (with_texts && std::size_t(s) <= library().column_texts.size() &&
          library().column_texts[std::size_t(s - 1)] != nullptr)
        out.put(scan_text(library().column_texts[std::size_t(s - 1)],
                          recsep.present != 0 ? record_end : '\0'));
      out.put(record_end);
    }
    out.end_line();
  }
}

// A value as an integer of the binary layout: 0.1 towards larger magnitude, then truncated, so
// that 2.9999999 gives 3 and -1.0 gives -1; out of range saturates and NaN gives 0.
template <typename T> T to_integer(double v) {
  if (std::isnan(v)) return 0;
  const double t = std::trunc(v < 0 ? v - 0.1 : v + 0.1);
  if (t <= double(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
  if (t >= double(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
  return T(t);
}

template <typename Bits> void put_little_endian(unsigned char* p, Bits bits) {
  for (std::size_t i = 0; i < sizeof bits; ++i) p[i] = static_cast<unsigned char>(bits >> (8 * i));
}

void put_element(unsigned char* p, ElementType type, double v) {
  switch (type) {
  case ElementType::INT2:
    put_little_endian(p, static_cast<std::uint16_t>(to_integer<std::int16_t>(v)));
    break;
  case ElementType::INT4:
    put_little_endian(p, static_cast<std::uint32_t>(to_integer<std::int32_t>(v)));
    break;
  case ElementType::REAL4: {
    const float f = static_cast<float>(v);
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    put_little_endian(p, bits);
    break;
  }
  case ElementType::REAL8: {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    put_little_endian(p, bits);
    break;
  }
  case ElementType::UNKNOWN: break;
  }
}

int write_binary(Document& doc, Output& out, int columns) {
  const Entry& type_entry = entry(doc, KW_DATATYPE, 0);
  if (type_entry.present == 0 || (type_entry.bits & 1u) == 0) {
    InputModeScope text(doc, STRING);
    const void* args[kMaxFields] = {"DOUBLE"};
    store_keyword(doc, KW_DATATYPE, "DATATYPE", args);
  }
  const ElementType type = element_type(doc);
  if (type == ElementType::UNKNOWN) {
    const char* name = entry(doc, KW_DATATYPE, 0).field[0].s;
    const std::string message =
        std::string("Unknown data type ") + (name != nullptr ? name : "") + ": no data written";
    report_text(doc, ERR_DATA_NOTE, message.c_str(), 0, 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  int scans = doc.scan_count;
  const Entry& last = entry(doc, KW_LASTSCAN, 0);
  if (last.present != 0 && last.field[0].i < scans)
    scans = last.field[0].i < 0 ? 0 : last.field[0].i;
  const std::size_t size = std::size_t(element_size(type));
  std::unique_ptr<unsigned char[]> record(new (std::nothrow) unsigned char[size * columns + 1]);
  if (!record) {
    report_keyword(doc, ERR_OUT_OF_MEMORY, kNameColumns, int(size * columns / 1024), 0,
                   LEVEL_GEF_SEVERE);
    return 0;
  }
  for (int s = 1; s <= scans; ++s) {
    for (int c = 1; c <= columns; ++c)
      put_element(record.get() + size * std::size_t(c - 1), type, data_value(doc, c, s));
    out.put(reinterpret_cast<const char*>(record.get()), size * std::size_t(columns));
  }
  return 1;
}

} // namespace

std::string scan_text(const char* text, char record_separator) {
  std::string out(text);
  if (out.size() > kScanTextKept) out.resize(kScanTextKept);
  for (char& c : out)
    if (c == '\n' || c == '\r' || (record_separator != '\0' && c == record_separator)) c = ' ';
  return out;
}

int write_data_block(Document& doc, Output& out) {
  const Entry& column = entry(doc, KW_COLUMN, 0);
  if (column.present == 0) {
    report_text(doc, ERR_UNKNOWN_COLUMN_COUNT, "", 0, 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  if (doc.data_present == 0) {
    report_text(doc, ERR_UNKNOWN_SCAN_COUNT, "", 0, 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  const int columns = column.field[0].i;
  const Entry& format = entry(doc, KW_DATAFORMAT, 0);
  if (format.present != 0 &&
      (equals_nocase(format.field[0].s, "BINAIR") || equals_nocase(format.field[0].s, "BINARY")))
    return write_binary(doc, out, columns);
  const bool report_format = entry(doc, KW_REPORTDATAFORMAT, 0).present != 0;
  write_text(doc, out, columns, report_format,
             entry(doc, KW_RECORDSEPARATOR, 0).present != 0 ||
                 entry(doc, KW_COLUMNSEPARATOR, 0).present != 0);
  return 1;
}

} // namespace gef
