// SPDX-License-Identifier: MIT
// write_gef: prepares the document (the keywords a written file must carry) and writes it.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "api/boundary.h"
#include "diagnostics/error_list.h"
#include "document/store.h"
#include "gef/writer.h"
#include "writer/writer.h"

namespace gef {
namespace {

constexpr std::int32_t kConvertedReportVersion = 1;

// Whether `text` holds `part` (in capitals) in any case; a null text holds nothing.
bool contains_nocase(const char* text, std::string_view part) {
  return text != nullptr && ascii_upper(text).find(part) != std::string::npos;
}

bool text_is(Document& doc, int code, const char* a, const char* b) {
  const Entry& e = entry(doc, code, 0);
  return e.present != 0 && (equals_nocase(e.field[0].s, a) || equals_nocase(e.field[0].s, b));
}

// A converted older CPT report is written with the report version it was converted to, and a
// procedure code in the older form ("CPT-Report") with the name that version is recognised by,
// so the written file reads back as the same report and is not converted a second time.
void record_converted_version(Document& doc) {
  if (library().conversion_stamp == 0) return;
  if (text_is(doc, KW_REPORTCODE, "GEF-CPT-REPORT", "GEF_CPT_REPORT"))
    entry(doc, KW_REPORTCODE, 0).field[2].i = kConvertedReportVersion;
  Entry& procedure = entry(doc, KW_PROCEDURECODE, 0);
  if (procedure.present != 0 && (contains_nocase(procedure.field[0].s, "CPT-REPORT") ||
                                 contains_nocase(procedure.field[0].s, "CPT_REPORT"))) {
    procedure.field[2].i = kConvertedReportVersion;
    if (!text_is(doc, KW_PROCEDURECODE, "GEF-CPT-REPORT", "GEF_CPT_REPORT")) {
      char* name = copy_text("GEF-CPT-Report");
      if (name == nullptr) throw std::bad_alloc();
      std::free(procedure.field[0].s);
      procedure.field[0].s = name;
    }
  }
  library().conversion_stamp = 0;
}

void store_text(Document& doc, int code, const char* value) {
  InputModeScope text(doc, STRING);
  const void* args[kMaxFields] = {value};
  store_keyword(doc, code, keyword_info(code).name, args);
}

// Whether `c` can stand inside a number the writer writes ("-1.5e+03"), or make one the reader
// takes for another: after a 0, an x starts a hexadecimal number.
bool in_numbers(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) || (c != '\0' && std::strchr("+-.eExX", c));
}

// Reports that the separator of `kw` is written as `chosen` instead, for `why`, and stores it.
void replace_separator(Document& doc, int kw, const std::string& chosen, const char* why) {
  const std::string note = std::string(kw == KW_COLUMNSEPARATOR ? "Column" : "Record") +
                           " separator '" + entry(doc, kw, 0).field[0].c + "' " + why + "; '" +
                           chosen + "' is written instead.";
  report_text(doc, ERR_NOTE, note.c_str(), 0, 0, LEVEL_GEF_MINOR);
  store_text(doc, kw, chosen.c_str());
}

// Whether some per-scan text passes `test`.
template <typename Test> bool any_text(Test test) {
  for (const char* text : library().column_texts)
    if (text != nullptr && test(text)) return true;
  return false;
}

bool texts_contain(char c) {
  return any_text([c](const char* text) { return std::strchr(text, c) != nullptr; });
}

// Whether a per-scan text, as written, would hold the record separator `c`: the writer puts
// blanks for line ends, so a blank separator would end such texts early.
bool texts_hold(char c) {
  return any_text(
      [c](const char* text) { return scan_text(text, c).find(c) != std::string::npos; });
}

// The record separator the writer chooses: the usual "!", or the first of a few others that
// neither the column separator nor a per-scan text holds, so that no text loses a character.
std::string chosen_record_end(Document& doc) {
  const Entry& columns = entry(doc, KW_COLUMNSEPARATOR, 0);
  const char column_end = columns.present != 0 ? columns.field[0].c : '\0';
  for (const char c : {'!', '|', '~', '^', '`'})
    if (c != column_end && !texts_contain(c)) return std::string(1, c);
  return column_end == '!' ? "|" : "!";
}

// The keywords a written file must carry; they stay stored after the write.
void force_keywords(Document& doc, bool binary) {
  if (!text_is(doc, KW_OS, "DOS", "LE")) store_text(doc, KW_OS, "DOS");
  if (binary) {
    if (!text_is(doc, KW_DATAFORMAT, "BINAIR", "BINARY")) store_text(doc, KW_DATAFORMAT, "BINAIR");
    const Entry& type = entry(doc, KW_DATATYPE, 0);
    if (type.present == 0 || (type.bits & 1u) == 0) store_text(doc, KW_DATATYPE, "DOUBLE");
    return;
  }
  if (!text_is(doc, KW_DATAFORMAT, "ASCII", "ASCII")) store_text(doc, KW_DATAFORMAT, "ASCII");
  // A separator that can stand inside a number would split or end values when the file is read
  // again.
  const Entry& columns = entry(doc, KW_COLUMNSEPARATOR, 0);
  const Entry& records = entry(doc, KW_RECORDSEPARATOR, 0);
  if (columns.present != 0 && in_numbers(columns.field[0].c)) {
    const bool taken = records.present != 0 && records.field[0].c == ';';
    replace_separator(doc, KW_COLUMNSEPARATOR, taken ? "|" : ";", "can stand in numbers");
  }
  if (records.present != 0 && in_numbers(records.field[0].c))
    replace_separator(doc, KW_RECORDSEPARATOR, chosen_record_end(doc), "can stand in numbers");
  // Per-scan texts are read back up to a record separator, and from the column separator after
  // the last value: a document that announces them without these (binary data read, or edited)
  // gets them, or its written file would not read, or its texts would gain the blank the last
  // value is written with.
  const Entry& texts = entry(doc, KW_COLUMNTEXT, 0);
  const bool with_texts = texts.present != 0 && texts.field[0].i != 0;
  // Without a column separator (which texts bring below) the reader passes over blanks and line
  // ends after a scan's values, and would never find a record separator among them.
  const char record_end = records.field[0].c;
  if (records.present != 0 && columns.present == 0 && !with_texts &&
      (record_end == ' ' || record_end == '\t' || record_end == '\r' || record_end == '\n'))
    replace_separator(doc, KW_RECORDSEPARATOR, chosen_record_end(doc),
                      "reads as a blank between values");
  if (!with_texts) return;
  if (records.present == 0)
    store_text(doc, KW_RECORDSEPARATOR, chosen_record_end(doc).c_str());
  else if (texts_hold(records.field[0].c))
    replace_separator(doc, KW_RECORDSEPARATOR, chosen_record_end(doc), "stands in per-scan texts");
  if (columns.present == 0)
    store_text(doc, KW_COLUMNSEPARATOR, records.field[0].c == ' ' ? ";" : " ");
}

// Writes header and data; 1 only when both were written in full.
int write_document(Document& doc, Output& out, bool binary) {
  force_keywords(doc, binary);
  int result = 1;
  if (entry(doc, KW_GEFID, 0).present == 0) {
    report_text(doc, ERR_GEFID_MISSING, "", 0, 0, LEVEL_GEF_SEVERE);
    result = 0;
  }
  const Entry& column = entry(doc, KW_COLUMN, 0);
  const std::int64_t columns = column.field[0].i;
  if (column.present == 0 || doc.data_present == 0 || !library().data || columns < 0 ||
      doc.scan_count < 0 || columns * doc.scan_count > doc.value_capacity) {
    report_text(doc, ERR_SIZE_UNKNOWN, "", 0, 0, LEVEL_GEF_SEVERE);
    write_header(doc, out);
    return 0;
  }
  if (columns > kMaxColumns) {
    report_text(doc, ERR_TOO_MANY_COLUMNS, "", std::int32_t(columns), 0, LEVEL_GEF_SEVERE);
    write_header(doc, out);
    return 0;
  }
  write_header(doc, out);
  return write_data_block(doc, out) == 1 ? result : 0;
}

} // namespace
} // namespace gef

using namespace gef;

int write_gef(const char* filename) try {
  Document* doc = current();
  if (doc == nullptr) return 0;
  const char* name = filename != nullptr ? filename : "";
  TargetFile target;
  if (filename == nullptr || !target.open(filename)) {
    report_text(*doc, ERR_FILE_CANNOT_BE_OPENED, name, 0, 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  record_converted_version(*doc);
  const Entry& format = entry(*doc, KW_DATAFORMAT, 0);
  const bool binary = format.present != 0 && format.field[0].s != nullptr &&
                      ascii_upper(std::string_view(format.field[0].s).substr(0, 4)) == "BINA";
  int result = 0;
  bool written = false;
  {
    Output out(target.file(), !binary);
    result = write_document(*doc, out, binary);
    written = out.flush();
  }
  if (!written || !target.commit()) {
    report_text(*doc, ERR_FILE_CANNOT_BE_OPENED, name, 0, 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  return result;
}
GEF_CATCH(0)
