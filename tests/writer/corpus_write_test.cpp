// SPDX-License-Identifier: MIT
// Real files written as DIF and as binary data, and read back without keywords they did not have;
// the rest of the text round trip is the roundtrip fuzz target's, replayed over the corpus by the
// gef_corpus_roundtrip test.
#include <algorithm>
#include <cstring>
#include <set>

#include "writer/writer_fixture.h"

namespace gef::test {
namespace {

// The data block as the document holds it, column by column.
std::vector<double> block() {
  const std::int64_t count = std::int64_t(document().scan_count) * get_column();
  if (count > document().value_capacity) return {};
  return std::vector<double>(library().data.get(), library().data.get() + count);
}

// Every stored keyword entry, as (code, slot), but those the writer always stores.
std::set<std::pair<int, int>> stored_entries() {
  std::set<std::pair<int, int>> out;
  for (int code = 1; code <= 63; ++code) {
    const KeywordInfo& kw = keyword_info(code);
    if (kw.name == nullptr || kw.area != code || code == KW_OS || code == KW_DATAFORMAT ||
        code == KW_DATATYPE)
      continue;
    for (int slot = 0; slot < kw.capacity; ++slot)
      if (entry_of(code, slot).present != 0) out.insert({code, slot});
  }
  return out;
}

using CorpusWriteTest = WriterTest;

TEST_F(CorpusWriteTest, EveryReadableFileWritesDifAndBinaryData) {
  if (corpus_files().empty()) GTEST_SKIP() << "no corpus at " << corpus_dir();
  int files = 0;
  for (const auto& file : corpus_files()) {
    const std::string source = file.string();
    if (read_gef(source.c_str()) != 1) continue;
    SCOPED_TRACE(source);
    ++files;
    EXPECT_EQ(write_dif(path("out.dif").c_str()), 1);
    const std::string dif = slurp_file(path("out.dif"));
    EXPECT_EQ(dif.substr(dif.size() - std::min<std::size_t>(dif.size(), 5)), "EOD\r\n");
    ASSERT_EQ(write_gef(path("text.gef").c_str()), 1);
    const auto written = stored_entries();
    ASSERT_EQ(read_gef(path("text.gef").c_str()), 1);
    for (const auto& [code, slot] : stored_entries())
      EXPECT_EQ(written.count({code, slot}), 1u) << "gained " << keyword_info(code).name;
    // Binary data comes back bit for bit, or as the single-precision value; up to LASTSCAN.
    for (const char* as : {"DOUBLE", "REAL4"}) {
      ASSERT_EQ(read_gef(source.c_str()), 1);
      store_text(KW_DATAFORMAT, "BINARY");
      store_text(KW_DATATYPE, as);
      ASSERT_EQ(write_gef(path("bin.gef").c_str()), 1) << as;
      const std::vector<double> before = block();
      const int scans = document().scan_count;
      const Entry& lastscan = entry_of(KW_LASTSCAN);
      const int kept = lastscan.present != 0 && lastscan.field[0].i < scans
                           ? std::max(lastscan.field[0].i, 0)
                           : scans;
      ASSERT_EQ(read_gef(path("bin.gef").c_str()), 1) << as;
      ASSERT_EQ(document().scan_count, kept) << as;
      const std::vector<double> after = block();
      for (std::size_t c = 0; kept > 0 && c < before.size() / std::size_t(scans); ++c)
        for (std::size_t s = 0; s < std::size_t(kept); ++s) {
          const double x = before[c * std::size_t(scans) + s], y = after[c * std::size_t(kept) + s];
          if (as[0] == 'D')
            ASSERT_EQ(std::memcmp(&x, &y, 8), 0) << "column " << c + 1 << " scan " << s + 1;
          else
            ASSERT_EQ(float(x), float(y)) << "column " << c + 1 << " scan " << s + 1;
        }
    }
  }
  EXPECT_GT(files, 0);
}

} // namespace
} // namespace gef::test
