// SPDX-License-Identifier: MIT
// Recognition of the CPT report version on reading, and the conversion of 1.0.0 reports to
// what 1.1.0 demands.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "conformance/report_rules.h"
#include "dataops/column_ops.h"
#include "diagnostics/error_list.h"
#include "document/columns.h"
#include "document/store.h"
#include "reader/read_steps.h"

namespace gef {
namespace {

constexpr int kPenetration = 1, kDepth = 11;
constexpr Level kInformation = LEVEL_STANDARD_INFORMATION, kStandardMajor = LEVEL_STANDARD_ERROR;

// Whether column `c` decreases: by its readings at S/2 and S/4, or, when either is void or
// not finite, by its first and last valid readings.
bool decreasing(const double* v, std::int32_t scans, bool has_void, double w) {
  auto valid = [&](double x) {
    return std::isfinite(x) && !(has_void && matches_void(x, w, kVoidThreshold));
  };
  const double half = v[scans / 2], quarter = v[scans / 4];
  if (valid(half) && valid(quarter)) return half - quarter < 0;
  std::int32_t first = 0, last = scans - 1;
  while (first < scans && !valid(v[first])) ++first;
  while (last > first && !valid(v[last])) --last;
  return last > first && v[last] - v[first] < 0;
}

// Turns column `c` positive; true when the whole column changed sign.
bool make_positive(Document& doc, int c) {
  const std::int32_t scans = doc.scan_count;
  double* v = library().data.get() + std::int64_t(c - 1) * scans;
  double w = 0;
  const bool has_void = column_void(doc, c, &w);
  const bool flip = decreasing(v, scans, has_void, w);
  if (flip) {
    for (std::int32_t s = 0; s < scans; ++s) v[s] = -v[s];
    if (has_void) entry(doc, KW_COLUMNVOID, c - 1).field[0].d = w = -w;
  }
  bool stray = false;
  for (std::int32_t s = 0; s < scans; ++s) {
    if (v[s] < 0 && !(has_void && matches_void(v[s], w, kVoidThreshold))) {
      v[s] = -v[s];
      stray = true;
    }
  }
  // After the void value changed sign, so that the void entries stay out of the range.
  if ((flip || stray) && entry(doc, KW_COLUMNMINMAX, c - 1).present != 0)
    store_column_minmax(doc, c, kVoidThreshold);
  return flip;
}

void store_texts(Document& doc, int code, const char* a, const char* b, const char* c) {
  const void* args[kMaxFields] = {a, b, c};
  InputModeScope text(doc, STRING);
  store_keyword(doc, code, keyword_info(code).name, args);
}

} // namespace

bool cpt_report_version(Document& doc, int* release, int* version, int* update) {
  const CptReport report = recognise_cpt_report(doc);
  *release = report.release;
  *version = report.version;
  *update = report.update;
  return report.recognised;
}

int convert_cpt_report(Document& doc) {
  const int columns = column_count_or(doc, 0);
  const int length = columns >= 1 ? column_of_quantity(doc, kPenetration) : 0;
  const std::int32_t scans = known_scans(doc);
  // A read that returns 0 must say why.
  if (length == 0 || scans < 2 || !has_data_block(doc) ||
      std::int64_t(std::min(columns, kMaxColumns)) * scans > doc.value_capacity) {
    report_text(doc, ERR_CPT_NOTE, "Data could not be converted into what GCR 1,1,0 demands.", 0, 0,
                kStandardMajor);
    return 0;
  }
  if (make_positive(doc, length))
    report_text(doc, ERR_CPT_NOTE,
                "Information; Data succesfully converted into what GCR 1,1,0 demands.", 0, 0,
                kInformation);
  const int depth = column_of_quantity(doc, kDepth);
  if (depth != 0) make_positive(doc, depth);
  if (entry(doc, KW_MEASUREMENTTEXT, 8).present == 0)
    store_texts(doc, KW_MEASUREMENTTEXT, "9", "Maaiveld", "Startniveau");
  if (entry(doc, KW_ZID, 0).present == 0) store_texts(doc, KW_ZID, "31000", "0.0", "0.01");
  library().conversion_stamp = 1;
  return 1;
}

} // namespace gef
