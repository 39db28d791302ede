// SPDX-License-Identifier: MIT
// The header rules: mandatory keywords, column keywords, the general rules and the version rule.
#include "conformance/header_rules.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "diagnostics/error_list.h"
#include "document/columns.h"
#include "document/store.h"
#include "reader/binary_data.h"

namespace gef {
namespace {

constexpr int kSlots = 250; // QNVOID, QNMINMAX
constexpr int kFormatFieldMax = 15;
constexpr int kFormatScanMax = 1024;

bool one_of(const char* value, std::initializer_list<const char*> names) {
  for (const char* name : names)
    if (equals_nocase(value, name)) return true;
  return false;
}

// Records findings and remembers whether any of them fails the rule set.
struct Findings {
  Document& doc;
  bool failed = false;
  int worst = 0; // most serious level recorded, 0 for none

  void keyword(int code, int kw, int first, int second, Level level, bool fails = true) {
    report_keyword(doc, code, kw, first, second, level);
    note(level, fails);
  }
  void text(int code, const std::string& text, Level level) {
    report_text(doc, code, text.c_str(), 0, 0, level);
    note(level, true);
  }
  void note(Level level, bool fails) {
    failed = failed || fails;
    if (worst == 0 || level < worst) worst = level;
  }
  // Every field from `first` to `last` that the entry lacks.
  void missing(int code, int kw, int serial, const Entry& e, int first, int last, Level level) {
    for (int f = first; f <= last; ++f)
      if (!has_field(e, f)) keyword(code, kw, serial, f, level);
  }
};

// How many of the first `count` entries of keyword `kw` a rule must visit: those beyond the
// highest one stored since the last reset are absent, and skipping them keeps the rules cheap.
int visited(const Document& doc, int kw, int count) {
  const int used = doc.used[keyword_info(kw).area];
  return used < count ? used : count;
}

// Column count used by the rules: without one, every column that may be stored.
int rule_columns(Document& doc) { return column_count_or(doc, kMaxColumns); }

// Lowest column among 1..columns whose COLUMNINFO quantity number is `qn`, 0 when there is none.
// It differs from the document's column_of_quantity on purpose: the header rules pass 250 columns
// when COLUMN is absent, and take a COLUMNINFO's stored quantity number whether given or not, as
// the QNTIME, QNVOID and QNMINMAX findings always have.
int header_column_of_quantity(Document& doc, int qn, int columns) {
  const int last = visited(doc, KW_COLUMNINFO, columns < kMaxColumns ? columns : kMaxColumns);
  for (int c = 1; c <= last; ++c) {
    const Entry& info = entry(doc, KW_COLUMNINFO, c - 1);
    if (info.present != 0 && info.field[2].i == qn) return c;
  }
  return 0;
}

// Guarded rules first ask the version rule: a keyword the GEFID does not allow is only named.
bool not_supported(Findings& out, int kw, int count) {
  if (keyword_allowed(out.doc, kw)) return false;
  for (int i = 0, stored = visited(out.doc, kw, count); i < stored; ++i) {
    if (entry(out.doc, kw, i).present != 0) {
      out.keyword(ERR_KEYWORD_NOT_SUPPORTED, kw, 0, 1, LEVEL_GEF_INFORMATION, false);
      return true;
    }
  }
  return false;
}

// A single keyword present without some of fields first..last.
void single_fields(Findings& out, int kw, int first, int last, Level level, int code = 43) {
  const Entry& e = entry(out.doc, kw, 0);
  if (e.present != 0) out.missing(code, kw, 0, e, first, last, level);
}

// Every serial of a numbered keyword present without some of fields first..last.
void serial_fields(Findings& out, int kw, int count, int first, int last, Level level,
                   int code = 43) {
  for (int s = 1, stored = visited(out.doc, kw, count); s <= stored; ++s) {
    const Entry& e = entry(out.doc, kw, s - 1);
    if (e.present != 0) out.missing(code, kw, s, e, first, last, level);
  }
}

void separator_rule(Findings& out, int kw) {
  const Entry& e = entry(out.doc, kw, 0);
  if (e.present == 0) return;
  if (!has_field(e, 1)) {
    out.keyword(ERR_REQUIRED_MISSING, kw, 0, 1, LEVEL_GEF_ERROR);
    return;
  }
  const char c = e.field[0].c;
  const bool reserved = std::strchr("\\#=+-.,DEGdeg0123456789", c) != nullptr && c != '\0';
  if (reserved)
    out.keyword(ERR_INVALID_SEPARATOR, kw, static_cast<unsigned char>(c), 0, LEVEL_GEF_ERROR);
}

// Year, month and day of FILEDATE or STARTDATE.
void date_rule(Findings& out, int kw) {
  const Entry& e = entry(out.doc, kw, 0);
  out.missing(ERR_REQUIRED_MISSING, kw, 0, e, 1, 3,
              kw == KW_FILEDATE ? LEVEL_GEF_SEVERE : LEVEL_GEF_MINOR);
  const int year = e.field[0].i, month = e.field[1].i, day = e.field[2].i;
  if (has_field(e, 1) && year < 100) out.keyword(ERR_YEAR_NOT_Y2K, kw, year, 0, LEVEL_GEF_MINOR);
  if (has_field(e, 2) && (month < 1 || month > 12))
    out.keyword(ERR_MONTH_OUT_OF_RANGE, kw, month, 0, LEVEL_GEF_ERROR);
  if (has_field(e, 3) && (day < 1 || day > 31))
    out.keyword(ERR_DAY_OUT_OF_RANGE, kw, day, 0, LEVEL_GEF_ERROR);
  if (!valid_date(has_field(e, 1) ? year : 50, has_field(e, 2) ? month : 99,
                  has_field(e, 3) ? day : 99))
    out.keyword(ERR_DATE_INCORRECT, kw, 0, 0, LEVEL_GEF_ERROR);
}

// CHILD and PARENT: a reference, then value, unit and quantity together.
void relation_rule(Findings& out, int kw, int serial, const Entry& e) {
  if (!has_field(e, 1)) {
    out.keyword(ERR_REQUIRED_MISSING_110, kw, serial, 1, LEVEL_GEF_ERROR);
    return;
  }
  const int given = int(has_field(e, 2)) + int(has_field(e, 3)) + int(has_field(e, 4));
  if (given == 1 || given == 2)
    out.keyword(ERR_VALUE_UNIT_QUANTITY_ALL_OR_NONE, kw, 0, 0, LEVEL_GEF_MINOR);
  else if (given == 3 && has_field(e, 6) && !has_field(e, 5))
    out.keyword(ERR_EARLIER_FIELDS_MISSING, kw, serial, 6, LEVEL_GEF_MINOR);
}

// Seconds rounded for a message; a value beyond the int range is shown at the range's edge
// instead of overflowing the conversion.
int rounded_seconds(float seconds) {
  const double rounded = double(seconds) + 0.5;
  if (rounded >= 2147483647.0) return 2147483647;
  if (rounded <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(rounded);
}

// QNVOID and QNMINMAX slots refer to a quantity number of the header.
void quantity_slots(Findings& out, int kw, int columns) {
  const int last_field = kw == KW_QNVOID ? 2 : 3;
  for (int s = 1, stored = visited(out.doc, kw, kSlots); s <= stored; ++s) {
    const Entry& e = entry(out.doc, kw, s - 1);
    if (e.present == 0) continue;
    if (!has_field(e, 1)) {
      out.keyword(ERR_FIELD_MISSING_200, kw, 0, 1,
                  kw == KW_QNVOID ? LEVEL_GEF_ERROR : LEVEL_GEF_MINOR, false);
      continue;
    }
    const int qn = e.field[0].i;
    if (header_column_of_quantity(out.doc, qn, columns) == 0) {
      out.keyword(ERR_QUANTITY_NOT_IN_HEADER, kw, qn, 1, LEVEL_GEF_MINOR);
      continue;
    }
    for (int f = 2; f <= last_field; ++f)
      if (!has_field(e, f)) out.keyword(ERR_FIELD_MISSING_200, kw, qn, f, LEVEL_GEF_MINOR);
  }
}

// Column counts the special rules use: as declared (COLUMN field 1, 250 without it) and as
// stored (the declared count within 0..250).
struct Columns {
  int declared;
  int stored;
};

const Entry* present(Document& doc, int kw) {
  const Entry& e = entry(doc, kw, 0);
  return e.present != 0 ? &e : nullptr;
}

// The entry of a single keyword present with its field 1 (its table row reports a lack of it).
const Entry* given(Document& doc, int kw) {
  const Entry* e = present(doc, kw);
  return e != nullptr && has_field(*e, 1) ? e : nullptr;
}

void separators_rule(Findings& out, int, const Columns&) {
  separator_rule(out, KW_COLUMNSEPARATOR);
  separator_rule(out, KW_RECORDSEPARATOR);
  const Entry* cs = given(out.doc, KW_COLUMNSEPARATOR);
  const Entry* rs = given(out.doc, KW_RECORDSEPARATOR);
  if (cs != nullptr && rs != nullptr && cs->field[0].c == rs->field[0].c)
    out.keyword(ERR_SEPARATORS_EQUAL, KW_NONE, static_cast<unsigned char>(cs->field[0].c),
                static_cast<unsigned char>(rs->field[0].c), LEVEL_GEF_ERROR);
}

void report_format_rule(Findings& out, int kw, const Columns&) {
  if (given(out.doc, kw) != nullptr && !check_report_data_format(out.doc))
    out.text(ERR_NOTE, "Het rapportdataformatveld bevat ongeldige formats", LEVEL_GEF_MINOR);
}

void data_format_rule(Findings& out, int kw, const Columns&) {
  const Entry* e = given(out.doc, kw);
  if (e != nullptr && !one_of(e->field[0].s, {"ASCII", "BINAIR", "BINARY"}))
    out.text(ERR_NOTE, "Illegal dataformat", LEVEL_GEF_ERROR);
}

void data_type_rule(Findings& out, int kw, const Columns&) {
  const Entry* e = given(out.doc, kw);
  if (e != nullptr && element_type_named(e->field[0].s) == ElementType::UNKNOWN)
    out.text(ERR_NOTE, std::string("Illegal datatype: ") + e->field[0].s, LEVEL_GEF_ERROR);
}

void accuracy_rule(Findings& out, int kw, const Columns&) {
  const Entry* e = present(out.doc, kw);
  if (e != nullptr && has_field(*e, 4) != has_field(*e, 5))
    out.text(ERR_NOTE, "Both accuracies of X and Y must be either given or omitted.\n",
             LEVEL_GEF_WARNING);
}

void time_column_rule(Findings& out, int kw, const Columns& columns) {
  const Entry* e = given(out.doc, kw);
  if (e != nullptr && (e->field[0].i < 1 || e->field[0].i > columns.declared))
    out.keyword(ERR_NUMBER_OUTSIDE_INTERVAL, kw, 1, columns.declared, LEVEL_GEF_ERROR);
}

void start_date_rule(Findings& out, int kw, const Columns&) {
  if (present(out.doc, kw) != nullptr) date_rule(out, kw);
}

void start_time_rule(Findings& out, int kw, const Columns&) {
  if (const Entry* e = present(out.doc, kw)) {
    if (has_field(*e, 1) && (e->field[0].i < 0 || e->field[0].i > 23))
      out.keyword(ERR_HOUR_OUT_OF_RANGE, kw, e->field[0].i, 0, LEVEL_GEF_MINOR);
    if (has_field(*e, 2) && (e->field[1].i < 0 || e->field[1].i > 59))
      out.keyword(ERR_MINUTE_OUT_OF_RANGE, kw, e->field[1].i, 0, LEVEL_GEF_MINOR);
    const float seconds = e->field[2].f;
    if (has_field(*e, 3) && (seconds < 0.0f || seconds > 60.0f))
      out.keyword(ERR_SECOND_OUT_OF_RANGE, kw, rounded_seconds(seconds), 0, LEVEL_GEF_MINOR);
  }
}

void relations_rule(Findings& out, int kw, const Columns&) {
  const int serials = keyword_info(kw).shape == Shape::SINGLE ? 0 : keyword_info(kw).capacity;
  if (serials == 0) {
    if (const Entry* e = present(out.doc, kw)) relation_rule(out, kw, 0, *e);
    return;
  }
  for (int s = 1, stored = visited(out.doc, kw, serials); s <= stored; ++s) {
    const Entry& e = entry(out.doc, kw, s - 1);
    if (e.present != 0) relation_rule(out, kw, s, e);
  }
}

void quantity_time_rule(Findings& out, int kw, const Columns& columns) {
  const Entry* e = given(out.doc, kw);
  if (e != nullptr && header_column_of_quantity(out.doc, e->field[0].i, columns.stored) == 0)
    out.keyword(ERR_QUANTITY_NOT_IN_HEADER, kw, e->field[0].i, 1, LEVEL_GEF_ERROR);
}

void quantity_slots_rule(Findings& out, int kw, const Columns& columns) {
  quantity_slots(out, kw, columns.stored);
}

// One header rule: fields 1..last of every present entry, each missing one reported with `code`
// at `level` (nothing when last is 0), then the keyword's special rule, if any. Adding a keyword
// to the rules is one row here.
struct FieldRule {
  int kw;
  int last;
  Level level; // of a missing field
  int code = ERR_REQUIRED_MISSING;
  void (*special)(Findings&, int kw, const Columns&) = nullptr;
};

// Missing fields of the column keywords, within the column count.
constexpr FieldRule kColumnRules[] = {
    {KW_COLUMNMINMAX, 2, LEVEL_GEF_MINOR},
    {KW_COLUMNVOID, 1, LEVEL_GEF_ERROR},
    {KW_COLUMNOFFSET, 1, LEVEL_GEF_MINOR},
    {KW_COLUMNAMPLIFIER, 2, LEVEL_GEF_MINOR},
};

// The general header rules, in the order they report.
constexpr FieldRule kGeneralRules[] = {
    {KW_COLUMNTEXT, 1, LEVEL_GEF_ERROR},
    {KW_COLUMNSEPARATOR, 0, LEVEL_GEF_ERROR, ERR_REQUIRED_MISSING, separators_rule},
    {KW_PROCEDURECODE, 4, LEVEL_GEF_MINOR},
    {KW_ANALYSISCODE, 4, LEVEL_GEF_MINOR},
    {KW_MEASUREMENTCODE, 4, LEVEL_GEF_MINOR},
    {KW_FILINGCODE, 4, LEVEL_GEF_MINOR},
    {KW_REPORTCODE, 4, LEVEL_GEF_MINOR},
    {KW_SPECIMENCODE, 4, LEVEL_GEF_MINOR},
    {KW_MEASUREMENTVAR, 2, LEVEL_GEF_MINOR},
    {KW_MEASUREMENTTEXT, 1, LEVEL_GEF_MINOR},
    {KW_ANALYSISVAR, 2, LEVEL_GEF_MINOR},
    {KW_ANALYSISTEXT, 1, LEVEL_GEF_MINOR},
    {KW_FILINGVAR, 2, LEVEL_GEF_MINOR},
    {KW_FILINGTEXT, 1, LEVEL_GEF_MINOR},
    {KW_SPECIMENVAR, 2, LEVEL_GEF_MINOR},
    {KW_SPECIMENTEXT, 1, LEVEL_GEF_MINOR},
    {KW_REPORTVAR, 2, LEVEL_GEF_MINOR},
    {KW_REPORTTEXT, 1, LEVEL_GEF_MINOR},
    {KW_REPORTDATAFORMAT, 1, LEVEL_GEF_MINOR, ERR_REQUIRED_MISSING, report_format_rule},
    {KW_COMPANYID, 3, LEVEL_GEF_MINOR},
    {KW_PROJECTNAME, 1, LEVEL_GEF_MINOR},
    {KW_DATAFORMAT, 1, LEVEL_GEF_ERROR, ERR_REQUIRED_MISSING, data_format_rule},
    {KW_DATATYPE, 1, LEVEL_GEF_MINOR, ERR_REQUIRED_MISSING, data_type_rule},
    {KW_FIRSTSCAN, 1, LEVEL_GEF_WARNING},
    {KW_OBJECTID, 1, LEVEL_GEF_MINOR},
    {KW_EQUIPMENT, 1, LEVEL_GEF_MINOR},
    {KW_TESTID, 1, LEVEL_GEF_MINOR},
    {KW_XYID, 3, LEVEL_GEF_MINOR, ERR_REQUIRED_MISSING, accuracy_rule},
    {KW_ZID, 2, LEVEL_GEF_MINOR},
    {KW_TIMECOLUMN, 1, LEVEL_GEF_MINOR, ERR_REQUIRED_MISSING, time_column_rule},
    {KW_STARTDATE, 0, LEVEL_GEF_MINOR, ERR_REQUIRED_MISSING, start_date_rule},
    {KW_STARTTIME, 3, LEVEL_GEF_MINOR, ERR_REQUIRED_MISSING, start_time_rule},
    {KW_SCANTIME, 2, LEVEL_GEF_MINOR},
    {KW_OS, 1, LEVEL_GEF_ERROR},
    {KW_LANGUAGE, 1, LEVEL_GEF_MINOR},
    {KW_CHILD, 0, LEVEL_GEF_ERROR, ERR_REQUIRED_MISSING, relations_rule},
    {KW_PARENT, 0, LEVEL_GEF_ERROR, ERR_REQUIRED_MISSING, relations_rule},
    {KW_DATACONVERSION, 4, LEVEL_GEF_MINOR, ERR_REQUIRED_MISSING_110},
    {KW_QNTIME, 1, LEVEL_GEF_MINOR, ERR_REQUIRED_FOR_GEFID, quantity_time_rule},
    {KW_QNVOID, 0, LEVEL_GEF_MINOR, ERR_REQUIRED_MISSING, quantity_slots_rule},
    {KW_QNMINMAX, 0, LEVEL_GEF_MINOR, ERR_REQUIRED_MISSING, quantity_slots_rule},
    {KW_SETUPCODE, 4, LEVEL_GEF_MINOR, ERR_REQUIRED_FOR_GEFID},
    {KW_SETUPTEXT, 1, LEVEL_GEF_MINOR, ERR_REQUIRED_FOR_GEFID},
    {KW_SETUPVAR, 2, LEVEL_GEF_MINOR, ERR_REQUIRED_FOR_GEFID},
    {KW_ROW, 1, LEVEL_GEF_MINOR, ERR_REQUIRED_FOR_GEFID},
};

} // namespace

Completeness check_header_completeness(Document& doc) {
  int worst = 100;
  auto lack = [&](int kw, int first, int second, Level level, int counts_as) {
    report_keyword(doc, ERR_REQUIRED_MISSING, kw, first, second, level);
    if (counts_as < worst) worst = counts_as;
  };

  const Entry& gefid = entry(doc, KW_GEFID, 0);
  if (gefid.present == 0) {
    report_keyword(doc, ERR_GEFID_MISSING, KW_GEFID, 0, 0, LEVEL_GEF_SEVERE);
    worst = 1;
  } else {
    for (int f = 1; f <= 3; ++f)
      if (!has_field(gefid, f)) lack(KW_GEFID, 0, f, LEVEL_GEF_SEVERE, 1);
  }

  const Entry& column = entry(doc, KW_COLUMN, 0);
  int columns = 0;
  if (column.present == 0) {
    lack(KW_COLUMN, 0, 0, LEVEL_GEF_SEVERE, 1);
  } else if (!has_field(column, 1)) {
    lack(KW_COLUMN, 0, 1, LEVEL_GEF_SEVERE, 1);
  } else {
    columns = column.field[0].i;
  }
  // Columns beyond the storage never have a COLUMNINFO; past what the error list can hold,
  // looking further would only spend time.
  const int last = std::min(columns, kMaxColumns + kMaxErrors);
  for (int c = 1; c <= last; ++c) {
    if (c > kMaxColumns) {
      lack(KW_COLUMNINFO, c, 0, LEVEL_GEF_SEVERE, 1);
      continue;
    }
    const Entry& info = entry(doc, KW_COLUMNINFO, c - 1);
    if (info.present == 0) {
      lack(KW_COLUMNINFO, c, 0, LEVEL_GEF_SEVERE, 1);
      continue;
    }
    if (!has_field(info, 1)) lack(KW_COLUMNINFO, c, 1, LEVEL_GEF_SEVERE, 1);
    if (!has_field(info, 2)) lack(KW_COLUMNINFO, c, 2, LEVEL_GEF_SEVERE, 1);
    if (!has_field(info, 3)) lack(KW_COLUMNINFO, c, 3, LEVEL_GEF_INFORMATION, 3);
  }

  bool binary_lack = false;
  const Entry& format = entry(doc, KW_DATAFORMAT, 0);
  if (format.present != 0 && one_of(format.field[0].s, {"BINAIR", "BINARY"})) {
    const Entry& type = entry(doc, KW_DATATYPE, 0);
    const Entry& os = entry(doc, KW_OS, 0);
    binary_lack = true;
    if (type.present != 0 && has_field(type, 1) && os.present != 0 && has_field(os, 1)) {
      binary_lack = false;
      if (element_type_named(type.field[0].s) == ElementType::UNKNOWN) {
        report_text(doc, ERR_NOTE, "Illegal datatype", 0, 0, LEVEL_GEF_SEVERE);
        binary_lack = true;
      }
      if (!one_of(os.field[0].s, {"DOS", "UNIX", "BE", "LE"})) {
        report_text(doc, ERR_NOTE, "Illegal OS", 0, 0, LEVEL_GEF_SEVERE);
        binary_lack = true;
      }
    } else {
      report_keyword(doc, ERR_BINARY_NEEDS_TYPE_AND_OS, KW_DATATYPE, 0, 0, LEVEL_GEF_SEVERE);
    }
  }

  doc.plotable = worst > 4 ? 1 : 0;
  doc.header_checked = 1;
  return {worst < 5 ? worst : 0, binary_lack};
}

int check_owner_date_project(Document& doc) {
  Findings out{doc};
  const Entry& owner = entry(doc, KW_FILEOWNER, 0);
  if (owner.present == 0)
    out.keyword(ERR_REQUIRED_MISSING, KW_FILEOWNER, 0, 0, LEVEL_GEF_SEVERE);
  else if (!has_field(owner, 1))
    out.keyword(ERR_REQUIRED_MISSING, KW_FILEOWNER, 0, 1, LEVEL_GEF_SEVERE);
  if (entry(doc, KW_FILEDATE, 0).present == 0)
    out.keyword(ERR_REQUIRED_MISSING, KW_FILEDATE, 0, 0, LEVEL_GEF_SEVERE);
  else
    date_rule(out, KW_FILEDATE);
  const Entry& project = entry(doc, KW_PROJECTID, 0);
  if (project.present == 0)
    out.keyword(ERR_REQUIRED_MISSING, KW_PROJECTID, 0, 0, LEVEL_GEF_SEVERE);
  else if (!has_field(project, 1))
    out.keyword(ERR_REQUIRED_MISSING, KW_PROJECTID, 0, 1, LEVEL_GEF_SEVERE);
  return out.worst;
}

bool check_column_keywords(Document& doc) {
  Findings out{doc};
  const int n = rule_columns(doc);
  const int columns = n < 0 ? 0 : (n > kMaxColumns ? kMaxColumns : n);
  const std::initializer_list<int> per_column = {KW_COLUMNVOID, KW_COLUMNINFO, KW_COLUMNAMPLIFIER,
                                                 KW_COLUMNMINMAX, KW_COLUMNOFFSET};
  int last = 0;
  for (int kw : per_column) last = std::max(last, visited(doc, kw, kMaxColumns));
  for (int c = columns + 1; c <= last; ++c)
    for (int kw : per_column)
      if (entry(doc, kw, c - 1).present != 0)
        out.keyword(ERR_SERIAL_NOT_ALLOWED, kw, c, n, LEVEL_GEF_WARNING);
  for (const FieldRule& rule : kColumnRules)
    serial_fields(out, rule.kw, columns, 1, rule.last, rule.level, rule.code);
  return !out.failed;
}

bool check_general_header_rules(Document& doc) {
  Findings out{doc};
  const int n = rule_columns(doc);
  const Columns columns{n, n < 0 ? 0 : (n > kMaxColumns ? kMaxColumns : n)};
  for (const FieldRule& rule : kGeneralRules) {
    const KeywordInfo& kw = keyword_info(rule.kw);
    // Every keyword asks the version rule; one that every version allows is never refused.
    if (not_supported(out, rule.kw, kw.capacity)) continue;
    if (rule.last > 0 && kw.shape == Shape::SINGLE)
      single_fields(out, rule.kw, 1, rule.last, rule.level, rule.code);
    else if (rule.last > 0)
      serial_fields(out, rule.kw, kw.capacity, 1, rule.last, rule.level, rule.code);
    if (rule.special != nullptr) rule.special(out, rule.kw, columns);
  }
  return !out.failed;
}

bool keyword_allowed(const Document& doc, int code) {
  return version_allows(code, gefid_version(doc));
}

bool valid_date(int year, int month, int day) {
  static const int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) return false;
  if (month != 2 || day < 29) return true;
  const bool leap = year % 400 == 0 || (year % 100 != 0 && year % 4 == 0);
  return leap;
}

bool check_report_data_format(Document& doc) {
  const char* text = entry(doc, KW_REPORTDATAFORMAT, 0).field[0].s;
  if (text == nullptr) return true;
  bool ok = true;
  const std::size_t length = std::min<std::size_t>(std::strlen(text), kFormatScanMax);
  for (std::size_t i = 0; i < length;) {
    while (i < length && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    const std::size_t start = i;
    while (i < length && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i == start) continue; // white space only: no field to judge
    const std::string_view field(text + start, i - start);
    if (field.size() > kFormatFieldMax || !valid_format_field(field)) {
      const std::string shown(field.substr(0, kFormatFieldMax));
      report_text(doc, ERR_INVALID_FORMAT_FIELD, shown.c_str(), 0, 0, LEVEL_GEF_MINOR);
      ok = false;
    }
  }
  return ok;
}

} // namespace gef
