// SPDX-License-Identifier: MIT
// Applying the DATACONVERSION occurrences of a document to its data block.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "api/boundary.h"
#include "api/deletes.h"
#include "dataops/column_ops.h"
#include "diagnostics/error_list.h"
#include "document/columns.h"
#include "document/store.h"
#include "gef/dataops.h"

namespace gef {
namespace {

enum Method { USER = 0, ADD, SUBSTRACT, MULTIPLY, RATIO, POLYNOMIAL, OFFSET, ILLEGAL };
constexpr double kDefaultVoid = -10000000.0;
constexpr Level kWarning = LEVEL_GEF_WARNING;
constexpr int kSlots = 250;

std::string trimmed(const std::string& text) {
  std::size_t start = 0, end = text.size();
  while (start < end && static_cast<unsigned char>(text[start]) < 33) ++start;
  while (end > start && static_cast<unsigned char>(text[end - 1]) < 33) --end;
  return text.substr(start, end - start);
}

Method method_of(const char* name) {
  const std::string text = trimmed(name != nullptr ? name : "");
  static const char* const kNames[] = {"ADD",   "SUBSTRACT",  "MULTIPLY",
                                       "RATIO", "POLYNOMIAL", "OFFSET"};
  for (int m = ADD; m <= OFFSET; ++m)
    if (equals_nocase(text.c_str(), kNames[m - 1])) return Method(m);
  if (text.size() >= 4 && equals_nocase(text.substr(0, 4).c_str(), "USER")) return USER;
  return ILLEGAL;
}

// The parameter pieces of field 5: split at ';' and line ends, each trimmed.
std::vector<std::string> pieces(const char* text) {
  std::vector<std::string> out;
  std::string piece;
  for (const char* c = text != nullptr ? text : ""; *c != 0; ++c) {
    if (*c == ';' || *c == '\n' || *c == '\r') {
      out.push_back(trimmed(piece));
      piece.clear();
    } else {
      piece += *c;
    }
  }
  out.push_back(trimmed(piece));
  return out;
}

// A piece that is a number in full; an empty one is not.
bool read_int(const std::string& text, int* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (*end != 0 || errno != 0 || v < -2147483647L - 1 || v > 2147483647L) return false;
  *value = int(v);
  return true;
}

bool read_double(const std::string& text, double* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (*end != 0) return false;
  *value = v;
  return true;
}

struct Occurrence {
  int slot; // 0-based
  Method method;
  int end; // first scan no longer converted
};

// One conversion over scans first..last (1-based) of column `x`. False when it cannot apply.
class Conversion {
public:
  Conversion(Document& doc, int x) : doc_(doc), x_(x) {
    if (x == 0) return; // a missing target is no error of the lookup
    has_void_ = column_void(doc, x, &void_);
    values_ = column_values(doc, x);
  }

  bool apply(const Entry& e, int first, int last) {
    if (values_ == nullptr) return false;
    const Method m = method_of(e.field[2].s);
    const std::vector<std::string> args = pieces(e.field[3].s);
    if (m == POLYNOMIAL) return polynomial(args, first, last);
    if (m == OFFSET) return offset(args, first, last);
    int q = 0;
    if (!read_int(trimmed(e.field[3].s != nullptr ? e.field[3].s : ""), &q)) return false;
    const int y = column_of_quantity(doc_, q);
    const double* operand = y != 0 ? column_values(doc_, y) : nullptr;
    if (operand == nullptr) return false;
    double wy = 0;
    const bool y_void = column_void(doc_, y, &wy);
    for (int s = first; s <= last; ++s) {
      double& x = values_[s - 1];
      const double v = operand[s - 1];
      const bool v_void = y_void && matches_void(v, wy, kVoidThresholdFine);
      if (v_void || is_void(x) || (m == RATIO && v == 0)) {
        x = void_value(y_void, wy);
        continue;
      }
      x = m == ADD ? x + v : m == SUBSTRACT ? x - v : m == MULTIPLY ? x * v : x / v;
    }
    return true;
  }

private:
  bool is_void(double v) const { return has_void_ && matches_void(v, void_, kVoidThresholdFine); }

  // The target's void value; one that has none takes the operand's, else the default.
  double void_value(bool y_void, double wy) {
    if (!has_void_) {
      void_ = y_void ? wy : kDefaultVoid;
      has_void_ = true;
      set_column_void(doc_, x_, void_);
    }
    return void_;
  }

  bool polynomial(const std::vector<std::string>& args, int first, int last) {
    int n = 0;
    // The count must name coefficients that are there: 0 would zero the column.
    if (!read_int(args[0], &n) || n < 1 || std::size_t(n) >= args.size()) return false;
    std::vector<double> c(std::size_t(n), 0.0);
    for (int k = 0; k < n; ++k)
      if (!read_double(args[std::size_t(k) + 1], &c[std::size_t(k)])) return false;
    for (int s = first; s <= last; ++s) {
      double& x = values_[s - 1];
      if (is_void(x)) continue;
      double sum = c.back();
      for (int k = n - 2; k >= 0; --k) sum = sum * x + c[std::size_t(k)];
      x = sum;
    }
    return true;
  }

  bool offset(const std::vector<std::string>& args, int first, int last) {
    int k = 0;
    double r = 0;
    if (!read_int(args[0], &k) || k < 1 || k > doc_.scan_count) return false;
    if (args.size() < 2 || !read_double(args[1], &r)) r = 0;
    if (is_void(values_[k - 1])) return false;
    const double shift = r - values_[k - 1];
    for (int s = first; s <= last; ++s)
      if (!is_void(values_[s - 1])) values_[s - 1] += shift;
    return true;
  }

  Document& doc_;
  int x_;
  bool has_void_ = false;
  double void_ = 0;
  double* values_ = nullptr;
};

void replace_text(Entry& e, int k, const char* text) {
  std::free(e.field[k].s);
  e.field[k].s = copy_text(text);
  e.bits = std::uint8_t(e.bits | (1u << k));
}

// The converted column takes the unit, quantity and quantity number the occurrence names.
void rename_column(Document& doc, int x, const Entry& e) {
  Entry& info = entry(doc, KW_COLUMNINFO, x - 1);
  if ((e.bits & (1u << 4)) != 0 && e.field[4].s != nullptr) replace_text(info, 0, e.field[4].s);
  if ((e.bits & (1u << 5)) != 0 && e.field[5].s != nullptr) replace_text(info, 1, e.field[5].s);
  if ((e.bits & (1u << 6)) != 0) {
    info.field[2].i = e.field[6].i;
    info.bits = std::uint8_t(info.bits | 4u);
  }
}

} // namespace
} // namespace gef

using namespace gef;

int volt2phys(void) try {
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return 0;
  int result = 1;
  std::vector<Occurrence> taken;
  for (int i = 0; i < kSlots; ++i) {
    Entry& e = entry(*doc, KW_DATACONVERSION, i);
    if (e.present == 0) continue;
    const Method m = method_of(e.field[2].s);
    if (m == ILLEGAL) {
      report_text(*doc, ERR_NOTE, "Illegal method of dataconversion", 0, 0, kWarning);
      clear_entry(e, KW_DATACONVERSION);
      result = 0;
    } else if (m != USER) {
      taken.push_back({i, m, 0});
    }
  }

  // Ranges are clipped to the data, so that no start or end scan lies outside the block.
  const int scans = known_scans(*doc);
  const Entry& first_entry = entry(*doc, KW_FIRSTSCAN, 0);
  const Entry& last_entry = entry(*doc, KW_LASTSCAN, 0);
  const int first = std::max(first_entry.present != 0 ? first_entry.field[0].i : 1, 1);
  const int last = std::min(last_entry.present != 0 ? last_entry.field[0].i : scans, scans);
  std::map<std::pair<int, int>, std::vector<Occurrence*>> groups; // (method, target)
  for (Occurrence& o : taken)
    groups[{o.method, entry(*doc, KW_DATACONVERSION, o.slot).field[0].i}].push_back(&o);
  std::set<int> removed;
  for (auto& group : groups) {
    std::vector<Occurrence*> kept;
    for (Occurrence* o : group.second) {
      Entry& e = entry(*doc, KW_DATACONVERSION, o->slot);
      if (e.field[1].i < first || e.field[1].i > last) {
        clear_entry(e, KW_DATACONVERSION);
        removed.insert(o->slot);
      } else {
        kept.push_back(o);
      }
    }
    auto start = [&](const Occurrence* o) {
      return entry(*doc, KW_DATACONVERSION, o->slot).field[1].i;
    };
    bool ascending = true;
    for (std::size_t k = 1; k < kept.size(); ++k)
      ascending = ascending && start(kept[k - 1]) <= start(kept[k]);
    for (std::size_t k = 0; k < kept.size(); ++k)
      kept[k]->end = ascending && k + 1 < kept.size() ? start(kept[k + 1]) : scans + 1;
  }

  std::set<int> changed;
  for (const Occurrence& o : taken) {
    if (removed.count(o.slot) != 0) continue;
    Entry& e = entry(*doc, KW_DATACONVERSION, o.slot);
    const int x = column_of_quantity(*doc, e.field[0].i);
    Conversion conversion(*doc, x);
    if (x == 0 || !conversion.apply(e, e.field[1].i, std::min(o.end - 1, scans))) {
      result = 0;
      continue;
    }
    rename_column(*doc, x, e);
    clear_entry(e, KW_DATACONVERSION);
    changed.insert(x);
  }
  for (int x : changed)
    if (entry(*doc, KW_COLUMNMINMAX, x - 1).present != 0)
      store_column_minmax(*doc, x, kVoidThresholdFine);
  return result;
}
GEF_CATCH(0)
