// SPDX-License-Identifier: MIT
// The text data block reader: values separated as the header declares, with optional per-scan
// texts.
//
// The whole rest of the file is parsed in memory in one pass and the data block is then filled at
// its final size, so no temporary files are needed and concurrent reads cannot disturb each other.
//
// Producers often end a scan right after its last value: with the record separator instead of a
// column separator first, with a line end where blanks separate the values, or with the end of
// the file. Such a scan is complete, so it is kept and reported once as a deviation; every other
// missing separator still ends the data as the format demands. Likewise a file with per-scan
// texts but neither separator is read line by line when nothing but blanks follows each scan's
// last value.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "diagnostics/error_list.h"
#include "document/columns.h"
#include "document/convert.h"
#include "reader/file_io.h"
#include "reader/read_steps.h"

namespace gef {
namespace {

constexpr char kDosEnd = 26;          // DOS end-of-file mark
constexpr int kColumnTextRead = 1024; // characters read for one text, separator included

// Outcomes of the parse.
enum Outcome {
  kNoRecordSeparator = -1,
  kEnded = 1,
  kBadValue = 2,
  kBadColumnSeparator = 3,
  kBadRecordSeparator = 4,
  kTextTooLong = 5,
};

// What reading one value found.
enum class Value { READ, AT_END, NOT_A_NUMBER, NO_SEPARATOR, WRONG_SEPARATOR };

bool is_c_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The values as they are read, stored straight into the data block column after column, with
// room for a guessed number of scans per column that doubles when the guess falls short. Storing
// them in place spares a second copy of the block, the pass that reorders it, and the fresh
// memory both would touch.
class ColumnStore {
public:
  // Throws std::bad_alloc when even a small block cannot be had.
  ColumnStore(int columns, std::int64_t scans) : columns_(columns) {
    const std::int64_t least = std::min(kLeast, most());
    if (!allocate(std::min(std::max(scans, least), most()), false)) allocate(least, true);
  }

  void push_back(double v) {
    if (stored_) block_[std::size_t(at_)] = v;
    at_ += room_;
    if (++column_ == columns_) {
      column_ = 0;
      at_ = ++scan_;
      if (scan_ == room_) grow();
    }
  }
  void pop_back() {
    if (column_ == 0) {
      column_ = columns_;
      --scan_;
    }
    --column_;
    at_ = std::int64_t(column_) * room_ + scan_;
  }
  std::size_t size() const { return std::size_t(scan_ * columns_ + column_); }

  // The block holding the first `scans` scans, each column's values right after the last's.
  std::unique_ptr<double[]> take(std::int64_t scans) {
    for (int c = 1; c < columns_; ++c)
      std::memmove(block_.get() + c * scans, block_.get() + c * room_,
                   std::size_t(scans) * sizeof(double));
    if (scans == 0) block_[0] = 0.0;
    return std::move(block_);
  }

private:
  static constexpr std::int64_t kLeast = 64;

  // The most scans per column a document's block can hold.
  std::int64_t most() const { return std::numeric_limits<std::int32_t>::max() / columns_; }

  // Moves to a block of `scans` scans per column, the scans so far copied over; false when memory
  // runs out, unless `or_throw`.
  bool allocate(std::int64_t scans, bool or_throw) {
    const std::int64_t size = scans * columns_;
    std::unique_ptr<double[]> block(new (std::nothrow) double[std::size_t(size)]);
    if (!block) {
      if (or_throw) throw std::bad_alloc();
      return false;
    }
    prefer_large_pages(block.get(), std::size_t(size) * sizeof(double));
    for (int c = 0; c < columns_ && block_; ++c)
      std::memcpy(block.get() + c * scans, block_.get() + c * room_,
                  std::size_t(scan_) * sizeof(double));
    block_ = std::move(block);
    room_ = scans;
    at_ = std::int64_t(column_) * room_ + scan_;
    return true;
  }
  // Past what a document can hold, values are only counted: the caller reports the block as too
  // large before it takes any.
  void grow() {
    if (room_ >= most())
      stored_ = false;
    else
      allocate(std::min(room_ * 2, most()), true);
  }

  std::unique_ptr<double[]> block_;
  std::int64_t room_ = 0; // scans each column has room for
  int columns_;
  int column_ = 0;        // column of the next value
  std::int64_t scan_ = 0; // scan of the next value
  std::int64_t at_ = 0;   // index of the next value in the block
  bool stored_ = true;
};

struct Parser {
  const char* p;
  const char* end;
  int columns;
  char column_separator;
  char record_separator;
  bool has_record_separator;
  bool line_ends_scan; // values are separated by blanks or tabs, and scans by nothing else
  ColumnStore& values; // the values read so far
  std::vector<std::pair<std::int32_t, std::string>> texts; // scan index, text
  std::int64_t early_end = 0; // first scan (1-based) closed right after its last value, or 0
  bool cut_at_end = false;    // the file ends right after the last value of a complete scan
  bool closed = false;        // the scan just read consumed its record separator

  // "%lf": white space, then a number; at the end of the input nothing is read.
  Value read_value() {
    while (p < end && is_c_space(*p)) ++p;
    if (p == end) return Value::AT_END;
    double v = 0;
    const char* after = parse_number(p, end, &v);
    if (after == p) return Value::NOT_A_NUMBER;
    p = after;
    values.push_back(v);
    return Value::READ;
  }

  // "%lf%c" with the column separator as the character. Without the separator the value stays
  // in the list for the caller to judge.
  Value read_value_with_separator() {
    const Value v = read_value();
    if (v != Value::READ) return v;
    if (p == end || *p != column_separator)
      return p == end ? Value::NO_SEPARATOR : Value::WRONG_SEPARATOR;
    ++p;
    return Value::READ;
  }

  // Whether what follows a scan's last value, other than the column separator, still ends the
  // scan completely: the end of the file, the record separator (consumed), or a line end when
  // blanks or tabs separate the values.
  bool ends_scan_early() {
    if (p == end) {
      cut_at_end = true;
      return true;
    }
    if (has_record_separator && *p == record_separator) {
      ++p;
      closed = true;
    } else if (!line_ends_scan || (*p != '\r' && *p != '\n')) {
      return false;
    }
    if (early_end == 0) early_end = std::int64_t(values.size()) / columns;
    return true;
  }

  // Outcome of a value that failed at the start of a scan (`first`) or within it.
  int failure(Value v, bool first) const {
    switch (v) {
    case Value::AT_END: return kEnded;
    case Value::WRONG_SEPARATOR: return kBadColumnSeparator;
    case Value::NOT_A_NUMBER: return first && *p == kDosEnd ? kEnded : kBadValue;
    default: return kBadValue;
    }
  }

  // Reads one scan's values; 0 when all were read, else the outcome. A value without its
  // separator does not count, unless it is the scan's last and ends the scan early.
  int read_scan(bool separated) {
    closed = false;
    for (int c = 0; c < columns; ++c) {
      const Value v = separated ? read_value_with_separator() : read_value();
      if (v == Value::READ) continue;
      if (v == Value::NO_SEPARATOR || v == Value::WRONG_SEPARATOR) {
        if (c + 1 == columns && ends_scan_early()) return 0;
        values.pop_back();
      }
      return failure(v, c == 0);
    }
    return 0;
  }

  // Whether only blanks or tabs follow up to the line end or the end of the file; the line end
  // is consumed.
  bool rest_of_line_blank() {
    while (p < end && (*p == ' ' || *p == '\t')) ++p;
    if (p == end) return true;
    if (*p != '\r' && *p != '\n') return false;
    if (*p++ == '\r' && p < end && *p == '\n') ++p;
    return true;
  }

  // The text up to the record separator. 0 when read, kTextTooLong when the separator is not
  // among the first 1024 characters, kEnded when the file ends first (the text so far is kept).
  int read_column_text(std::int32_t scan) {
    const char* start = p;
    const std::ptrdiff_t room = end - p;
    const std::ptrdiff_t limit = room < kColumnTextRead ? room : kColumnTextRead;
    const void* found = std::memchr(p, record_separator, std::size_t(limit));
    const char* stop = found != nullptr ? static_cast<const char*>(found) : p + limit;
    if (found == nullptr && limit == kColumnTextRead) return kTextTooLong;
    if (found != nullptr && stop - start + 1 >= kColumnTextRead) return kTextTooLong;
    // A stored text ends at its first NUL byte; one that ends before it starts is no text.
    const void* nul = std::memchr(start, '\0', std::size_t(stop - start));
    const char* text_end = nul != nullptr ? static_cast<const char*>(nul) : stop;
    if (text_end > start) texts.emplace_back(scan, std::string(start, text_end));
    p = found != nullptr ? stop + 1 : end;
    return found != nullptr ? 0 : kEnded;
  }
};

// The forms differ in the separators declared and in whether scans carry texts.
int parse(Parser& in, bool texts, bool column_separator, bool record_separator) {
  for (std::int32_t scan = 0;; ++scan) {
    if (texts) {
      if (column_separator) {
        if (int r = in.read_scan(true)) return r;
        if (in.closed) continue; // the scan's text is empty
      } else {
        for (int c = 0; c < in.columns; ++c) {
          const Value v = in.read_value();
          if (v == Value::AT_END) return kEnded;
          if (v != Value::READ) return c == 0 && *in.p == kDosEnd ? kEnded : kBadValue;
        }
        // Without any separator a scan can only end at its line end, and then only with
        // nothing but blanks after its last value: its text is empty.
        if (!record_separator) {
          if (!in.rest_of_line_blank()) return kNoRecordSeparator;
          continue;
        }
      }
      if (int r = in.read_column_text(scan)) return r;
    } else if (column_separator && record_separator) {
      if (int r = in.read_scan(true)) return r;
      if (in.closed) continue;
      if (in.p == in.end) return kEnded;
      if (*in.p++ != in.record_separator) return kBadRecordSeparator;
    } else if (column_separator) {
      if (int r = in.read_scan(true)) return r;
    } else if (record_separator) {
      if (int r = in.read_scan(false)) return r;
      while (in.p < in.end && (*in.p == ' ' || *in.p == '\t' || *in.p == '\n' || *in.p == '\r'))
        ++in.p;
      if (in.p == in.end) return kEnded;
      if (*in.p++ != in.record_separator) return kBadRecordSeparator;
    } else {
      // Without separators values simply follow each other; a DOS end mark ends the data.
      for (;;) {
        const Value v = in.read_value();
        if (v == Value::AT_END) return kEnded;
        if (v != Value::READ) return *in.p == kDosEnd ? kEnded : kBadValue;
      }
    }
  }
}

// The bytes that can stand in a number, by table: the guess below looks at thousands of them.
constexpr std::array<bool, 256> build_number_bytes() {
  std::array<bool, 256> table{};
  for (const char c : {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', '.', '-', '+', 'e', 'E'})
    table[static_cast<unsigned char>(c)] = true;
  return table;
}
constexpr std::array<bool, 256> kNumberByte = build_number_bytes();

// A guess at the number of values in the block from the number starts in its first bytes, so that
// the value list is sized once instead of growing through copies of a large block.
std::size_t expected_values(const char* bytes, std::size_t size) {
  constexpr std::size_t kSample = 4096;
  const std::size_t sample = size < kSample ? size : kSample;
  std::size_t starts = 0;
  bool in_number = false;
  for (std::size_t i = 0; i < sample; ++i) {
    const bool part = kNumberByte[static_cast<unsigned char>(bytes[i])];
    starts += unsigned(part) & unsigned(!in_number);
    in_number = part;
  }
  const double per_byte = sample > 0 ? double(starts) / double(sample) : 0.0;
  const double guess = per_byte * double(size) * 1.02 + 64;
  // Every value takes at least two bytes with its separator; more cannot be needed.
  const double most = double(size) / 2 + 64;
  return std::size_t(guess < most ? guess : most);
}

std::int32_t clamp_count(std::int64_t n) {
  return n < 0 ? 0 : n > std::numeric_limits<std::int32_t>::max() ? 0 : std::int32_t(n);
}

// Gives the document `block` as its data block of `count` values, or a block of one cleared value
// when `block` is null, so that there is always one to point at, and records its capacity. False
// after reporting when memory runs out.
bool install_block(Document& doc, std::unique_ptr<double[]> block, std::int64_t count,
                   std::int32_t scans) {
  release_data(doc);
  doc.data_present = 1;
  doc.scan_count = scans;
  doc.scan_known = 1;
  if (!block) {
    block.reset(new (std::nothrow) double[1]);
    if (!block) {
      report_keyword(doc, ERR_OUT_OF_MEMORY, kNameColumns, 0, 0, LEVEL_GEF_SEVERE);
      return false;
    }
    block[0] = 0.0;
  }
  library().data = std::move(block);
  doc.value_capacity = std::int32_t(count > 0 ? count : 1);
  if (!resize_column_texts(scans)) {
    report_keyword(doc, ERR_OUT_OF_MEMORY, kNameColumns, std::int32_t(scans / 128), 0,
                   LEVEL_GEF_SEVERE);
    return false;
  }
  return true;
}

} // namespace

int read_ascii_data(Document& doc, std::FILE* file) {
  const int columns = column_count_or(doc, 0);
  ReadScratch& scratch = library().scratch;
  struct Trim {
    ReadScratch& scratch;
    ~Trim() { trim_scratch(scratch); }
  } trim{scratch};
  if (!read_rest(file, scratch)) {
    report_keyword(doc, ERR_OUT_OF_MEMORY, kNameColumns, std::int32_t(scratch.size / 1024), 0,
                   LEVEL_GEF_SEVERE);
    return 0;
  }
  if (scratch.size == 0 || columns <= 0) return install_block(doc, nullptr, 0, 0) ? 1 : 0;

  const Entry& text_kw = entry(doc, KW_COLUMNTEXT, 0);
  const Entry& colsep = entry(doc, KW_COLUMNSEPARATOR, 0);
  const Entry& recsep = entry(doc, KW_RECORDSEPARATOR, 0);
  const bool texts = text_kw.present != 0 && text_kw.field[0].i != 0;
  const bool keep_texts = text_kw.present != 0 && text_kw.field[0].i == 1;
  const char* begin = scratch.bytes.get();
  const bool blank_separated = !texts && colsep.present != 0 && recsep.present == 0 &&
                               (colsep.field[0].c == ' ' || colsep.field[0].c == '\t');
  // The block read before goes first, so that its memory can hold this one.
  release_data(doc);
  std::optional<ColumnStore> store;
  try {
    store.emplace(columns, std::int64_t(expected_values(begin, scratch.size)) / columns + 1);
  } catch (const std::bad_alloc&) {
    report_keyword(doc, ERR_OUT_OF_MEMORY, kNameColumns, 0, 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  Parser in{begin,
            begin + scratch.size,
            columns,
            colsep.field[0].c,
            recsep.field[0].c,
            recsep.present != 0,
            blank_separated,
            *store,
            {}};
  int outcome = kNoRecordSeparator;
  try {
    if (!texts || recsep.present != 0 || colsep.present == 0)
      outcome = parse(in, texts, colsep.present != 0, recsep.present != 0);
  } catch (const std::bad_alloc&) {
    report_keyword(doc, ERR_OUT_OF_MEMORY, kNameColumns, std::int32_t(in.values.size() * 8 / 1024),
                   0, LEVEL_GEF_SEVERE);
    return 0;
  }
  const std::int64_t n = std::int64_t(in.values.size());
  const std::int64_t c = columns;
  doc.reading.data_outcome = outcome;
  doc.reading.values_read = n;

  // Scans kept follow the outcome; messages never name a scan or column below 1.
  if (in.early_end > 0)
    report_text(doc, ERR_NO_COLUMN_SEPARATOR, "", clamp_count(in.early_end), columns,
                LEVEL_GEF_WARNING);
  if (texts && recsep.present == 0 && outcome != kNoRecordSeparator)
    report_text(doc, ERR_COLUMNTEXT_WITHOUT_RECORDSEPARATOR, "", 1, 0, LEVEL_GEF_WARNING);
  std::int64_t scans = 0;
  switch (outcome) {
  case kNoRecordSeparator:
    report_text(doc, ERR_COLUMNTEXT_WITHOUT_RECORDSEPARATOR, "", 0, 0, LEVEL_GEF_SEVERE);
    return 0;
  case kEnded:
    if (n % c != 0 || in.cut_at_end)
      report_text(doc, ERR_DATA_REMAINS, "", 0, 0, LEVEL_GEF_WARNING);
    scans = n / c;
    break;
  case kBadValue:
    report_text(doc, ERR_UNKNOWN_DATA_ENTRY, "", n > 0 ? clamp_count((n - 1) / c + 1) : 1,
                n > 0 ? clamp_count((n - 1) % c + 1) : 1, LEVEL_GEF_WARNING);
    scans = n > 0 ? (n - 1) / c : 0;
    break;
  case kBadColumnSeparator:
    report_text(doc, ERR_NO_COLUMN_SEPARATOR, "", clamp_count(n / c + 1), clamp_count(n % c + 1),
                LEVEL_GEF_ERROR);
    scans = n > 0 ? (n - 1) / c : 0;
    break;
  case kBadRecordSeparator:
    report_text(doc, ERR_NO_RECORD_SEPARATOR, "", clamp_count(n / c), 0, LEVEL_GEF_ERROR);
    scans = n / c - 1;
    break;
  case kTextTooLong:
    // The values of the scan were read before its text, so n / C is that scan's number.
    report_text(doc, ERR_COLUMNTEXT_TOO_LONG, "", clamp_count(n / c > 0 ? n / c : 1),
                kColumnTextRead, LEVEL_GEF_WARNING);
    scans = n / c;
    break;
  default: report_text(doc, ERR_UNKNOWN_RETURN_CODE, "", 0, 0, LEVEL_GEF_ERROR); return 0;
  }
  if (scans < 0) scans = 0;
  if (scans * c > std::numeric_limits<std::int32_t>::max()) {
    report_keyword(doc, ERR_BLOCK_TOO_LARGE, kNameColumns, std::numeric_limits<std::int32_t>::max(),
                   0, LEVEL_GEF_SEVERE);
    return 0;
  }
  const std::int32_t s = std::int32_t(scans);
  if (!install_block(doc, store->take(scans), scans * c, s)) return 0;

  if (!keep_texts) return 1;
  for (const auto& [scan, text] : in.texts) {
    if (scan >= s) break;
    // Room rounded up to the next multiple of 16 lets a later setter reuse the buffer.
    const std::size_t room = (text.size() + 1) / 16 * 16 + 16;
    char* copy = static_cast<char*>(std::malloc(room));
    if (copy == nullptr) {
      report_keyword(doc, ERR_OUT_OF_MEMORY, kNameColumns, std::int32_t(room / 1024), 0,
                     LEVEL_GEF_SEVERE);
      return 0;
    }
    std::memcpy(copy, text.c_str(), text.size() + 1);
    std::free(library().column_texts[std::size_t(scan)]);
    library().column_texts[std::size_t(scan)] = copy;
  }
  return 1;
}

} // namespace gef
