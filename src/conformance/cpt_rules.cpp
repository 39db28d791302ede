// SPDX-License-Identifier: MIT
// The CPT report rule groups: required keywords, the first reading, and ascending depths.
//
// Every group reads the data block only through Readings, so a stale scan count or a COLUMN
// larger than the block never leads outside it; and none of them needs working memory, so no
// group can fail for lack of it.
#include <cmath>
#include <cstdio>

#include "conformance/quantity_rules.h"
#include "conformance/readings.h"
#include "conformance/report_rules.h"
#include "diagnostics/error_list.h"

namespace gef {
namespace {

constexpr int kPenetrationLength = 1;
constexpr int kConeResistance = 2;
constexpr int kCorrectedDepth = 11;
constexpr double kDefaultVoid = -9999.0;
constexpr double kStepFloor = 0.0001;     // steps this small do not count as movement
constexpr double kStepMargin = 1.001;     // tolerance of the first reading, in minimum steps
constexpr double kLargeReading = 10000.0; // readings shown in exponent form from here

// A rule group with the text findings of the CPT rules.
struct Group : RuleGroup {
  using RuleGroup::RuleGroup;
  void text(int code, const char* text, Level level, int first = 0, int second = 0) {
    report_text(doc, code, text, first, second, level);
    held = false;
  }
};

// The report's version as one number (see version_number), -1 when it is not recognised.
std::int64_t report_version(const CptReport& r) {
  return r.recognised ? version_number(r.release, r.version, r.update) : -1;
}

// Penetration length, else corrected depth: the column the depth rules look at.
int depth_column(Document& doc) {
  const int c = column_of_quantity(doc, kPenetrationLength);
  return c != 0 ? c : column_of_quantity(doc, kCorrectedDepth);
}

// Both-fields-missing, one-field and absent variants of a keyword whose fields are all required.
void require_fields(Group& g, int code, int kw, int fields, Level level) {
  const Entry& e = entry(g.doc, kw, 0);
  if (e.present == 0) {
    g.keyword(code, kw, 0, 0, level);
    return;
  }
  for (int f = 1; f <= fields; ++f)
    if (!has_field(e, f)) g.keyword(code, kw, 0, f, level);
}

// Valid negative readings of quantity `q`; the first one is named unless `*named` already is.
void negative_readings(Group& g, int q, const char* text, bool* named) {
  const Readings col = readings_of(g.doc, column_of_quantity(g.doc, q), kDefaultVoid);
  for (int s = 1; s <= col.scans; ++s) {
    if (!col.valid(s) || !(col.at(s) < 0.0)) continue;
    g.held = false;
    if (!*named) {
      report_text(g.doc, 2005, text, 0, 0, LEVEL_STANDARD_MINOR);
      *named = true;
    }
  }
}

// The smallest step above the floor between consecutive valid readings; 0 when there is none.
double minimum_step(const Readings& col) {
  double smallest = 0.0;
  for (int s = 1; s < col.scans; ++s) {
    if (!col.valid(s) || !col.valid(s + 1)) continue;
    const double d = std::fabs(col.at(s + 1) - col.at(s));
    if (d > kStepFloor && (smallest == 0.0 || d < smallest)) smallest = d;
  }
  return smallest;
}

// "Penetration length is negative": the first two readings, both valid, fall.
void falling_start(Group& g, int q, const char* text) {
  const Readings col = readings_of(g.doc, column_of_quantity(g.doc, q), kDefaultVoid);
  if (col.scans < 2 || !col.valid(1) || !col.valid(2)) return;
  if (col.at(1) > col.at(2)) g.text(ERR_CPT_NOTE, text, LEVEL_STANDARD_MINOR);
}

// One entry for the run of non-ascending scans `first`..`last` of `col`.
void report_run(Group& g, const Readings& col, int first, int last, const char* name) {
  char text[kTextSize];
  const double a = col.at(first);
  if (first == last) {
    const char* format = std::fabs(a) > kLargeReading
                             ? "At scan %ld (= %.5le) a non-ascending %s is encountered."
                             : "At scan %ld (= %.3lf) a non-ascending %s is encountered.";
    std::snprintf(text, sizeof text, format, long(first), a, name);
  } else {
    const double b = col.at(last);
    const char* format =
        std::fabs(a) > kLargeReading || std::fabs(b) > kLargeReading
            ? "From scan %ld (= %.5le) until %ld (= %.5le) non-ascending %ss are encountered."
            : "From scan %ld (= %.3f) until %ld (= %.3f) non-ascending %ss are encountered.";
    std::snprintf(text, sizeof text, format, long(first), a, long(last), b, name);
  }
  g.text(ERR_CPT_NOTE, text, LEVEL_STANDARD_WARNING);
}

void ascending_quantity(Group& g, int q, const char* name) {
  // Without COLUMNVOID every reading counts here: the default void value does not apply.
  const Readings col = readings_of(g.doc, column_of_quantity(g.doc, q), 0.0);
  const auto counted = [&](int i) { return !col.has_void || (col.valid(i) && col.valid(i + 1)); };
  const auto step = [&](int i) { return counted(i) ? col.at(i) - col.at(i + 1) : col.void_value; };
  double sum = 0.0;
  for (int i = 1; i < col.scans; ++i)
    if (counted(i)) sum += step(i);
  const bool rising = sum <= 0.0;
  const auto non_ascending = [&](int i) {
    const double d = step(i);
    if (col.has_void && col.is_void(d)) return false;
    return rising ? d > -kStepFloor : d < kStepFloor;
  };
  // Step i names scan i + 1; consecutive scans form one run.
  int first = 0;
  for (int i = 1; i <= col.scans; ++i) {
    const bool listed = i < col.scans && non_ascending(i);
    if (listed && first == 0) first = i + 1;
    if (!listed && first != 0) {
      report_run(g, col, first, i, name);
      first = 0;
    }
  }
}

} // namespace

bool check_cpt_required(Document& doc, const CptReport& report) {
  Group g{doc};
  const std::int64_t v = report_version(report);
  if (entry(doc, KW_PROCEDURECODE, 0).present == 0) {
    if (v < 10100)
      g.keyword(ERR_CPT_MANDATORY, KW_PROCEDURECODE, 0, 0, LEVEL_STANDARD_SEVERE);
    else if (entry(doc, KW_REPORTCODE, 0).present == 0)
      g.text(ERR_CPT_NOTE, "Either one of Reportcode or Procedurecode mandatory.",
             LEVEL_STANDARD_SEVERE);
  }
  g.held = g.held && report.recognised;
  g.held = check_quantity_numbers(doc, ERR_CPT_MANDATORY) && g.held;

  const int depth = depth_column(doc);
  if (depth == 0)
    g.keyword(ERR_CPT_COLUMNS_1_2, KW_COLUMN, 1, 2, LEVEL_STANDARD_SEVERE);
  else if (depth != 1)
    g.text(ERR_CPT_LENGTH_NOT_COLUMN_1, "", LEVEL_STANDARD_SEVERE);
  const int cone = column_of_quantity(doc, kConeResistance);
  if (cone == 0)
    g.keyword(ERR_CPT_COLUMNS_1_2, KW_COLUMN, 1, 2, LEVEL_STANDARD_SEVERE);
  else if (cone != 2)
    g.text(ERR_CPT_CONE_NOT_COLUMN_2, "", LEVEL_STANDARD_SEVERE);

  require_fields(g, 2006, KW_COMPANYID, 3, LEVEL_STANDARD_SEVERE);
  require_fields(g, 2006, KW_TESTID, 1, LEVEL_STANDARD_ERROR);

  const Entry& lastscan = entry(doc, KW_LASTSCAN, 0);
  if (lastscan.present == 0)
    g.keyword(ERR_CPT_MANDATORY, KW_LASTSCAN, 0, 0, LEVEL_STANDARD_ERROR);
  else if (!has_field(lastscan, 1))
    g.keyword(ERR_CPT_MANDATORY, KW_LASTSCAN, 0, 1, LEVEL_STANDARD_ERROR);
  else if (doc.scan_known != 0 && lastscan.field[0].i != doc.scan_count)
    g.text(ERR_CPT_LASTSCAN_MISMATCH, "", LEVEL_STANDARD_WARNING, doc.scan_count,
           lastscan.field[0].i);

  if (v >= 10100) {
    const Entry& level = entry(doc, KW_MEASUREMENTTEXT, 9 - 1);
    if (level.present == 0 || !has_field(level, 1))
      g.keyword(ERR_CPT_MANDATORY_110, KW_MEASUREMENTTEXT, 9, 1, LEVEL_STANDARD_ERROR);
    require_fields(g, 2007, KW_ZID, 2, LEVEL_STANDARD_ERROR);
  }

  if (report.recognised && report.release != 0 && report.version >= 1 && known_scans(doc) >= 2) {
    bool named = false; // one message for both columns
    negative_readings(g, kPenetrationLength,
                      "No negative penetration length allowed for version 1.1.0 and above.",
                      &named);
    negative_readings(g, kCorrectedDepth, "No negative depth allowed for version 1.1.0 and above.",
                      &named);
  }
  return g.held;
}

bool check_cpt_first_reading(Document& doc, const CptReport& report) {
  if (!report.recognised) return false;
  if (version_number(report.release, report.version, 0) < 10100) return true;
  Group g{doc};
  falling_start(g, kPenetrationLength, "Penetration length is negative");
  falling_start(g, kCorrectedDepth, "Depth is negative");

  const int c = depth_column(doc);
  if (c == 0) return false;
  const Readings col = readings_of(doc, c, kDefaultVoid);
  // Without a defined step the tolerance falls back to the floor, so that an exact first
  // reading still passes.
  const double step = minimum_step(col);
  const double t = kStepMargin * (step > 0.0 ? step : kStepFloor);
  const char* missed = "First reading does not coincide with pre-excavated depth";
  int s = 1;
  while (s <= col.scans && !col.valid(s)) ++s;
  if (s > col.scans) {
    g.text(ERR_CPT_NOTE, missed, LEVEL_STANDARD_MINOR);
    return false;
  }
  const double x = col.at(s);
  if (is_close(x, 0.0, t)) return g.held;
  const Entry& excavated = entry(doc, KW_MEASUREMENTVAR, 13 - 1);
  if (excavated.present != 0 && has_field(excavated, 1) &&
      is_close(x, double(excavated.field[0].f), t))
    return g.held;
  g.text(ERR_CPT_NOTE, missed, LEVEL_STANDARD_MINOR);
  return false;
}

bool check_cpt_ascending(Document& doc) {
  Group g{doc};
  ascending_quantity(g, kPenetrationLength, "penetration length");
  ascending_quantity(g, kCorrectedDepth, "corrected depth");
  return g.held;
}

} // namespace gef
