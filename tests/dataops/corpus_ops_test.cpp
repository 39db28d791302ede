// SPDX-License-Identifier: MIT
// Column operations and deletes on real files: what they leave is exactly what they promise.
#include <cmath>

#include "api/deletes.h"
#include "support/files.h"
#include "support/document_fixture.h"
#include "support/entry_text.h"

namespace gef::test {
namespace {

namespace fs = std::filesystem;

constexpr int kColumnCodes[] = {KW_COLUMNINFO,      KW_COLUMNMINMAX, KW_COLUMNOFFSET,
                                KW_COLUMNAMPLIFIER, KW_COLUMNVOID,   KW_COLUMNPOWERSUPPLY};

// One column as the document holds it: values, column keywords and output format.
struct ColumnState {
  std::vector<double> values;
  std::string keywords, format;
  bool operator==(const ColumnState& o) const {
    return values == o.values && keywords == o.keywords && format == o.format;
  }
};

std::vector<ColumnState> columns_of() {
  std::vector<ColumnState> out;
  const int columns = std::min(get_column(), 250);
  for (int c = 1; c <= columns; ++c) {
    ColumnState s;
    for (int i = 1; i <= get_nr_scans(); ++i) s.values.push_back(get_data(c, i));
    for (int code : kColumnCodes) s.keywords += entry_text(code, entry_of(code, c - 1)) + ";";
    s.format = g_document.out_format[c - 1];
    out.push_back(s);
  }
  return out;
}

// Columns referenced by TIMECOLUMN or COLUMNPOWERSUPPLY cannot be deleted.
bool referenced(int c) {
  if (get_timecolumn_flag() != 0 && get_timecolumn_Column() == c) return true;
  for (int k = 1; k <= std::min(get_column(), 250); ++k)
    if (entry_of(KW_COLUMNPOWERSUPPLY, k - 1).present != 0 &&
        entry_of(KW_COLUMNPOWERSUPPLY, k - 1).field[2].i == c)
      return true;
  return false;
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
           std::int64_t(get_column()) * get_nr_scans() <= g_document.value_capacity;
  }
  std::vector<fs::path> files_;
};

TEST_F(CorpusOpsTest, DeletingEveryEntryLeavesNothing) {
  for (const fs::path& path : files_) {
    SCOPED_TRACE(path.string());
    read_gef(path.string().c_str());
    reset_error_list(g_document);
    const int reach = std::min(250, std::max(0, get_column_flag() ? get_column() : 0) + 1);
    // COLUMN goes last: it bounds which COLUMNINFO slots can be deleted.
    for (int code = 1; code <= kKeywordSlots; ++code) {
      const int kw_code = code == kKeywordSlots ? int(KW_COLUMN) : code;
      const KeywordInfo& kw = keyword_info(kw_code);
      if (kw.name == nullptr || kw.shape == Shape::KEYED || kw_code == KW_DATACONVERSION ||
          kw_code == KW_SCANFREQUENCY || (code == KW_COLUMN))
        continue;
      for (int i = 0; i < kw.capacity; ++i) {
        const Entry& e = entry_of(kw.area, i);
        if (e.present == 0) continue;
        const bool stays = kw.rule == Rule::ONCE || (kw_code == KW_COLUMNINFO && i >= reach) ||
                           (kw.shape == Shape::SINGLE && kw.field_count == 1 &&
                            field_info(kw_code, 0).type == FieldType::TEXT && (e.bits & 1) == 0);
        const bool by_quantity = kw_code == KW_QNVOID || kw_code == KW_QNMINMAX;
        delete_keyword(g_document, kw_code,
                       by_quantity       ? e.field[0].i
                       : kw.capacity > 1 ? i + 1
                                         : 0);
        EXPECT_EQ(e.present, stays ? 1 : 0) << kw.name << " " << i + 1;
      }
    }
    EXPECT_TRUE(errors().empty());
  }
}

TEST_F(CorpusOpsTest, DeleteColumnGivesTheFileWithoutThatColumn) {
  int deleted = 0;
  for (const fs::path& path : files_) {
    SCOPED_TRACE(path.string());
    if (!read(path)) continue;
    const std::vector<ColumnState> fresh = columns_of();
    const int time = get_timecolumn_flag() ? get_timecolumn_Column() : 0;
    for (int c = 1; c <= int(fresh.size()); ++c) {
      SCOPED_TRACE(c);
      ASSERT_TRUE(read(path));
      if (referenced(c)) continue;
      ASSERT_EQ(delete_column(c), 1);
      ++deleted;
      std::vector<ColumnState> expected = fresh;
      expected.erase(expected.begin() + (c - 1));
      const std::vector<ColumnState> got = columns_of();
      ASSERT_EQ(got.size(), expected.size());
      for (std::size_t k = 0; k < got.size(); ++k) {
        EXPECT_EQ(got[k].values, expected[k].values) << k + 1;
        EXPECT_EQ(got[k].format, expected[k].format) << k + 1;
        // Power-supply column numbers are renumbered: compare the other keywords exactly.
        if (get_columnpowersupply_flag(int(k + 1)) == 0) {
          EXPECT_EQ(got[k].keywords, expected[k].keywords);
        }
      }
      if (time != 0) {
        EXPECT_EQ(get_timecolumn_Column(), time > c ? time - 1 : time);
      }
    }
  }
  EXPECT_GT(deleted, 0);
}

TEST_F(CorpusOpsTest, AddingThenDeletingAColumnGivesItBack) {
  for (const fs::path& path : files_) {
    SCOPED_TRACE(path.string());
    if (!read(path) || get_column() >= 250) continue;
    const std::vector<ColumnState> fresh = columns_of();
    const std::string formats = get_reportdataformat() ? get_reportdataformat() : "<none>";
    const int n = add_data_column("u", "q", 99, -1.0);
    ASSERT_EQ(n, int(fresh.size()) + 1);
    ASSERT_EQ(delete_column(n), 1);
    EXPECT_TRUE(columns_of() == fresh);
    EXPECT_EQ(get_reportdataformat() ? get_reportdataformat() : "<none>", formats);
  }
}

TEST_F(CorpusOpsTest, AllMinimaAndMaximaMatchTheData) {
  for (const fs::path& path : files_) {
    SCOPED_TRACE(path.string());
    if (!read(path)) continue;
    EXPECT_EQ(calc_all_columnminmax(), 1);
    for (int c = 1; c <= std::min(get_column(), 250); ++c) {
      const bool has_void = get_columnvoid_flag(c) != 0;
      const double w = has_void ? get_columnvoid(c) : 0;
      double lo = 1e300, hi = -1e300;
      for (int s = 1; s <= get_nr_scans(); ++s) {
        const double v = get_data(c, s);
        if (has_void && w != 0 && std::fabs(1 - v / w) < 1e-10) continue;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
      }
      if (lo > hi) continue;
      EXPECT_EQ(get_columnminmax_Min(c), lo) << c;
      EXPECT_EQ(get_columnminmax_Max(c), hi) << c;
    }
  }
}

} // namespace
} // namespace gef::test
