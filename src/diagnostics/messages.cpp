// SPDX-License-Identifier: MIT
// The message templates of every error code and the formatting of an entry into English text.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

#include "diagnostics/error_list.h"
#include "document/keywords.h"
#include "document/record.h"

namespace gef {
namespace {

// One message template. `variant` 0 serves every entry of the code; codes with three templates
// choose by their numbers: 1 when both are 0, 2 when only the second is set, 3 when the first
// is set. `args` names what fills each conversion of the template, in order:
//   T subject text, U subject text in upper case, 1 / 2 first / second number,
//   c / d first / second number as a character, n first number plus one,
//   R V W the document's GEFID release, version and update.
struct Message {
  int code;
  int variant;
  const char* text;
  const char* args;
};

// The texts are byte-exact output: logs and callers compare them.
constexpr Message kMessages[] = {
#define GEF_ERROR(Code, NAME, Variant, Text, Args) {Code, Variant, Text, Args},
#include "diagnostics/errors.def"
};

constexpr const char* kClueless =
    " Clueless. Unknown error corresponding to error code %d occured.\n ";

constexpr bool sorted_by_code() {
  for (std::size_t i = 1; i < std::size(kMessages); ++i)
    if (kMessages[i].code < kMessages[i - 1].code) return false;
  return true;
}
static_assert(sorted_by_code(), "errors.def: messages out of code order");

const Message* find_message(int code, int first, int second) {
  const int variant = first != 0 ? 3 : (second != 0 ? 2 : 1);
  const Message* m = std::lower_bound(std::begin(kMessages), std::end(kMessages), code,
                                      [](const Message& a, int c) { return a.code < c; });
  for (; m != std::end(kMessages) && m->code == code; ++m)
    if (m->variant == 0 || m->variant == variant) return m;
  return nullptr;
}

// Appends text to a fixed buffer, cutting what does not fit.
struct Writer {
  char* buffer;
  std::size_t size;
  std::size_t length = 0;

  void put(const char* text, std::size_t n) {
    if (length + 1 >= size) return;
    if (n > size - 1 - length) n = size - 1 - length;
    std::memcpy(buffer + length, text, n);
    length += n;
    buffer[length] = '\0';
  }
  void put(const std::string& text) { put(text.data(), text.size()); }
  void number(long long value) { put(std::to_string(value)); }
};

std::int32_t gefid_field(Document& doc, int k) { return entry(doc, KW_GEFID, 0).field[k].i; }

} // namespace

const char* format_error_message(Document& doc, int code, const char* subject, int first,
                                 int second) {
  ErrorList& list = *doc.errors;
  Writer out{list.message, sizeof list.message};
  list.message[0] = '\0';
  const Message* m = find_message(code, first, second);
  const char* text = m != nullptr ? m->text : kClueless;
  const char* args = m != nullptr ? m->args : "1";
  if (m == nullptr) first = code;
  if (subject == nullptr) subject = "";

  // Every conversion of a template is %s, %d, %ld or %c; the filler is chosen by `args`, so no
  // text ever reaches printf as a format.
  for (const char* p = text; *p != '\0'; ++p) {
    const std::size_t run = std::strcspn(p, "%");
    out.put(p, run);
    p += run;
    if (*p == '\0') break;
    ++p;
    if (*p == 'l') ++p;
    const char kind = *args != '\0' ? *args++ : '?';
    switch (kind) {
    case 'T': out.put(subject, std::strlen(subject)); break;
    case 'U': out.put(ascii_upper(subject)); break;
    case '1': out.number(first); break;
    case '2': out.number(second); break;
    case 'n': out.number(static_cast<long long>(first) + 1); break;
    case 'c': {
      char c = char(first);
      out.put(&c, 1);
      break;
    }
    case 'd': {
      char c = char(second);
      out.put(&c, 1);
      break;
    }
    case 'R': out.number(gefid_field(doc, 0)); break;
    case 'V': out.number(gefid_field(doc, 1)); break;
    case 'W': out.number(gefid_field(doc, 2)); break;
    default: break;
    }
  }
  return list.message;
}

} // namespace gef
