// SPDX-License-Identifier: MIT
// The rule set of boring reports: recognition, report header, samples, NEN5104 header,
// layer descriptions and layer depths.
#include "conformance/bore_rules.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "api/boundary.h"
#include "borecodes/code_table.h"
#include "conformance/header_rules.h"
#include "conformance/quantity_rules.h"
#include "diagnostics/error_list.h"
#include "document/columns.h"
#include "gef/borecodes.h"

namespace gef {
namespace {

constexpr int kSerials = 1500;
constexpr std::size_t kMaxParts = 10;

// Entry of a single keyword, or of serial `serial` of a numbered one.
const Entry& at(Document& doc, int kw, int serial = 1) { return entry(doc, kw, serial - 1); }

// Field 1 of a present entry, as text; null when it is absent or not given.
const char* text_of(const Entry& e) {
  return e.present != 0 && has_field(e, 1) ? e.field[0].s : nullptr;
}

bool names(const Entry& e, const char* dashed, const char* underscored) {
  const char* code = text_of(e);
  return equals_nocase(code, dashed) || equals_nocase(code, underscored);
}

// Release, version and update of a code keyword as one number.
std::int64_t version_of(const Entry& e) {
  return version_number(e.field[1].i, e.field[2].i, e.field[3].i);
}

template <typename... Args> std::string format(const char* pattern, Args... args) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, pattern, args...);
  return buffer;
}

// A rule group with the text and field findings of the boring rules.
struct Group : RuleGroup {
  using RuleGroup::RuleGroup;
  void text(int code, const std::string& text, int first, int second, Level level) {
    report_text(doc, code, text.c_str(), first, second, level);
    held = false;
  }
  // Each of fields first..last a present single keyword lacks.
  void fields(int code, int kw, int first, int last, Level level) {
    const Entry& e = at(doc, kw);
    for (int f = first; f <= last; ++f)
      if (!has_field(e, f)) keyword(code, kw, 0, f, level);
  }
};

// Where the first "-" of a date text stands: no "-" and one before position 4 are the two
// faults the callers report.
enum class DateFault { None, NoDash, Early };
DateFault date_fault(const char* text) {
  const char* dash = std::strchr(text, '-');
  if (dash == nullptr) return DateFault::NoDash;
  return dash - text < 4 ? DateFault::Early : DateFault::None;
}

// A MEASUREMENTTEXT that must be "JA" or "NEE" when it is there.
void yes_no(Group& g, int serial, Level level) {
  const char* answer = text_of(at(g.doc, KW_MEASUREMENTTEXT, serial));
  if (answer != nullptr && !equals_nocase(answer, "JA") && !equals_nocase(answer, "NEE"))
    g.text(ERR_BORE_MEASUREMENTTEXT, "Ja or Nee expected.", serial, 0, level);
}

// ---- report header ---------------------------------------------------------------------------

void separator(Group& g, int kw, char wanted, const char* name, Level absent_level) {
  const Entry& e = at(g.doc, kw);
  if (e.present == 0)
    g.text(ERR_BORE_NOTE, format("Keyword %s is missing.", name), 0, 0, absent_level);
  else if (!has_field(e, 1))
    g.text(ERR_BORE_NOTE, format("Field of %s is missing.", name), 0, 0, LEVEL_STANDARD_SEVERE);
  else if (e.field[0].c != wanted)
    g.text(ERR_BORE_NOTE, format("Field of %s is not equal to '%c'.", name, wanted), 0, 0,
           LEVEL_STANDARD_SEVERE);
}

// A single keyword whose missing fields are named, or the keyword itself when it is absent.
void required_fields(Group& g, int kw, int last, const char* lower_name, Level level) {
  if (at(g.doc, kw).present != 0)
    g.fields(3034, kw, 1, last, level);
  else
    g.text(ERR_BORE_NOTE, format("keyword %s is missing.", lower_name), 0, 0, level);
}

// ---- NEN5104 header ----------------------------------------------------------------------------

bool required_text(Group& g, int serial, const char* label) {
  const Entry& e = at(g.doc, KW_MEASUREMENTTEXT, serial);
  if (e.present != 0 && has_field(e, 1)) return true;
  if (e.present != 0)
    g.keyword(ERR_NEN5104_MISSING, KW_MEASUREMENTTEXT, serial, 1, LEVEL_STANDARD_ERROR);
  else
    g.text(ERR_NEN5104_NOTE, format("Measurementtext %d (%s) is missing.", serial, label), 0, 0,
           LEVEL_STANDARD_ERROR);
  return false;
}

bool nen5104_applies(Document& doc) {
  const char* code = text_of(at(doc, KW_MEASUREMENTCODE));
  if (code == nullptr) return false;
  const std::string upper = ascii_upper(code);
  return upper.find("NEN") != std::string::npos && upper.find("5104") != std::string::npos;
}

// ---- descriptions ------------------------------------------------------------------------------

bool is_blank(char c) { return c == ' ' || c == '\'' || c == '\t'; }

// The first run of characters that are neither blanks nor apostrophes in the first non-empty
// piece of `text` between column separators.
std::string_view code_word(const char* text, char separator) {
  if (text == nullptr) return {};
  std::string_view rest(text);
  std::string_view piece;
  while (piece.empty() && !rest.empty()) {
    const std::size_t end = rest.find(separator);
    piece = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
  std::size_t start = 0;
  while (start < piece.size() && is_blank(piece[start])) ++start;
  std::size_t end = start;
  while (end < piece.size() && !is_blank(piece[end])) ++end;
  return piece.substr(start, end - start);
}

class Parts {
public:
  explicit Parts(const std::string& split) {
    std::size_t i = 0;
    while (i < split.size()) {
      const std::size_t end = std::min(split.find(' ', i), split.size());
      if (end > i) parts_.push_back(split.substr(i, end - i));
      i = end + 1;
    }
  }
  int n() const { return int(parts_.size()); }
  const std::string& operator[](int i) const { return parts_[std::size_t(i - 1)]; }
  // Part i is the letter followed by a digit from lo to hi.
  bool is(int i, char letter, char lo, char hi) const {
    if (i < 1 || i > n()) return false;
    const std::string& p = (*this)[i];
    return p.size() >= 2 && p[0] == letter && p[1] >= lo && p[1] <= hi;
  }
  bool gravel_or_humus(int i) const { return is(i, 'G', '1', '3') || is(i, 'H', '1', '3'); }
  // Further admixtures after the required parts: m - 1 parts, then G, H, or G then H.
  bool admixtures(int m) const {
    if (n() < m) return true;
    if (n() == m) return gravel_or_humus(n());
    if (n() == m + 1) return is(n() - 1, 'G', '1', '3') && is(n(), 'H', '1', '3');
    return false;
  }
  std::size_t size() const { return parts_.size(); }

private:
  std::vector<std::string> parts_;
};

} // namespace

bool valid_description(std::string_view word) {
  const std::string upper = ascii_upper(word);
  if (upper == "NBE" || upper == "GM") return true;
  const std::string_view head = std::string_view(upper).substr(0, 2);
  const bool even = head == "VM" || head == "GS" || head == "ZK";
  const Parts p(split_code(upper, even ? "EVEN" : "ODD", ' '));
  if (p.size() == 0 || p.size() > kMaxParts) return false;
  const int n = p.n();
  switch (p[1][0]) {
  case 'G':
    if (even) return p[1] == "GS" && n <= 2 && (n < 2 || p.is(2, 'H', '1', '3'));
    return n >= 2 && n <= 3 && p.is(2, 'Z', '1', '4') && (n < 3 || p.is(3, 'H', '1', '3'));
  case 'K':
    return n >= 2 && n <= 4 && (p.is(2, 'S', '1', '4') || p.is(2, 'Z', '1', '3')) &&
           p.admixtures(3);
  case 'L': return n >= 2 && n <= 4 && (p[2] == "Z1" || p[2] == "Z3") && p.admixtures(3);
  case 'V':
    if (even) return p[1] == "VM" && n <= 2 && (n < 2 || p.is(2, 'G', '1', '3'));
    return n >= 2 && n <= 3 && (p[2] == "K1" || p[2] == "K3" || p[2] == "Z1" || p[2] == "Z3") &&
           (n < 3 || p.is(3, 'G', '1', '3'));
  case 'Z':
    if (even) return p[1] == "ZK" && n <= 3 && p.admixtures(2);
    return n >= 2 && n <= 4 && p.is(2, 'S', '1', '4') && p.admixtures(3);
  default: return false;
  }
}

bool is_bore_report(Document& doc) {
  return doc.entries && names(at(doc, KW_REPORTCODE), "GEF-BORE-REPORT", "GEF_BORE_REPORT");
}

bool check_bore_header(Document& doc) {
  Group g{doc};
  const Completeness first = check_header_completeness(doc);
  const int second = check_owner_date_project(doc);
  const bool columns = check_column_keywords(doc);
  // Binary data without a usable type or byte order is severe even though it leaves the
  // completeness level alone.
  if (first.worst != 0 || first.binary_lack || second != 0 || !columns) g.held = false;

  const Entry& procedure = at(doc, KW_PROCEDURECODE);
  if (names(procedure, "GEF-GBR-REPORT", "GEF_GBR_REPORT") && version_of(procedure) != 10000)
    g.text(ERR_BORE_TEXT,
           format("Procedurecode release %d version %d update %d does not exist",
                  procedure.field[1].i, procedure.field[2].i, procedure.field[3].i),
           0, 0, LEVEL_STANDARD_SEVERE);
  const Entry& report = at(doc, KW_REPORTCODE);
  if (names(report, "GEF-BORE-REPORT", "GEF_BORE_REPORT") && version_of(report) != 10000)
    g.text(ERR_BORE_TEXT,
           format("Reportcode release %d version %d update %d does not exist", report.field[1].i,
                  report.field[2].i, report.field[3].i),
           0, 0, LEVEL_STANDARD_SEVERE);
  if (!check_quantity_numbers(doc, ERR_BORE_MISSING)) g.held = false;
  if (column_of_quantity(doc, 1) == 0)
    g.text(ERR_BORE_NOTE, "Column with top height of layers is missing.\n", 0, 0,
           LEVEL_STANDARD_ERROR);
  if (column_of_quantity(doc, 2) == 0)
    g.text(ERR_BORE_NOTE, "Column with bottom height of layers is missing.\n", 0, 0,
           LEVEL_STANDARD_ERROR);

  const Entry& columntext = at(doc, KW_COLUMNTEXT);
  if (columntext.present == 0)
    g.text(ERR_BORE_NO_COLUMNTEXT, "", 0, 0, LEVEL_STANDARD_SEVERE);
  else if (!has_field(columntext, 1))
    g.text(ERR_BORE_NO_COLUMNTEXT_FIELD, "", 0, 0, LEVEL_STANDARD_SEVERE);
  else if (columntext.field[0].i != 1)
    g.text(ERR_BORE_COLUMNTEXT_NOT_1, "", 0, 0, LEVEL_STANDARD_SEVERE);
  separator(g, KW_RECORDSEPARATOR, '!', "recordseparator", LEVEL_STANDARD_SEVERE);
  separator(g, KW_COLUMNSEPARATOR, ';', "columnseparator", LEVEL_STANDARD_ERROR);

  required_fields(g, KW_COMPANYID, 3, "companyid", LEVEL_STANDARD_ERROR);
  required_fields(g, KW_REPORTCODE, 4, "reportcode", LEVEL_STANDARD_SEVERE);
  required_fields(g, KW_MEASUREMENTCODE, 4, "measurementcode", LEVEL_STANDARD_ERROR);
  const Entry& testid = at(doc, KW_TESTID);
  if (testid.present == 0)
    g.text(ERR_BORE_NOTE, "keyword testid is missing.", 0, 0, LEVEL_STANDARD_ERROR);
  else if (!has_field(testid, 1))
    g.text(ERR_BORE_NOTE, "field of keyword testid is missing.", 0, 0, LEVEL_STANDARD_ERROR);
  required_fields(g, KW_ZID, 2, "zid", LEVEL_STANDARD_ERROR);

  const Entry& level = at(doc, KW_MEASUREMENTTEXT, 9);
  if (level.present == 0)
    g.text(ERR_BORE_NOTE, format("Measurementtext %d (Fixed horizontal level) is missing.", 9), 0,
           0, LEVEL_STANDARD_ERROR);
  else if (!has_field(level, 1))
    g.keyword(ERR_BORE_MISSING, KW_MEASUREMENTTEXT, 9, 1, LEVEL_STANDARD_ERROR);
  return g.held;
}

bool check_bore_samples(Document& doc) {
  Group g{doc};
  const Entry& taken = at(doc, KW_MEASUREMENTTEXT, 4);
  if (taken.present == 0) return true;
  const char* answer = text_of(taken);
  if (equals_nocase(answer, "NEE")) return true;
  // A missing answer is as wrong as another word; the samples are examined either way.
  if (!equals_nocase(answer, "JA"))
    g.text(ERR_BORE_MEASUREMENTTEXT, "Ja or Nee expected.", 4, 0, LEVEL_STANDARD_MINOR);

  const Entry& count = at(doc, KW_SPECIMENVAR, 1);
  if (count.present == 0 || !has_field(count, 1)) {
    g.text(ERR_NEN5119_NOTE, "Number of samples is required.", 0, 0, LEVEL_STANDARD_ERROR);
    return false;
  }
  const double v = count.field[0].f;
  if (!(v >= 1.0 && v <= 200.0))
    g.text(ERR_BORE_NOTE, "Number of samples should be between 1 and 200.", 0, 0,
           LEVEL_STANDARD_MINOR);
  if (std::isnan(v)) return g.held; // names no sample at all
  const double n = std::trunc(v + 0.1);
  // Samples whose serial numbers lie beyond the storage cannot have been given.
  for (int k = 1; k <= n && 11 + 7 * (k - 1) <= kSerials; ++k) {
    const int serial = 11 + 7 * (k - 1);
    const Entry& top = at(doc, KW_SPECIMENVAR, serial);
    if (top.present == 0 || !has_field(top, 1))
      g.text(ERR_NEN5119_SAMPLE_VAR, "depth of its top", k, serial, LEVEL_STANDARD_ERROR);
    if (text_of(at(doc, KW_SPECIMENTEXT, serial)) == nullptr)
      g.text(ERR_NEN5119_SAMPLE_TEXT, "sample code", k, serial, LEVEL_STANDARD_ERROR);
  }
  return g.held;
}

bool check_nen5104_header(Document& doc) {
  if (!nen5104_applies(doc)) return true;
  Group g{doc};
  if (at(doc, KW_XYID).present != 0)
    for (int f = 1; f <= 3; ++f) {
      if (!has_field(at(doc, KW_XYID), f))
        g.keyword(ERR_NEN5104_MISSING, KW_XYID, 0, f, LEVEL_STANDARD_ERROR);
    }
  else
    g.text(ERR_NEN5104_NOTE, "keyword xyid is missing.", 0, 0, LEVEL_STANDARD_ERROR);
  required_text(g, 3, "name location");
  // A missing date of boring fails the group like every other required text.
  if (required_text(g, 16, "date boring")) {
    switch (date_fault(text_of(at(doc, KW_MEASUREMENTTEXT, 16)))) {
    case DateFault::NoDash:
      g.text(ERR_NEN5104_NOTE, "Format of date not compatible with yyyy-mm-dd.", 0, 0,
             LEVEL_STANDARD_MINOR);
      break;
    case DateFault::Early:
      g.text(ERR_NEN5104_NOTE, "Date is not Y2k compliant.", 0, 0, LEVEL_STANDARD_ERROR);
      break;
    case DateFault::None: break;
    }
  }
  required_text(g, 13, "boring company");

  static const char* const kLabels[5] = {"method", "lower depth", "unit of lower depth",
                                         "diameter boring tube", "unit of diameter boring tube"};
  bool complete = false;
  std::vector<std::array<bool, 5>> given(10);
  for (int k = 1; k <= 10; ++k) {
    const Entry& method = at(doc, KW_MEASUREMENTTEXT, 30 + k);
    const Entry& depth = at(doc, KW_MEASUREMENTVAR, 29 + 2 * k);
    const Entry& tube = at(doc, KW_MEASUREMENTVAR, 30 + 2 * k);
    auto& g5 = given[std::size_t(k - 1)];
    g5 = {method.present != 0 && has_field(method, 1), depth.present != 0 && has_field(depth, 1),
          depth.present != 0 && has_field(depth, 2), tube.present != 0 && has_field(tube, 1),
          tube.present != 0 && has_field(tube, 2)};
    complete = complete || (g5[0] && g5[1] && g5[2] && g5[3] && g5[4]);
  }
  if (!complete)
    g.text(ERR_NEN5104_NOTE, "At least one core method is required.", 0, 0, LEVEL_STANDARD_ERROR);
  for (int k = 1; k <= 10; ++k) {
    const auto& g5 = given[std::size_t(k - 1)];
    const int count = int(g5[0]) + int(g5[1]) + int(g5[2]) + int(g5[3]) + int(g5[4]);
    if (count == 0 || count == 5) continue;
    for (int i = 0; i < 5; ++i)
      if (!g5[std::size_t(i)])
        g.text(ERR_NEN5104_CORE_METHOD, kLabels[i], k, 0, LEVEL_STANDARD_ERROR);
  }
  required_text(g, 5, "date description");
  required_text(g, 6, "name desciber");
  return g.held;
}

bool check_bore_descriptions(Document& doc) {
  const Entry& columnsep = at(doc, KW_COLUMNSEPARATOR);
  if (at(doc, KW_RECORDSEPARATOR).present == 0 || columnsep.present == 0 ||
      at(doc, KW_COLUMNTEXT).present == 0)
    return false;
  Group g{doc};
  const int scans = known_scans(doc);
  const auto& texts = library().column_texts;
  for (int s = 1; s <= scans; ++s) {
    const char* text = std::size_t(s) <= texts.size() ? texts[std::size_t(s - 1)] : nullptr;
    const std::string_view word = code_word(text, columnsep.field[0].c);
    if (word.empty())
      g.text(ERR_NEN5104_SCAN_MISSING, "description", s, 0, LEVEL_STANDARD_SEVERE);
    else if (!valid_description(word))
      g.text(ERR_NEN5104_DESCRIPTION, std::string(word), s, 0, LEVEL_STANDARD_ERROR);
  }
  return g.held;
}

bool check_bore_layers(Document& doc) {
  Group g{doc};
  const int scans = known_scans(doc);
  int top = column_of_quantity(doc, 1);
  int bottom = column_of_quantity(doc, 2);
  // Only readings inside the data block are looked at.
  if (top != 0 && !column_in_block(doc, top, scans)) top = 0;
  if (bottom != 0 && !column_in_block(doc, bottom, scans)) bottom = 0;

  const Entry& depth = at(doc, KW_MEASUREMENTVAR, 16);
  if (depth.present != 0 && has_field(depth, 1) && has_field(depth, 2) && bottom != 0 &&
      scans >= 1 && std::fabs(double(depth.field[0].f) - data_value(doc, bottom, scans)) > 0.001)
    g.text(ERR_BORE_NOTE, "Last layer does not end at bottom depth.", 0, 0, LEVEL_STANDARD_ERROR);
  if (top != 0 && bottom != 0)
    for (int i = 1; i < scans; ++i)
      if (std::fabs(data_value(doc, bottom, i) - data_value(doc, top, i + 1)) > 0.001)
        g.text(ERR_BORE_LAYER_GAP, "", i, i + 1, LEVEL_STANDARD_ERROR);

  yes_no(g, 14, LEVEL_STANDARD_ERROR);
  struct DateTexts {
    int serial;
    const char* early;
  };
  for (const DateTexts& d :
       {DateTexts{15, "Date is not Y2k compliant."}, DateTexts{19, "date is not Y2k compliant."}}) {
    const char* date = text_of(at(doc, KW_MEASUREMENTTEXT, d.serial));
    if (date == nullptr) continue;
    const DateFault fault = date_fault(date);
    if (fault == DateFault::NoDash)
      g.text(ERR_BORE_MEASUREMENTTEXT, "format of date not compatible with yyyy-mm-dd.", d.serial,
             0, LEVEL_STANDARD_MINOR);
    else if (fault == DateFault::Early)
      g.text(ERR_BORE_MEASUREMENTTEXT, d.early, d.serial, 0, LEVEL_STANDARD_ERROR);
  }
  yes_no(g, 18, LEVEL_STANDARD_ERROR);
  yes_no(g, 21, LEVEL_STANDARD_ERROR);
  const char* wet = text_of(at(doc, KW_MEASUREMENTTEXT, 17));
  if (wet != nullptr && !equals_nocase(wet, "NAT") && !equals_nocase(wet, "DROOG"))
    g.text(ERR_BORE_MEASUREMENTTEXT, "Nat or Droog expected.", 17, 0, LEVEL_STANDARD_ERROR);
  return g.held;
}

int test_bore_report(Document& doc) {
  if (!is_bore_report(doc)) {
    report_text(doc, ERR_BORE_NOTE, "This is not a Bore Report", 0, 0, LEVEL_STANDARD_SEVERE);
    return 0;
  }
  const bool header = check_bore_header(doc);
  const bool samples = check_bore_samples(doc);
  const bool nen5104 = check_nen5104_header(doc);
  const bool descriptions = check_bore_descriptions(doc);
  const bool layers = check_bore_layers(doc);
  return header && samples && nen5104 && descriptions && layers ? 1 : 0;
}

} // namespace gef

using namespace gef;

int gbr_is_gbr(void) try {
  Document* doc = current();
  return doc != nullptr && is_bore_report(*doc) ? 1 : 0;
}
GEF_CATCH(0)
