// SPDX-License-Identifier: MIT
// Column operations on real files: what they leave is exactly what they promise.
#include <cmath>

#include "support/document_fixture.h"
#include "support/files.h"

namespace gef::test {
namespace {

namespace fs = std::filesystem;

// Each column as the document holds it: values, then its column keywords and output format.
using Column = std::pair<std::vector<double>, std::vector<std::string>>;
std::vector<Column> columns_of() {
  std::vector<Column> out;
  for (int c = 1; c <= std::min(get_column(), 250); ++c) {
    Column s;
    for (int i = 1; i <= get_nr_scans(); ++i) s.first.push_back(get_data(c, i));
    const NumberFormat f = output_format(document(), c).value_or(NumberFormat{'-', -1, -1});
    s.second.push_back(f.letter + std::to_string(f.width) + "." + std::to_string(f.precision));
    // Power-supply column numbers are renumbered: the keywords are compared without them.
    if (get_columnpowersupply_flag(c) == 0)
      for (int code :
           {KW_COLUMNINFO, KW_COLUMNMINMAX, KW_COLUMNOFFSET, KW_COLUMNAMPLIFIER, KW_COLUMNVOID})
        s.second.push_back(entry_text(code, entry_of(code, c - 1), 17));
    out.push_back(s);
  }
  return out;
}

class CorpusOpsTest : public ::testing::Test {
protected:
  void SetUp() override {
    files_ = corpus_files();
    if (files_.empty()) GTEST_SKIP() << "no corpus";
    ASSERT_EQ(init_gef(), 1);
  }
  void TearDown() override { free_gef(); }
  // Reads a file whose data block is whole; false for files the operations cannot use.
  bool read(const fs::path& path) {
    return read_gef(path.string().c_str()) == 1 && get_column_flag() != 0 && get_nr_scans() > 0 &&
           std::int64_t(get_column()) * get_nr_scans() <= document().value_capacity;
  }
  std::vector<fs::path> files_;
};

// Deleting a column gives the file without it; adding one and deleting it gives the file back;
// minima and maxima match the data.
TEST_F(CorpusOpsTest, ColumnOperationsKeepTheirPromise) {
  int deleted = 0;
  for (const fs::path& path : files_) {
    SCOPED_TRACE(path.string());
    if (!read(path)) continue;
    const auto fresh = columns_of();
    const std::string formats = get_reportdataformat() ? get_reportdataformat() : "<none>";
    const int time = get_timecolumn_flag() ? get_timecolumn_Column() : 0;
    if (get_column() < 250) {
      const int n = add_data_column("u", "q", 99, -1.0);
      ASSERT_EQ(n, int(fresh.size()) + 1);
      ASSERT_EQ(delete_column(n), 1);
      EXPECT_EQ(columns_of(), fresh);
      EXPECT_EQ(get_reportdataformat() ? get_reportdataformat() : "<none>", formats);
    }
    for (int c = 1; c <= int(fresh.size()); ++c) {
      SCOPED_TRACE(c);
      ASSERT_TRUE(read(path));
      if (delete_column(c) == 0) { // only a column that TIMECOLUMN or COLUMNPOWERSUPPLY names
        bool named = time == c;
        for (int k = 1; k <= int(fresh.size()); ++k)
          named = named || (get_columnpowersupply_flag(k) != 0 &&
                            get_columnpowersupply_Columnpowersupply(k) == c);
        EXPECT_TRUE(named);
        continue;
      }
      ++deleted;
      auto expected = fresh;
      expected.erase(expected.begin() + (c - 1));
      EXPECT_EQ(columns_of(), expected);
      EXPECT_EQ(get_timecolumn_flag() ? get_timecolumn_Column() : 0, time > c ? time - 1 : time);
    }
    ASSERT_TRUE(read(path));
    EXPECT_EQ(calc_all_columnminmax(), 1);
    for (int c = 1; c <= std::min(get_column(), 250); ++c) {
      const double w = get_columnvoid_flag(c) != 0 ? get_columnvoid(c) : 0;
      double lo = 1e300, hi = -1e300;
      for (int s = 1; s <= get_nr_scans(); ++s) {
        const double v = get_data(c, s);
        if (w != 0 && std::fabs(1 - v / w) < 1e-10) continue;
        lo = std::min(lo, v), hi = std::max(hi, v);
      }
      if (lo > hi) continue;
      EXPECT_EQ(get_columnminmax_Min(c), lo) << c;
      EXPECT_EQ(get_columnminmax_Max(c), hi) << c;
    }
  }
  EXPECT_GT(deleted, 0);
}

} // namespace
} // namespace gef::test
