// SPDX-License-Identifier: MIT
// Report text items kept as REPORTTEXT occurrences tagged "pi": storing, reading and clearing
// them, and finding free serial numbers.
//
// An item's text form is "x; y; "text"; "sheet"; "font"; "size"; "angle"". Numbers are written
// and read without the C locale: a locale with a decimal comma would put a GEF field separator
// into the header line. Texts escape '#', ',', '\' and '"' with a backslash, and an escaped
// quote does not end a text when reading, so an item with quotes keeps its later fields.
#include <cstring>
#include <string>

#include "api/boundary.h"
#include "api/deletes.h"
#include "dataops/column_ops.h"
#include "diagnostics/error_list.h"
#include "document/number_chars.h"
#include "document/record.h"
#include "gef/reporttext.h"

namespace gef {
namespace {

constexpr int kLastUsable = 1499; // serial 1500 exists but is never handed out as free
constexpr int kSerials = 1500;
constexpr std::size_t kEscapedMax = 2048; // an escaped text must stay below this length
constexpr std::size_t kTextMax = 1023;    // longest text handed back
constexpr int kTexts = 5;

std::string escaped(const char* text) {
  std::string out;
  for (const char* p = text != nullptr ? text : ""; *p != '\0'; ++p) {
    if (*p == '#' || *p == ',' || *p == '\\' || *p == '"') out += '\\';
    out += *p;
  }
  return out;
}

void append_number(std::string& out, double v) {
  char buffer[400];
  const auto result = to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 6);
  out.append(buffer, result.ec == std::errc() ? result.ptr : buffer);
}

const char* skip_blanks(const char* p) {
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f') ++p;
  return p;
}

// Reads a number as "%lf" would, without regard to the locale; null when there is none.
const char* read_number(const char* p, double* v) {
  p = skip_blanks(p);
  if (*p == '+') ++p;
  const auto result = from_chars(p, p + std::strlen(p), *v);
  return result.ec == std::errc() ? result.ptr : nullptr;
}

// One item read back from its text form.
struct Item {
  double x = 0, y = 0;
  std::string texts[kTexts];
};

// Position of the next double quote at or after `p` that no backslash escapes, or null.
const char* next_quote(const char* p) {
  for (; *p != '\0'; ++p) {
    if (*p == '\\' && p[1] != '\0')
      ++p;
    else if (*p == '"')
      return p;
  }
  return nullptr;
}

std::string unescaped(const char* begin, const char* end) {
  while (begin < end && static_cast<unsigned char>(*begin) < 33) ++begin;
  while (end > begin && static_cast<unsigned char>(end[-1]) < 33) --end;
  std::string out;
  for (const char* p = begin; p < end && out.size() < kTextMax; ++p) {
    if (*p == '\\' && p + 1 < end) {
      ++p;
      if (*p == 't')
        out += '\t';
      else if (*p == 'n')
        out += "\\n";
      else
        out += *p;
    } else {
      out += *p;
    }
  }
  if (out.size() > kTextMax) out.resize(kTextMax);
  return out;
}

// The item in slot `n`; an absent slot, a number outside 1..1500 or an unreadable part gives
// 0 and empty texts.
Item read_item(int n) {
  Item item;
  Document* doc = current();
  if (doc == nullptr || !doc->entries || n < 1 || n > kSerials) return item;
  const Entry& e = entry(*doc, KW_REPORTTEXT, n - 1);
  const char* text = e.present != 0 ? e.field[0].s : nullptr;
  if (text == nullptr) return item;
  double x = 0, y = 0;
  const char* p = read_number(text, &x);
  if (p != nullptr) p = skip_blanks(p);
  if (p != nullptr && *p == ';' && read_number(p + 1, &y) != nullptr) {
    item.x = x;
    item.y = y;
  }
  const char* q = text;
  for (std::string& field : item.texts) {
    const char* open = next_quote(q);
    const char* close = open != nullptr ? next_quote(open + 1) : nullptr;
    if (close == nullptr) break;
    field = unescaped(open + 1, close);
    q = close + 1;
  }
  return item;
}

// The getters' text results, one buffer per getter, valid until that getter is called again.
const char* held(int which, std::string text) {
  static_assert(RETURNED_REPORT_FIRST + kTexts == kReturnedTexts, "a slot per report text");
  std::string& slot = session().returned[RETURNED_REPORT_FIRST + which];
  slot = std::move(text);
  return slot.c_str();
}

} // namespace
} // namespace gef

using namespace gef;

void put_pi(int n, double x, double y, const char* text, const char* sheet, const char* font,
            const char* size, const char* angle) try {
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return;
  std::string form;
  append_number(form, x);
  form += "; ";
  append_number(form, y);
  for (const char* t : {text, sheet, font, size, angle}) {
    const std::string e = escaped(t);
    if (e.size() >= kEscapedMax) {
      report_text(*doc, ERR_NOTE, "A report text item is too long: it is not stored.", 0, 0,
                  LEVEL_GEF_MINOR);
      return;
    }
    form += "; \"" + e + "\"";
  }
  store_typed(*doc, KW_REPORTTEXT, {&n, form.c_str(), "pi"});
}
GEF_CATCH()

double get_pi_x(int n) try { return read_item(n).x; }
GEF_CATCH(0.0)
double get_pi_y(int n) try { return read_item(n).y; }
GEF_CATCH(0.0)
const char* get_pi_tekst(int n) try { return held(0, read_item(n).texts[0]); }
GEF_CATCH("")
const char* get_pi_velinfo(int n) try { return held(1, read_item(n).texts[1]); }
GEF_CATCH("")
const char* get_pi_fontinfo(int n) try { return held(2, read_item(n).texts[2]); }
GEF_CATCH("")
const char* get_pi_fontsize(int n) try { return held(3, read_item(n).texts[3]); }
GEF_CATCH("")
const char* get_pi_hoek(int n) try { return held(4, read_item(n).texts[4]); }
GEF_CATCH("")

int get_pi_nextnr(int n) {
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return -1;
  for (int s = n < 1 ? 1 : n; s <= kLastUsable; ++s) {
    const Entry& e = entry(*doc, KW_REPORTTEXT, s - 1);
    if (e.present != 0 && e.field[1].s != nullptr && std::strncmp(e.field[1].s, "pi", 2) == 0)
      return s;
  }
  return -1;
}

void clear_all_reptxt_pi(void) {
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return;
  for (int s = 1; s <= kSerials; ++s) {
    const Entry& e = entry(*doc, KW_REPORTTEXT, s - 1);
    if (e.present != 0 && equals_nocase(e.field[1].s, "pi")) delete_keyword(*doc, KW_REPORTTEXT, s);
  }
}

int get_reptxt_nextnr(int n) {
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return -1;
  for (int s = n < 1 ? 1 : n; s <= kLastUsable; ++s)
    if (entry(*doc, KW_REPORTTEXT, s - 1).present == 0) return s;
  return -1;
}
