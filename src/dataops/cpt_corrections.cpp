// SPDX-License-Identifier: MIT
// Cone-penetration computations on the data block: friction ratio, corrected depth,
// pre-excavation, the shift to the cone tip and the reordering of columns.
#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "api/boundary.h"
#include "dataops/column_ops.h"
#include "diagnostics/error_list.h"
#include "document/columns.h"
#include "gef/dataops.h"

namespace gef {
namespace {

constexpr double kDefaultVoid = -10000000.0;
constexpr double kDegree = 0.017453292519943295;
constexpr int kPenetration = 1, kCone = 2, kFriction = 3, kRatio = 4, kInclination = 8,
              kInclinationX = 9, kInclinationY = 10, kDepth = 11;
constexpr int kSleeveArea = 1, kFrictionArea = 2, kSleeveDistance = 5, kPreExcavation = 13;
constexpr int kPerColumn[] = {KW_COLUMNINFO,        KW_COLUMNMINMAX, KW_COLUMNAMPLIFIER,
                              KW_COLUMNPOWERSUPPLY, KW_COLUMNOFFSET, KW_COLUMNVOID};

// The value of MEASUREMENTVAR `n` when present with its value given.
bool measurement(Document& doc, int n, double* value) {
  const Entry& e = entry(doc, KW_MEASUREMENTVAR, n - 1);
  if (e.present == 0 || (e.bits & 1) == 0) return false;
  *value = e.field[0].f;
  return true;
}

// The sleeve distance in metres; an absent MEASUREMENTVAR 5 is recorded as 100 mm.
double sleeve_distance(Document& doc, const char* quantity) {
  double mm = 0;
  if (measurement(doc, kSleeveDistance, &mm)) return mm / 1000.0;
  const int n = kSleeveDistance;
  const float value = 100.0f;
  store_typed(doc, KW_MEASUREMENTVAR, {&n, &value, "mm", quantity});
  return 0.1;
}

// The void value of column `c`, giving it the default one when it has none.
double void_or_default(Document& doc, int c) {
  double w = 0;
  if (column_void(doc, c, &w)) return w;
  set_column_void(doc, c, kDefaultVoid);
  return kDefaultVoid;
}

bool is_void(double v, bool has_void, double w) {
  return has_void && matches_void(v, w, kVoidThreshold);
}

// The values of the column of quantity `q`, or null; a missing column is reported by the
// lookup of column 0.
double* quantity_values(Document& doc, int q) {
  return column_values(doc, column_of_quantity(doc, q));
}

std::unique_ptr<double[]> scratch(Document& doc, std::int64_t count) {
  std::unique_ptr<double[]> buffer(
      new (std::nothrow) double[std::size_t(std::max<std::int64_t>(count, 1))]);
  if (!buffer)
    report_text(doc, ERR_OUT_OF_MEMORY, "", std::int32_t(count * 8 / 1024), 0, LEVEL_GEF_SEVERE);
  return buffer;
}

// The first k in 0..S-2 with |P[k]| <= x < |P[k+1]|, or -1.
std::int32_t bracket(const double* p, std::int32_t scans, double x) {
  for (std::int32_t k = 0; k + 1 < scans; ++k)
    if (std::fabs(p[k]) <= x && x < std::fabs(p[k + 1])) return k;
  return -1;
}

int pre_excavate(bool keep_sign) {
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return 0;
  double e = 0;
  if (!measurement(*doc, kPreExcavation, &e)) return 0;
  if (e == 0) return 1;
  if (!keep_sign) e = std::fabs(e);
  const Entry& last = entry(*doc, KW_LASTSCAN, 0);
  const int column = column_of_quantity(*doc, kPenetration);
  if (column == 0 || (last.present != 0 && last.field[0].i == 1)) return 0;
  double* p = column_values(*doc, column);
  if (p == nullptr || doc->scan_count < 2) return 0;
  double w = 0;
  const bool has_void = column_void(*doc, column, &w);
  // The direction follows the first two valid readings, so that a void reading cannot turn it.
  double first = 0;
  int valid = 0;
  bool falling = false;
  for (std::int32_t s = 0; s < doc->scan_count && valid < 2; ++s) {
    if (is_void(p[s], has_void, w)) continue;
    if (valid++ == 1) falling = p[s] - first < 0;
    first = p[s];
  }
  const double step = falling ? -e : e;
  for (std::int32_t s = 0; s < doc->scan_count; ++s)
    if (!is_void(p[s], has_void, w)) p[s] += step;
  store_column_minmax(*doc, column, kVoidThreshold);
  return 1;
}

// Moves the readings of the column of quantity `q` to the depth of the cone tip.
int shift_to_tip(int q) {
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return 0;
  const int column = column_of_quantity(*doc, q);
  if (column_count_or(*doc, 0) < 1 || column == 0) return 0;
  const double* p = quantity_values(*doc, kPenetration);
  double* x = column_values(*doc, column);
  if (p == nullptr || x == nullptr) return 0;
  const double s =
      sleeve_distance(*doc, "Verstekwaarde afstand van de tip tot midden wrijvingsmantel");
  const double w = void_or_default(*doc, column);
  const std::int32_t scans = doc->scan_count;
  if (scans == 0) return 1;
  std::unique_ptr<double[]> old = scratch(*doc, scans);
  if (!old) return 0;
  std::copy_n(x, scans, old.get());
  for (std::int32_t i = 0; i < scans; ++i) {
    x[i] = w;
    for (std::int32_t j = i; j < scans; ++j) {
      const double error = std::fabs(std::fabs(p[j] - p[i]) - s);
      if (error < 0.01) {
        x[i] = old[j];
        break;
      }
      if (j > 0 && std::fabs(std::fabs(p[j - 1] - p[i]) - s) <= error &&
          std::fabs(p[j] - p[i]) > s + 0.021)
        break;
    }
  }
  if (entry(*doc, KW_COLUMNMINMAX, column - 1).present != 0)
    store_column_minmax(*doc, column, kVoidThreshold);
  return 1;
}

// Quantity number of column `c`, 0 when never given.
int quantity_of(Document& doc, int c) {
  const Entry& e = entry(doc, KW_COLUMNINFO, c - 1);
  return e.present != 0 && (e.bits & 4) != 0 ? e.field[2].i : 0;
}

// REPORTDATAFORMAT with the tokens of the first `columns` columns in `order`; a last token
// that served several columns is written out for each.
std::string reordered_formats(Document& doc, const std::vector<int>& order) {
  const std::string text = format_text(doc);
  std::vector<FormatToken> tokens;
  split_format(text, &tokens);
  if (tokens.empty()) return text;
  auto token = [&](std::size_t i) {
    const FormatToken& t = tokens[std::min(i, tokens.size() - 1)];
    return text.substr(t.start, t.end - t.start);
  };
  std::string out;
  for (int c : order) out += (out.empty() ? "" : " ") + token(std::size_t(c - 1));
  for (std::size_t i = order.size(); i < tokens.size(); ++i) out += " " + token(i);
  return out;
}

} // namespace
} // namespace gef

using namespace gef;

int calc_rf(int shift) try {
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return 0;
  const int columns = column_count_or(*doc, 0);
  if (columns < 1 || column_of_quantity(*doc, kFriction) == 0 ||
      column_of_quantity(*doc, kRatio) != 0)
    return 0;
  double a1 = 0, a2 = 0;
  double length = 0.134;
  // Only positive areas give a sleeve length: 0 divides by zero, a negative one has no root.
  if (measurement(*doc, kSleeveArea, &a1) && measurement(*doc, kFrictionArea, &a2) && a1 > 0 &&
      a2 > 0)
    length = a2 / (2 * std::sqrt(a1 * 3.1415926)) * 0.001;
  const double s =
      shift != 0 ? sleeve_distance(*doc, "afstand van de tip tot midden wrijvingsmantel") : 0.0;
  const int pc = column_of_quantity(*doc, kPenetration), qc = column_of_quantity(*doc, kCone),
            fc = column_of_quantity(*doc, kFriction);
  const double *p = nullptr, *q = nullptr, *f = nullptr;
  if ((p = column_values(*doc, pc)) == nullptr || (q = column_values(*doc, qc)) == nullptr ||
      (f = column_values(*doc, fc)) == nullptr)
    return 2;
  const double pw = void_or_default(*doc, pc), fw = void_or_default(*doc, fc),
               qw = void_or_default(*doc, qc);
  const std::int32_t scans = doc->scan_count;
  std::vector<double> ratio(std::size_t(scans), 0.0);
  for (std::int32_t i = 0; i < scans; ++i) {
    // A void reading, positive ones included, gives no ratio.
    if (matches_void(p[i], pw, kVoidThreshold) || matches_void(f[i], fw, kVoidThreshold) ||
        !(f[i] > 0))
      continue;
    const double d = std::fabs(p[i]) - s;
    const std::int32_t ku = bracket(p, scans, d + length / 2);
    const std::int32_t kl = bracket(p, scans, d - length / 2);
    if (ku < 0 || kl < 0) continue;
    double sum = 0;
    int counted = 0;
    for (std::int32_t j = kl + 1; j <= ku + 1; ++j) {
      if (matches_void(q[j], qw, kVoidThreshold) || !(q[j] > 0)) continue;
      sum += q[j];
      ++counted;
    }
    if (counted > 0) ratio[std::size_t(i)] = f[i] * 100 / (sum / counted);
  }
  const double zero = 0;
  // At 250 columns the append refuses before any slot 251 would be touched.
  const int added = append_column(*doc, ratio.data(), 0.0, "%", "Wrijvingsgetal", kRatio,
                                  columns < kMaxColumns ? &zero : nullptr);
  return added != 0 ? 1 : 2;
}
GEF_CATCH(0)

int gca_add_diepte(void) try {
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return 0;
  if (column_of_quantity(*doc, kDepth) != 0) return 1;
  const int pc = column_of_quantity(*doc, kPenetration);
  const int ac = column_of_quantity(*doc, kInclinationX),
            bc = column_of_quantity(*doc, kInclinationY),
            rc = column_of_quantity(*doc, kInclination);
  const bool components = ac != 0 && bc != 0;
  if (column_count_or(*doc, 0) < 1 || pc == 0 || (!components && rc == 0)) return 0;
  const double* p = column_values(*doc, pc);
  const double* a = column_values(*doc, components ? ac : rc);
  const double* b = components ? column_values(*doc, bc) : a;
  if (p == nullptr || a == nullptr || b == nullptr) return 0;
  const std::int32_t scans = doc->scan_count;
  std::unique_ptr<double[]> depth = scratch(*doc, scans);
  if (!depth) return 0;
  double pw = 0;
  const bool p_void = column_void(*doc, pc, &pw);
  auto angle = [&](const double* values, int c, std::int32_t i) {
    const double v = values[i];
    return std::isfinite(v) && !is_void_in_column(*doc, c, v, kVoidThreshold) ? v * kDegree : 0.0;
  };
  auto void_length = [&](double v) { return !std::isfinite(v) || is_void(v, p_void, pw); };
  double offset = 0;
  for (std::int32_t i = 0; i < scans; ++i) {
    if (void_length(p[i])) {
      depth[i] = p_void ? pw : p[i];
    } else if (i == 0) {
      depth[i] = p[0];
    } else if (void_length(p[i - 1])) {
      depth[i] = p[i] + offset;
    } else {
      const double step = p[i] - p[i - 1];
      if (components) {
        const double ta = std::tan(angle(a, ac, i)), tb = std::tan(angle(b, bc, i));
        depth[i] = depth[i - 1] + step / std::sqrt(1 + ta * ta + tb * tb);
      } else {
        depth[i] = depth[i - 1] + std::cos(angle(a, rc, i)) * step;
      }
      offset = depth[i] - p[i];
    }
  }
  // The void value goes in before the minimum and maximum, which then skip it.
  return append_column(*doc, depth.get(), 0.0, "m", "Diepte", kDepth, p_void ? &pw : nullptr);
}
GEF_CATCH(0)

int gca_pre_excavate(void) try { return pre_excavate(false); }
GEF_CATCH(0)

int gca_pre_excavate_corr(void) try { return pre_excavate(true); }
GEF_CATCH(0)

int gca_shift_friction(void) try { return shift_to_tip(kFriction); }
GEF_CATCH(0)

int gca_shift_rf(void) try { return shift_to_tip(kRatio); }
GEF_CATCH(0)

int gcr_shift_columns(void) try {
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return 0;
  const int columns = std::min(column_count_or(*doc, 0), kMaxColumns);
  if (columns < 1 || column_values(*doc, 1) == nullptr) return 0;
  std::vector<int> order; // order[k]: the old column that becomes column k+1
  for (int c = 1; c <= columns; ++c) {
    if (quantity_of(*doc, c) == 0) return 0;
    order.push_back(c);
  }
  std::stable_sort(order.begin(), order.end(),
                   [&](int x, int y) { return quantity_of(*doc, x) < quantity_of(*doc, y); });
  const std::int64_t scans = doc->scan_count;
  std::unique_ptr<double[]> block = scratch(*doc, doc->value_capacity);
  if (!block) return 0;
  const double* data = library().data.get();
  std::copy_n(data, doc->value_capacity, block.get());
  for (int k = 0; k < columns; ++k)
    std::copy_n(data + (order[k] - 1) * scans, scans, block.get() + k * scans);
  library().data.reset(block.release());

  // Whole occurrences move, texts and field bits with them: a permutation keeps one owner each.
  for (int code : kPerColumn) {
    std::vector<Entry> slots;
    for (int c = 1; c <= columns; ++c) slots.push_back(entry(*doc, code, c - 1));
    for (int k = 0; k < columns; ++k) entry(*doc, code, k) = slots[std::size_t(order[k] - 1)];
    doc->used[code] = std::max(doc->used[code], columns);
  }
  std::vector<int> renumber(std::size_t(columns) + 1, 0);
  for (int k = 0; k < columns; ++k) renumber[std::size_t(order[k])] = k + 1;
  auto moved = [&](std::int32_t c) {
    return c >= 1 && c <= columns ? renumber[std::size_t(c)] : c;
  };
  Entry& time = entry(*doc, KW_TIMECOLUMN, 0);
  if (time.present != 0) time.field[0].i = moved(time.field[0].i);
  for (int c = 1; c <= columns; ++c) {
    Entry& e = entry(*doc, KW_COLUMNPOWERSUPPLY, c - 1);
    if (e.present != 0) e.field[2].i = moved(e.field[2].i);
  }
  std::vector<std::optional<NumberFormat>> formats;
  for (int c : order) formats.push_back(doc->formats[c - 1]);
  std::copy(formats.begin(), formats.end(), doc->formats);
  if (entry(*doc, KW_REPORTDATAFORMAT, 0).present != 0)
    restore_formats(*doc, reordered_formats(*doc, order));
  return 1;
}
GEF_CATCH(0)
