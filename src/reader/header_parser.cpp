// SPDX-License-Identifier: MIT
// The GEF header syntax and the header pass of the file reader.
#include "reader/header_parser.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <new>

#include "conformance/header_rules.h"
#include "diagnostics/error_list.h"
#include "document/store.h"
#include "reader/file_io.h"

namespace gef {
namespace {

bool is_control_or_blank(char c) { return static_cast<unsigned char>(c) < 33; }

// Copies [begin, end) without the control characters and blanks at either end, cut to what a
// field buffer holds. A NUL byte ends the text first, so that what is stored ends trimmed too.
void copy_trimmed(const char* begin, const char* end, char* out) {
  if (const void* nul = std::memchr(begin, '\0', std::size_t(end - begin)))
    end = static_cast<const char*>(nul);
  while (begin < end && is_control_or_blank(*begin)) ++begin;
  while (end > begin && is_control_or_blank(end[-1])) --end;
  const std::size_t n = std::min<std::size_t>(std::size_t(end - begin), kFieldSize - 1);
  std::memcpy(out, begin, n);
  out[n] = '\0';
}

// A terminator preceded by one or three backslashes is escaped; two leave it active. Only the
// backslashes inside the field count.
bool is_escaped(const char* field, std::int64_t i) {
  if (i == 0 || field[i - 1] != '\\') return false; // the common case, decided at once
  int slashes = 1;
  while (slashes < 3 && i - slashes - 1 >= 0 && field[i - slashes - 1] == '\\') ++slashes;
  return slashes == 1 || slashes == 3;
}

// The first of `stops` in [begin, end), or `end`: one memchr per character looked for, each
// stopping at the best found so far, instead of a comparison per byte.
const char* first_of(const char* begin, const char* end, std::initializer_list<char> stops) {
  for (const char c : stops)
    if (const void* found = std::memchr(begin, c, std::size_t(end - begin)))
      end = static_cast<const char*>(found);
  return end;
}

// Offset from `field` of the first unescaped `,`, `#` or line feed before `bound`, or `bound`.
// The candidates are found with memchr, a line feed first, so that no search runs past the line.
std::int64_t find_terminator(const char* field, std::int64_t bound) {
  std::int64_t from = 0;
  while (from < bound) {
    const char* start = field + from;
    const void* feed = std::memchr(start, '\n', std::size_t(bound - from));
    const char* end = feed != nullptr ? static_cast<const char*>(feed) : field + bound;
    const char* found = first_of(start, end, {',', '#'});
    if (found == field + bound) return bound;
    const std::int64_t i = found - field;
    if (!is_escaped(field, i)) return i;
    from = i + 1;
  }
  return bound;
}

// The field limits a finder failure reports: at the line limit the line is malformed, before it
// the text simply ended.
std::int64_t fail(Document& doc, std::int64_t limit, int code, const char* text, Level level) {
  if (limit < kLineLimit) return kTextEnded;
  report_text(doc, code, text, 0, 0, level);
  doc.reading.stop = 1;
  return kLineLimit;
}

// Reads "%d" as sscanf does, saturating instead of overflowing; false when no digits follow.
bool scan_int(const char*& p, int& value) {
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  const char* q = p;
  bool negative = false;
  if (*q == '+' || *q == '-') negative = *q++ == '-';
  if (*q < '0' || *q > '9') return false;
  long long v = 0;
  for (; *q >= '0' && *q <= '9'; ++q) v = std::min(v * 10 + (*q - '0'), 1LL << 32);
  value = int(std::max<long long>(std::min<long long>(negative ? -v : v, 2147483647), -2147483647));
  p = q;
  return true;
}

// The first line must name a supported GEFID: "GEFID", then after the first `=` three numbers
// in the form "%d, %d, %d" giving 1.0.0, 1.1.0 or 2.0.0. Producers also write a UTF-8
// byte-order mark or blank lines before it, and updates of 1.1 for the 1.1.0 format; those are
// read, with a report. Returns the offset of the GEFID line, or -1 after reporting why the file
// cannot be read.
std::int64_t check_gefid_line(Document& doc, const char* window, std::int64_t size) {
  std::int64_t start = 0;
  if (size >= 3 && std::memcmp(window, "\xEF\xBB\xBF", 3) == 0) start = 3;
  // Only whole lines of blanks are skipped: blanks before `#GEFID` on its own line stay part of it.
  std::int64_t first = start;
  for (std::int64_t i = start; i < size; ++i) {
    const char c = window[i];
    if (c == '\n') first = i + 1;
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') break;
  }
  char line[255];
  std::int64_t n = 0;
  while (n < 254 && first + n < size && window[first + n] != '\n' && window[first + n] != '\0') {
    const char c = window[first + n];
    line[n++] = (c >= 'a' && c <= 'z') ? char(c - 32) : c;
  }
  line[n] = '\0';
  const char* equals = std::strchr(line, '=');
  if (std::strstr(line, "GEFID") == nullptr || equals == nullptr) {
    report_text(doc, ERR_GEFID_MISSING, "", 0, 0, LEVEL_GEF_SEVERE);
    return -1;
  }
  if (first > start)
    report_text(doc, ERR_NOTE, "Blank lines before GEFID were skipped.", 0, 0,
                LEVEL_GEF_INFORMATION);
  const char* p = equals + 1;
  int release = 0, version = 0, update = 0;
  if (!scan_int(p, release) || *p++ != ',' || !scan_int(p, version) || *p++ != ',' ||
      !scan_int(p, update)) {
    report_text(doc, ERR_GEFID_MISSING, "", 0, 0, LEVEL_GEF_SEVERE);
    return -1;
  }
  char text[96];
  if (release == 1 && version == 1 && update > 0) {
    std::snprintf(text, sizeof text, "GEFID %d.%d.%d is read as 1.1.0.", release, version, update);
    report_text(doc, ERR_NOTE, text, 0, 0, LEVEL_GEF_WARNING);
    return first;
  }
  if (update == 0 &&
      ((release == 1 && (version == 0 || version == 1)) || (release == 2 && version == 0)))
    return first;
  std::snprintf(text, sizeof text, "GEFID %d.%d.%d is not supported (1.0.0, 1.1.0 and 2.0.0 are).",
                release, version, update);
  report_text(doc, ERR_NOTE, text, 0, 0, LEVEL_GEF_SEVERE);
  report_text(doc, ERR_GEFID_MISSING, "", 0, 0, LEVEL_GEF_SEVERE);
  return -1;
}

// A stretch of the file that always begins at the line being parsed, so that a line up to the
// window's size is seen whole.
class Window {
public:
  explicit Window(std::FILE* file) : file_(file) {}
  bool ok() const { return bytes_ != nullptr; }
  const char* data() const { return bytes_.get(); }
  std::int64_t size() const { return size_; }
  std::int64_t base() const { return base_; }
  // True while bytes may follow the window in the file.
  bool full() const { return size_ == kWindowSize; }

  void allocate() { bytes_.reset(new (std::nothrow) char[kWindowSize]); }
  // Drops the first `offset` bytes and refills the window from the file.
  void advance(std::int64_t offset) {
    std::memmove(bytes_.get(), bytes_.get() + offset, std::size_t(size_ - offset));
    base_ += offset;
    size_ -= offset;
    size_ +=
        std::int64_t(std::fread(bytes_.get() + size_, 1, std::size_t(kWindowSize - size_), file_));
  }

private:
  std::FILE* file_;
  std::unique_ptr<char[]> bytes_;
  std::int64_t base_ = 0;
  std::int64_t size_ = 0;
};

} // namespace

std::int64_t find_keyword(Document& doc, const char* line, std::int64_t bound, char* keyword) {
  keyword[0] = '\0';
  const std::int64_t limit = std::min<std::int64_t>(kLineLimit, bound);
  if (limit <= 0) return kTextEnded;
  std::int64_t p = 0;
  if (line[0] != '#') {
    const void* hash = std::memchr(line + 1, '#', std::size_t(limit - 1));
    if (hash == nullptr) return fail(doc, limit, 11, "", LEVEL_GEF_ERROR);
    p = static_cast<const char*>(hash) - line;
  }
  for (++p; p < limit && is_control_or_blank(line[p]);) ++p;
  if (p >= limit) return fail(doc, limit, 12, "", LEVEL_GEF_ERROR);
  // The name ends at the first blank, tab or `=`; the `=` may follow after blanks.
  const std::int64_t start = p;
  const char* equals = static_cast<const char*>(std::memchr(line + p, '=', std::size_t(limit - p)));
  p = first_of(line + p, equals != nullptr ? equals : line + limit, {' ', '\t'}) - line;
  if (p >= limit) return fail(doc, limit, 13, "", LEVEL_GEF_MINOR);
  std::memcpy(keyword, line + start, std::size_t(p - start));
  keyword[p - start] = '\0';
  if (equals == nullptr) {
    const std::int64_t result = fail(doc, limit, 14, keyword, LEVEL_GEF_MINOR);
    keyword[0] = '\0';
    return result;
  }
  return equals - line + 1;
}

int split_keyword_line(Document& doc, const char* line, std::int64_t bound, bool bound_is_end,
                       KeywordLine& out, std::int64_t& consumed) {
  consumed = 0;
  const std::int64_t after = find_keyword(doc, line, bound, out.field[0]);
  if (doc.reading.stop != 0) {
    report_text(doc, ERR_EOH_MISSING, "", 0, 0, LEVEL_GEF_ERROR);
    return 0;
  }
  if (after == kTextEnded) {
    consumed = -1;
    return 1;
  }
  consumed = after;
  {
    char name[kFieldSize];
    copy_trimmed(out.field[0], out.field[0] + std::strlen(out.field[0]), name);
    std::memcpy(out.field[0], name, std::strlen(name) + 1);
  }

  if (equals_nocase(out.field[0], "EOH")) {
    const std::int64_t t = find_terminator(line + consumed, bound - consumed);
    if (consumed + t >= bound) {
      // `#EOH=` closing the file without a line end still ends the header.
      consumed = bound_is_end ? bound : -1;
    } else {
      consumed += t + (line[consumed + t] == '#' ? 0 : 1);
    }
    return 0;
  }

  int written = 0;
  for (int k = 1; k < kFieldBuffers; ++k) {
    const char* field = line + consumed;
    const std::int64_t t = find_terminator(field, bound - consumed);
    if (consumed + t >= bound) {
      consumed = -1;
      break;
    }
    copy_trimmed(field, field + t, out.field[k]);
    written = k;
    const bool hash = field[t] == '#';
    consumed += t + (hash ? 0 : 1);
    if (hash) break;
  }
  // A field ends at a line feed, so the text between a line's end and the next `#` is one more
  // field (normally empty); the last real field keeps nothing beyond its own line.
  if (written >= 2) {
    // What the cut leaves is trimmed again, so that a stored text never ends in a blank.
    char* last = out.field[written - 1];
    std::size_t n = std::strcspn(last, "\r\n");
    while (n > 0 && is_control_or_blank(last[n - 1])) --n;
    last[n] = '\0';
  }
  if (written == kFieldBuffers - 1) {
    consumed = -1;
    return -1;
  }
  for (int k = written + 1; k < kFieldBuffers; ++k) out.field[k][0] = '\0';
  return 1;
}

int read_header(Document& doc, std::FILE* file) {
  doc.reading.stop = 0;
  Window window(file);
  std::unique_ptr<KeywordLine> line(new (std::nothrow) KeywordLine);
  window.allocate();
  if (!window.ok() || !line) {
    report_keyword(doc, ERR_OUT_OF_MEMORY, kNameColumns,
                   (kWindowSize + int(sizeof(KeywordLine))) / 1024, 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  window.advance(0);
  std::int64_t offset = check_gefid_line(doc, window.data(), window.size());
  if (offset < 0) return 0;

  std::int64_t consumed = 0;
  {
    InputModeScope text(doc, STRING);
    for (;;) {
      const int result = split_keyword_line(doc, window.data() + offset, window.size() - offset,
                                            !window.full(), *line, consumed);
      // A line cut by the window's end is parsed again from the window's start. Moving the window
      // only then, not before every line, keeps a long header from being copied line by line;
      // a cut line has reported and stored nothing, so parsing it again changes nothing.
      if (consumed < 0 && result != -1 && window.full() && offset > 0) {
        window.advance(offset);
        offset = 0;
        continue;
      }
      if (result == 0 || consumed < 0) break;
      const void* args[kMaxFields];
      for (int k = 0; k < kMaxFields; ++k) args[k] = line->field[k + 1];
      store_keyword(doc, line->field[0], args);
      offset += consumed;
    }
    if (consumed >= 0 && entry(doc, KW_DATATYPE, 0).present == 0) {
      const void* args[kMaxFields] = {"REAL8"};
      store_keyword(doc, KW_DATATYPE, "DATATYPE", args);
    }
  }
  if (consumed < 0) {
    report_text(doc, ERR_EOH_MISSING, "", 0, 0, LEVEL_GEF_ERROR);
    return 0;
  }
  doc.reading.data_offset = window.base() + offset + consumed;
  if (!seek_file(file, doc.reading.data_offset)) {
    report_text(doc, ERR_FILE_CANNOT_BE_OPENED, "(data block)", 0, 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  return check_header_completeness(doc).worst == 1 ? 0 : 1;
}

} // namespace gef
