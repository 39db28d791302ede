// SPDX-License-Identifier: MIT
// Real files written back: what was read comes back, and a second write gives the same bytes.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <map>
#include <sstream>

#include "conformance/header_rules.h"
#include "document/columns.h"
#include "reader/binary_data.h"
#include "writer/writer_fixture.h"

namespace gef::test {
namespace {

namespace fs = std::filesystem;

bool forced(int code) { return code == KW_OS || code == KW_DATAFORMAT || code == KW_DATATYPE; }

// Numbers that are rounded by design when written.
bool rounded(int code) {
  return code == KW_XYID || code == KW_ZID || code == KW_COLUMNMINMAX || code == KW_QNMINMAX;
}

// Fields the writer fills with a default when they were not given.
bool written_default(int code) {
  return code == KW_GEFID || code == KW_FILEOWNER || code == KW_FILEDATE || code == KW_PROJECTID ||
         code == KW_FIRSTSCAN || code == KW_COLUMNOFFSET || code == KW_TIMECOLUMN ||
         code == KW_QNTIME || code == KW_ROW;
}

const char kNotGiven = '\x01'; // leads the text of a field that was not given

// Every stored entry with one exact text per field, and the data block.
struct Snapshot {
  std::map<std::pair<int, int>, std::vector<std::string>> items; // (code, slot)
  std::vector<double> data;
  std::vector<std::string> texts;
  int columns = 0, scans = 0, lastscan = INT_MAX; // INT_MAX: no LASTSCAN
};

std::string field_text(int code, const Entry& e, int k) {
  const Field& f = e.field[k];
  std::ostringstream out;
  out << std::hexfloat;
  switch (field_info(code, k).type) {
  case FieldType::TEXT: out << (f.s != nullptr ? f.s : ""); break;
  case FieldType::INT: out << f.i; break;
  case FieldType::CHAR: out << int(f.c); break;
  case FieldType::FLOAT: out << (rounded(code) ? 0.0f : f.f); break;
  case FieldType::DOUBLE: out << (rounded(code) ? 0.0 : f.d); break;
  }
  const bool given = k < 8 ? (e.bits >> k & 1) != 0 : !out.str().empty();
  return given ? out.str() : kNotGiven + out.str();
}

Snapshot snapshot() {
  Snapshot s;
  for (int code = 1; code <= 63; ++code) {
    const KeywordInfo& kw = keyword_info(code);
    if (kw.name == nullptr || kw.area != code) continue;
    for (int slot = 0; slot < kw.capacity; ++slot) {
      const Entry& e = entry(g_document, code, slot);
      for (int k = 0; k < kw.field_count && e.present != 0; ++k)
        s.items[{code, slot}].push_back(field_text(code, e, k));
    }
  }
  if (entry_of(KW_LASTSCAN).present != 0) s.lastscan = entry_of(KW_LASTSCAN).field[0].i;
  s.columns = column_count_or(g_document, 0);
  s.scans = g_document.scan_count;
  if (std::int64_t(s.columns) * s.scans <= g_document.value_capacity)
    s.data.assign(g_library.data.get(), g_library.data.get() + std::int64_t(s.columns) * s.scans);
  for (char* t : g_library.column_texts) s.texts.push_back(t != nullptr ? t : "");
  return s;
}

// Compares the header of a document read back (`b`) with the one written (`a`): given fields
// come back exactly, others may come back only as they were or as the writer's default.
void expect_same_header(const Snapshot& a, const Snapshot& b, const std::string& file) {
  for (const auto& [key, fields] : a.items) {
    const char* name = keyword_info(key.first).name;
    if (forced(key.first) || !keyword_allowed(g_document, key.first)) continue;
    const auto found = b.items.find(key);
    if (found == b.items.end()) {
      ADD_FAILURE() << file << ": lost " << name << " " << key.second + 1;
      continue;
    }
    for (std::size_t k = 0; k < fields.size(); ++k) {
      const std::string &x = fields[k], &y = found->second[k];
      if (x.empty() || x[0] != kNotGiven) {
        EXPECT_EQ(y, x) << file << ": " << name << " " << key.second + 1 << " field " << k + 1;
      } else if (y.empty() || y[0] != kNotGiven) {
        EXPECT_TRUE(y == x.substr(1) || written_default(key.first))
            << file << ": " << name << " " << key.second + 1 << " field " << k + 1;
      }
    }
  }
  for (const auto& item : b.items)
    EXPECT_TRUE(a.items.count(item.first) != 0 || forced(item.first.first))
        << file << ": gained " << keyword_info(item.first.first).name;
}

// The written format of column `c` of the document as written.
NumberFormat data_format(const Snapshot& a, int c) {
  if (a.items.count({KW_REPORTDATAFORMAT, 0}) == 0) return NumberFormat{'e', 10, 4};
  return parse_number_format(g_document.out_format[c - 1]);
}

// Data within half a unit of the last written digit: the read value formats to the same text.
void expect_same_data(const Snapshot& a, const Snapshot& b, const std::string& file,
                      ElementType type) {
  // Binary records carry no per-scan texts and stop at LASTSCAN.
  const bool binary = type == ElementType::REAL8 || type == ElementType::REAL4;
  const int scans = binary && a.lastscan < a.scans ? std::max(a.lastscan, 0) : a.scans;
  ASSERT_EQ(b.scans, scans) << file;
  if (!binary) {
    EXPECT_EQ(a.texts, b.texts) << file;
  }
  for (int c = 1; c <= a.columns; ++c) {
    const NumberFormat format = data_format(a, c);
    double w = 0;
    const bool has_void = column_void(g_document, c, &w);
    for (int s = 0; s < scans; ++s) {
      const double x = a.data[std::size_t((c - 1) * a.scans + s)];
      const double y = b.data[std::size_t((c - 1) * scans + s)];
      if (type == ElementType::REAL8) {
        ASSERT_EQ(std::memcmp(&x, &y, 8), 0) << file << " column " << c << " scan " << s + 1;
      } else if (type == ElementType::REAL4) {
        ASSERT_EQ(float(x), float(y)) << file << " column " << c << " scan " << s + 1;
      } else if (has_void && matches_void(x, w, kVoidThreshold)) {
        ASSERT_TRUE(matches_void(y, w, kVoidThreshold))
            << file << " column " << c << " scan " << s + 1;
      } else {
        ASSERT_EQ(format_number(format, x), format_number(format, y))
            << file << " column " << c << " scan " << s + 1;
      }
    }
  }
}

// The DIF export of the document as read: CR LF lines, the counts, and after the label rows one
// row per scan of one cell per column, the value to six decimals or a blank where the column has
// a void.
void expect_dif(const Snapshot& a, const std::string& file, const std::string& dif) {
  std::vector<std::string> lines;
  std::istringstream in(dif);
  for (std::string l; std::getline(in, l); lines.push_back(l.substr(0, l.size() - 1)))
    ASSERT_TRUE(!l.empty() && l.back() == '\r') << file;
  ASSERT_GE(lines.size(), 2u) << file;
  EXPECT_EQ(lines.back(), "EOD") << file;
  const auto after = [&](const char* tag) {
    const auto p = std::find(lines.begin(), lines.end(), tag);
    return p != lines.end() && p + 1 != lines.end() ? *(p + 1) : std::string();
  };
  EXPECT_EQ(after("VECTORS"), "0," + std::to_string(a.columns)) << file;
  EXPECT_EQ(after("TUPLES"), "0," + std::to_string(a.scans + 4)) << file;
  std::vector<std::size_t> rows; // the line of each row's first cell, and of the end
  for (std::size_t i = 0; i + 1 < lines.size(); ++i)
    if (lines[i] == "-1,0") rows.push_back(i + 2);
  rows.erase(rows.begin(),
             rows.begin() + std::min<std::size_t>(rows.size(), a.columns > 0 ? 2 : 1));
  ASSERT_EQ(int(rows.size()), a.scans + 1) << file;
  for (int s = 0; s < a.scans; ++s) {
    ASSERT_EQ(rows[std::size_t(s) + 1] - rows[std::size_t(s)], std::size_t(2 * a.columns + 2))
        << file;
    for (int c = 1; c <= a.columns; ++c) {
      const std::size_t i = rows[std::size_t(s)] + std::size_t(2 * (c - 1));
      const double x = a.data[std::size_t((c - 1) * a.scans + s)];
      double w = 0;
      if (lines[i + 1] == "V") {
        EXPECT_EQ(lines[i], "0," + format_number(NumberFormat{'f', 0, 6}, x)) << file;
      } else {
        EXPECT_TRUE(column_void(g_document, c, &w)) << file;
      }
    }
  }
}

using CorpusWriteTest = WriterTest;

TEST_F(CorpusWriteTest, EveryReadableFileComesBack) {
  if (!fs::is_directory(corpus_dir())) GTEST_SKIP() << "no corpus at " << corpus_dir();
  int files = 0;
  for (const auto& item : fs::recursive_directory_iterator(corpus_dir())) {
    if (!item.is_regular_file() || item.path().extension() == ".tsv") continue;
    const std::string source = item.path().string();
    const std::string name = item.path().filename().string();
    if (read_gef(source.c_str()) != 1) continue;
    ++files;
    const Snapshot original = snapshot();
    const bool binary = entry_of(KW_DATAFORMAT).present != 0 &&
                        !equals_nocase(entry_of(KW_DATAFORMAT).field[0].s, "ASCII");
    const ElementType type = binary ? element_type(g_document) : ElementType::UNKNOWN;

    EXPECT_EQ(write_dif(path("out.dif").c_str()), 1) << name;
    expect_dif(original, name, slurp_file(path("out.dif")));

    ASSERT_EQ(write_gef(path("one.gef").c_str()), 1) << name;
    const Snapshot written = snapshot(); // with the forced keywords
    ASSERT_EQ(read_gef(path("one.gef").c_str()), 1) << name;
    const Snapshot again = snapshot();
    expect_same_header(written, again, name);
    expect_same_data(written, again, name, type);
    ASSERT_EQ(write_gef(path("two.gef").c_str()), 1) << name;
    EXPECT_EQ(slurp_file(path("one.gef")), slurp_file(path("two.gef"))) << name;

    for (const char* as : {"DOUBLE", "REAL4"}) {
      ASSERT_EQ(read_gef(source.c_str()), 1);
      store_text(KW_DATAFORMAT, "BINARY");
      store_text(KW_DATATYPE, as);
      ASSERT_EQ(write_gef(path("bin.gef").c_str()), 1) << name << " " << as;
      const Snapshot before = snapshot();
      ASSERT_EQ(read_gef(path("bin.gef").c_str()), 1) << name << " " << as;
      expect_same_data(before, snapshot(), name,
                       as[0] == 'D' ? ElementType::REAL8 : ElementType::REAL4);
    }
  }
  EXPECT_GT(files, 0);
  std::printf("[ corpus ] %d files read, written and read back\n", files);
}

} // namespace
} // namespace gef::test
