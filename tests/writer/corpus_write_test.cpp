// SPDX-License-Identifier: MIT
// Real files written back: what was read comes back, and a second write gives the same bytes.
#include <algorithm>
#include <climits>
#include <cstring>
#include <map>

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

const std::string kNotGiven = "\x01"; // the text of a field that was not given

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
  return given ? out.str() : kNotGiven;
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

// Given fields come back exactly, and no keyword but the forced ones is gained.
void expect_same_header(const Snapshot& a, const Snapshot& b) {
  for (const auto& [key, fields] : a.items) {
    if (forced(key.first) || !keyword_allowed(g_document, key.first)) continue;
    const auto found = b.items.find(key);
    SCOPED_TRACE(keyword_info(key.first).name + std::string(" ") + std::to_string(key.second + 1));
    ASSERT_NE(found, b.items.end()) << "lost";
    for (std::size_t k = 0; k < fields.size(); ++k)
      EXPECT_TRUE(fields[k] == kNotGiven || found->second[k] == fields[k]) << "field " << k + 1;
  }
  for (const auto& item : b.items)
    EXPECT_TRUE(a.items.count(item.first) != 0 || forced(item.first.first))
        << "gained " << keyword_info(item.first.first).name;
}

// The written format of column `c` of the document as written.
NumberFormat data_format(const Snapshot& a, int c) {
  if (a.items.count({KW_REPORTDATAFORMAT, 0}) == 0) return NumberFormat{'e', 10, 4};
  return parse_number_format(g_document.out_format[c - 1]);
}

// Text data comes back to the last written digit, binary data bit for bit.
void expect_same_data(const Snapshot& a, const Snapshot& b, ElementType type) {
  // Binary records carry no per-scan texts and stop at LASTSCAN.
  const bool binary = type == ElementType::REAL8 || type == ElementType::REAL4;
  const int scans = binary && a.lastscan < a.scans ? std::max(a.lastscan, 0) : a.scans;
  ASSERT_EQ(b.scans, scans);
  if (!binary) {
    EXPECT_EQ(a.texts, b.texts);
  }
  for (int c = 1; c <= a.columns; ++c) {
    const NumberFormat format = data_format(a, c);
    double w = 0;
    const bool has_void = column_void(g_document, c, &w);
    for (int s = 0; s < scans; ++s) {
      const double x = a.data[std::size_t((c - 1) * a.scans + s)];
      const double y = b.data[std::size_t((c - 1) * scans + s)];
      const auto at = [&] {
        return "column " + std::to_string(c) + " scan " + std::to_string(s + 1);
      };
      if (type == ElementType::REAL8) {
        ASSERT_EQ(std::memcmp(&x, &y, 8), 0) << at();
      } else if (type == ElementType::REAL4) {
        ASSERT_EQ(float(x), float(y)) << at();
      } else if (has_void && matches_void(x, w, kVoidThreshold)) {
        ASSERT_TRUE(matches_void(y, w, kVoidThreshold)) << at();
      } else {
        ASSERT_EQ(format_number(format, x), format_number(format, y)) << at();
      }
    }
  }
}

using CorpusWriteTest = WriterTest;

TEST_F(CorpusWriteTest, EveryReadableFileComesBack) {
  if (!fs::is_directory(corpus_dir())) GTEST_SKIP() << "no corpus at " << corpus_dir();
  int files = 0;
  for (const fs::path& file : corpus_files()) {
    const std::string source = file.string(), name = file.filename().string();
    if (read_gef(source.c_str()) != 1) continue;
    SCOPED_TRACE(name);
    ++files;
    const bool binary = entry_of(KW_DATAFORMAT).present != 0 &&
                        !equals_nocase(entry_of(KW_DATAFORMAT).field[0].s, "ASCII");
    const ElementType type = binary ? element_type(g_document) : ElementType::UNKNOWN;

    EXPECT_EQ(write_dif(path("out.dif").c_str()), 1);
    const std::string dif = slurp_file(path("out.dif"));
    EXPECT_EQ(dif.substr(dif.size() - std::min<std::size_t>(dif.size(), 5)), "EOD\r\n");

    ASSERT_EQ(write_gef(path("one.gef").c_str()), 1);
    const Snapshot written = snapshot(); // with the forced keywords
    ASSERT_EQ(read_gef(path("one.gef").c_str()), 1);
    const Snapshot again = snapshot();
    expect_same_header(written, again);
    expect_same_data(written, again, type);
    ASSERT_EQ(write_gef(path("two.gef").c_str()), 1);
    EXPECT_EQ(slurp_file(path("one.gef")), slurp_file(path("two.gef")));

    for (const char* as : {"DOUBLE", "REAL4"}) {
      ASSERT_EQ(read_gef(source.c_str()), 1);
      store_text(KW_DATAFORMAT, "BINARY");
      store_text(KW_DATATYPE, as);
      ASSERT_EQ(write_gef(path("bin.gef").c_str()), 1) << as;
      const Snapshot before = snapshot();
      ASSERT_EQ(read_gef(path("bin.gef").c_str()), 1) << as;
      expect_same_data(before, snapshot(), as[0] == 'D' ? ElementType::REAL8 : ElementType::REAL4);
    }
  }
  EXPECT_GT(files, 0);
  std::printf("[ corpus ] %d files read, written and read back\n", files);
}

} // namespace
} // namespace gef::test
