// SPDX-License-Identifier: MIT
// The steps after reading: column corrections (each step, their order, voids, refusals) and the
// conversion of a CPT report 1.0.0 (lengths and depths turned positive, header items added).
#include "reader/read_steps.h"
#include "reader/reader_fixture.h"

namespace gef::test {
namespace {

class CorrectionTest : public ::testing::Test {
protected:
  void TearDown() override { free_gef(); }
  // A document whose columns hold `columns` (all of one length).
  void start(const std::vector<std::vector<double>>& columns) {
    ASSERT_EQ(init_gef_general(int(columns.size()), int(columns[0].size())), 1);
    for (std::size_t c = 0; c < columns.size(); ++c)
      for (std::size_t s = 0; s < columns[c].size(); ++s)
        set_data(int(c + 1), int(s + 1), columns[c][s]);
    reset_error_list(document());
  }
  using Values = std::vector<double>;
};

TEST_F(CorrectionTest, EachStepChangesItsColumnAndRemovesItsKeyword) {
  start({{5, 6, 7, 8}, {1, 1, 1, 1}, {10, 20, 30, 40}, {5, 5, 5, 10}});
  set_columnoffset(1, 1, 0.0);
  set_columnamplifier(2, 1.0f, 2.0f, 2, 3, "mV");
  set_columnpowersupply(3, 0.0f, 2.0f, 4, "mV");
  set_columnminmax(3, 10, 40);
  set_columnminmax(4, -1, -1);
  set_columnoffset(5, 1, 5.0); // beyond the columns: stays
  apply_column_corrections(document());
  EXPECT_EQ(column_values(1), (Values{0, 1, 2, 3}));
  EXPECT_EQ(column_values(2), (Values{1, 3, 3, 1}));
  EXPECT_EQ(column_values(3), (Values{1, 2, 3, 2}));
  EXPECT_EQ(get_columnoffset_flag(1) + get_columnamplifier_flag(2) + get_columnpowersupply_flag(3),
            0);
  EXPECT_EQ(get_columnminmax_Max(3), 3.0);  // recomputed where there was one
  EXPECT_EQ(get_columnminmax_Max(4), -1.0); // uncorrected columns keep the file's values
  EXPECT_EQ(get_columnminmax_flag(1), 0);
  EXPECT_EQ(entry_of(KW_COLUMNOFFSET, 4).present, 1);
  EXPECT_TRUE(errors().empty());
}

TEST_F(CorrectionTest, StepsRunInOrderAndVoidsStay) {
  start({{10, 999, 20}, {5, 5, 5}});
  set_columnvoid(1, 999.0);
  set_columnoffset(1, 1, 0.0);
  set_columnamplifier(1, 0.0f, 3.0f, 1, 2147483647, "");
  set_columnpowersupply(1, 0.0f, 2.0f, 2, "");
  apply_column_corrections(document());
  // 10 / (2 * 5) = 1, * 3 = 3, shifted to 0; the void value is left as it is.
  EXPECT_EQ(column_values(1), (Values{0, 999, 3}));
}

// Column 2 holds the supply readings (the 4 void), column 3 the offset's reference column.
TEST_F(CorrectionTest, ACorrectionThatCannotBeAppliedLeavesItsColumnRaw) {
  const struct {
    const char* what;
    int keyword;
    float amplification;
    int number; // the supply's column or the offset's row
  } cases[] = {
      {"supply column 0", KW_COLUMNPOWERSUPPLY, 1, 0},
      {"supply column past COLUMN", KW_COLUMNPOWERSUPPLY, 1, 4},
      {"amplification 0", KW_COLUMNPOWERSUPPLY, 0, 2},
      {"supply reading 0", KW_COLUMNPOWERSUPPLY, 1, 3},
      {"supply reading void", KW_COLUMNPOWERSUPPLY, 1, 2},
      {"offset row 0", KW_COLUMNOFFSET, 0, 0},
      {"offset row past the scans", KW_COLUMNOFFSET, 0, 4},
      {"offset row void", KW_COLUMNOFFSET, 0, 2},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.what);
    start({{1, -1, 2}, {4, -1, 4}, {0, 1, 1}});
    set_columnvoid(1, -1.0);
    set_columnvoid(2, 4.0);
    set_columnamplifier(1, 1.0f, 2.0f, 1, 3, "");
    if (k.keyword == KW_COLUMNOFFSET) set_columnoffset(1, k.number, 1.0);
    const bool supply = k.keyword == KW_COLUMNPOWERSUPPLY;
    set_columnpowersupply(1, 0.0f, supply ? k.amplification : 1.0f, supply ? k.number : 3, "");
    apply_column_corrections(document());
    EXPECT_EQ(column_values(1), (Values{1, -1, 2}));
    EXPECT_EQ(get_columnamplifier_flag(1), 1);
    EXPECT_EQ(entry_of(k.keyword, 0).present, 1);
    EXPECT_EQ(error_codes(), std::vector<int>{GEF_E_DATA_NOTE});
    EXPECT_EQ(find_error(GEF_E_DATA_NOTE).level, 2);
    EXPECT_NE(message(0).find(keyword_name(k.keyword)), std::string::npos);
    EXPECT_NE(message(0).find("column 1"), std::string::npos);
    free_gef();
  }
}

TEST_F(CorrectionTest, TheExampleFileReadsAsPhysicalValues) {
  ASSERT_EQ(init_gef(), 1);
  ASSERT_EQ(read_gef(GEF_SOURCE_DIR "/examples/cpt_raw_corrections.gef"), 1);
  EXPECT_TRUE(errors().empty()) << message(0);
  EXPECT_NEAR(get_data(1, 10), 0.20, 1e-12);
  EXPECT_NEAR(get_data(2, 1), 0.35, 1e-6);
  EXPECT_EQ(get_data(2, 4), -9999.0);
  EXPECT_NEAR(get_data(3, 10), 0.030, 1e-6);
  EXPECT_NEAR(get_columnminmax_Max(2), 1.90, 1e-6);
  EXPECT_EQ(get_columnoffset_flag(1) + get_columnpowersupply_flag(2) + get_columnamplifier_flag(3),
            0);
}

std::string report(const std::string& version, const std::string& extra, const std::string& data) {
  return "#GEFID= 1, 1, 0\n#PROCEDURECODE= GEF-CPT-Report, " + version +
         "\n#COLUMN= 2\n#COLUMNINFO= 1, m, lengte, 1\n#COLUMNINFO= 2, m, diepte, 11\n" + extra +
         "#EOH=\n" + data;
}

using CptConversionTest = ReaderTest;

TEST_F(CptConversionTest, OldReportsTurnPositive) {
  const std::vector<ErrorEntry> flipped = {{GEF_E_CPT_NOTE, 10000, 0, 0, 15}};
  // clang-format off
  const struct {
    const char* name;
    std::string extra, data;
    std::vector<double> length, depth;
    std::vector<ErrorEntry> notes;
  } cases[] = {
      {"falling", "", "0 0\n-0.02 -0.02\n-0.04 -0.04\n-0.06 -0.06\n",
       {0, 0.02, 0.04, 0.06}, {0, 0.02, 0.04, 0.06}, flipped},
      {"rising with a stray", "", "0 0\n0.02 -0.02\n0.04 0.04\n0.06 0.06\n",
       {0, 0.02, 0.04, 0.06}, {0, 0.02, 0.04, 0.06}, {}},
      // The void value turns positive with its column and stays out of the range.
      {"falling with voids", "#COLUMNVOID= 1, -9999\n#COLUMNMINMAX= 1, -0.06, 0\n",
       "0 0\n-9999 -0.02\n-9999 -0.04\n-0.06 -0.06\n-0.08 -0.08\n",
       {0, 9999, 9999, 0.06, 0.08}, {0, 0.02, 0.04, 0.06, 0.08}, flipped},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(read(report("1, 0, 0", c.extra, c.data)), 1);
    EXPECT_EQ(column_values(1), c.length);
    EXPECT_EQ(column_values(2), c.depth);
    EXPECT_EQ(errors_with(GEF_E_CPT_NOTE), c.notes);
    EXPECT_EQ(stored(KW_ZID), "7: 31000, 0, 0.01");
    EXPECT_STREQ(entry_of(KW_MEASUREMENTTEXT, 8).field[0].s, "Maaiveld");
    EXPECT_EQ(library().conversion_stamp, 1);
    if (!c.extra.empty()) {
      EXPECT_EQ(stored(KW_COLUMNVOID), "1: 9999");
      EXPECT_EQ(entry_of(KW_COLUMNMINMAX).field[0].d, 0.0); // the voids stay out of the range
      EXPECT_EQ(entry_of(KW_COLUMNMINMAX).field[1].d, 0.08);
    }
  }
}

TEST_F(CptConversionTest, OnlyOldReportsConvertAndFailuresSayWhy) {
  ASSERT_EQ(read(report("1, 1, 0", "", "0 0\n-0.02 -0.02\n-0.04 -0.04\n")), 1);
  EXPECT_EQ(value(2, 1), -0.02);
  EXPECT_EQ(entry_of(KW_ZID).present, 0);
  EXPECT_EQ(library().conversion_stamp, 0);

  EXPECT_EQ(read(report("1, 0, 0", "", "0 0\n")), 0); // one scan
  EXPECT_EQ(errors().back(), (ErrorEntry{GEF_E_CPT_NOTE, 10000, 0, 0, 12}));
  EXPECT_EQ(library().conversion_stamp, 0);
}

} // namespace
} // namespace gef::test
