// SPDX-License-Identifier: MIT
// Column operations: refusals that change nothing, keyword and format moves, minima, time column.
#include <climits>

#include "gef/error_codes.h"
#include "support/document_fixture.h"

namespace gef::test {
namespace {

constexpr int kColumnCodes[] = {KW_COLUMNINFO,      KW_COLUMNMINMAX, KW_COLUMNOFFSET,
                                KW_COLUMNAMPLIFIER, KW_COLUMNVOID,   KW_COLUMNPOWERSUPPLY};

// Everything a column operation may touch, for "nothing changed" checks.
std::vector<double> snapshot() {
  std::vector<double> s = {double(document().scan_count),
                           entry_of(KW_COLUMN).present ? entry_of(KW_COLUMN).field[0].i : -1.0};
  if (library().data)
    s.insert(s.end(), library().data.get(), library().data.get() + document().value_capacity);
  for (int code : kColumnCodes)
    for (int i = 0; i < 250; ++i)
      s.push_back(entry_of(code, i).present * 256 + entry_of(code, i).bits);
  return s;
}

class ColumnOpsTest : public DocumentTest {
protected:
  ColumnOpsTest() : DocumentTest(3, 4) {}
  void SetUp() override {
    DocumentTest::SetUp();
    for (int c = 1; c <= 3; ++c) {
      set_columninfo(c, "u", "q", c);
      for (int s = 1; s <= 4; ++s) set_data(c, s, c * 10 + s);
    }
    set_columnvoid(2, -9999.0);
    reset_error_list(document());
  }
  // `op` returns 0 and records only `code` (first number `first`, level `level`), changing nothing.
  void refused(const std::function<int()>& op, int code, int first, int second, int level,
               int subject = kTextSubject) {
    const auto before = snapshot();
    reset_error_list(document());
    EXPECT_EQ(op(), 0);
    EXPECT_EQ(errors(), (std::vector<ErrorEntry>{{code, subject, first, second, level}}));
    EXPECT_EQ(snapshot(), before);
  }
};

TEST_F(ColumnOpsTest, BadColumnsAndSizesAreRefusedWithoutChange) {
  for (int c : {0, -1, 4, 251, INT_MIN, INT_MAX}) {
    SCOPED_TRACE(c);
    refused([c] { return delete_column(c); }, GEF_E_COLUMN_OUT_OF_RANGE, c, 3, 1);
    refused([c] { return calc_columnminmax(c); }, GEF_E_COLUMN_OUT_OF_RANGE, c, 3, 3);
    if (c < 4 || c > 250)
      refused([c] { return create_new_empty_datablock(c, 5); }, GEF_E_TOO_MANY_COLUMNS, 0, 0, 1);
    if (c <= 0)
      refused([c] { return create_new_empty_datablock(2, c); }, GEF_E_NEGATIVE_SCAN_COUNT, 0, 0, 1);
  }
  refused([] { return create_new_empty_datablock(250, INT_MAX); }, GEF_E_BLOCK_TOO_LARGE, INT_MAX,
          0, 1);
  set_timecolumn(3, 1, "s");
  refused([] { return delete_column(3); }, GEF_E_COLUMN_IN_TIMECOLUMN, 3, 0, 3);
  set_columnpowersupply(1, 0.0f, 1.0f, 2, "mV");
  refused([] { return delete_column(2); }, GEF_E_COLUMN_IN_POWERSUPPLY, 2, 0, 3);
  EXPECT_EQ(qn2column(0) + qn2column(-1), 0); // -1: the reset quantity number of unused slots
  for (int c = 4; c <= 250; ++c) add_data_column("u", "q", c, 0.0);
  refused([] { return add_data_column("u", "q", 1, 0.0); }, GEF_E_TOO_MANY_COLUMNS, 0, 0, 1);
  entry_of(KW_COLUMN).field[0].i = 251; // COLUMN larger than the block
  refused([] { return delete_column(1); }, GEF_E_BLOCK_TOO_LARGE, 1000, 0, 1);
}

TEST_F(ColumnOpsTest, WithoutColumnBlockOrDocument) {
  del_column();
  refused([] { return calc_columnminmax(1); }, GEF_E_UNKNOWN_NUMBER, 0, 0, 1);
  refused([] { return add_data_column("u", "q", 1, 0.0); }, GEF_E_UNKNOWN_NUMBER, 0, 0, 1);
  refused([] { return delete_column(1); }, GEF_E_COLUMN_OUT_OF_RANGE, 1, 0, 1);
  free_gef();
  init_gef();
  reset_document(document());
  store_line("COLUMN= 3");
  refused([] { return calc_columnminmax(1); }, GEF_E_UNKNOWN_SCAN_COUNT, 0, 0, 1, kNameScans);
  refused(calc_all_columnminmax, GEF_E_UNKNOWN_SCAN_COUNT, 0, 0, 1, kNameScans);
  refused([] { return add_data_column("u", "q", 1, 0.0); }, GEF_E_UNKNOWN_SCAN_COUNT, 0, 0, 1,
          kNameScans);
  // Without a block a delete moves the keywords only.
  set_columninfo(3, "m", "third", 3);
  EXPECT_EQ(delete_column(1), 1);
  EXPECT_EQ(get_columninfo_Qnumber(2), 3);
}

TEST_F(ColumnOpsTest, DeleteMovesWholeOccurrencesAndReferences) {
  ASSERT_EQ(add_data_column("kPa", "fourth", 4, -1.0), 4);
  ASSERT_EQ(add_data_column("kPa", "fifth", 5, -1.0), 5);
  set_timecolumn(4, 1, "s");
  set_columnpowersupply(1, 0.0f, 2.0f, 5, "mV");
  set_columnoffset(5, 2, 1.5);
  EXPECT_EQ(delete_column(2), 1);
  EXPECT_EQ(get_column(), 4);
  for (int c = 1; c <= 4; ++c) EXPECT_EQ(get_columninfo_Qnumber(c), c == 1 ? 1 : c + 1);
  EXPECT_STREQ(get_columninfo_Quantity(4), "fifth");
  EXPECT_EQ(get_columnvoid_flag(2), 0); // column 3 had none; column 2's went with it
  EXPECT_EQ(get_columnvoid(3), -1.0);
  EXPECT_EQ(get_columnoffset_Row(4), 2);
  EXPECT_EQ(get_columnoffset_flag(5), 0);
  EXPECT_EQ(entry_of(KW_COLUMNINFO, 4).field[0].s, nullptr);
  EXPECT_EQ(get_timecolumn_Column(), 3);
  EXPECT_EQ(get_columnpowersupply_Columnpowersupply(1), 4);
  EXPECT_EQ(get_data(2, 3), 33.0);
  // The only column may go; the next append makes column 1 again.
  ASSERT_EQ(create_new_empty_datablock(1, 3), 1);
  EXPECT_EQ(delete_column(1), 1);
  EXPECT_EQ(get_column(), 0);
  EXPECT_EQ(add_data_column("m", "depth", 1, -9999.0), 1);
  EXPECT_EQ(get_data(1, 3), -9999.0);
}

TEST_F(ColumnOpsTest, OutputFormatsFollowTheirColumns) {
  set_reportdataformat("F7.2 F7.4  F8.3");
  ASSERT_EQ(add_data_column("u", "q", 4, 0.0), 4); // no token yet, columns differ: E13.5
  EXPECT_STREQ(get_reportdataformat(), "F7.2 F7.4  F8.3 E13.5");
  EXPECT_EQ(output_format(document(), 4), (NumberFormat{'e', 13, 5}));
  EXPECT_EQ(delete_column(4), 1);
  EXPECT_STREQ(get_reportdataformat(), "F7.2 F7.4  F8.3");
  EXPECT_EQ(delete_column(1), 1);
  EXPECT_STREQ(get_reportdataformat(), "F7.4  F8.3");
  EXPECT_EQ(output_format(document(), 1), (NumberFormat{'f', 7, 4}));
  EXPECT_EQ(output_format(document(), 2), (NumberFormat{'f', 8, 3}));
  // A last token serving later columns stays; a new column takes a token already there.
  set_reportdataformat("F7.2");
  EXPECT_EQ(delete_column(1), 1);
  EXPECT_STREQ(get_reportdataformat(), "F7.2");
  set_reportdataformat("F7.2 F6.1 F6.1");
  for (int n = 2; n <= 4; ++n) ASSERT_EQ(add_data_column("u", "q", 9, 0.0), n);
  EXPECT_STREQ(get_reportdataformat(), "F7.2 F6.1 F6.1 F6.1"); // columns 2 and 3 agree
}

TEST_F(ColumnOpsTest, MinimaAndMaximaSkipVoids) {
  set_data(2, 2, -9999.0);
  EXPECT_EQ(calc_columnminmax(2), 1);
  EXPECT_EQ(get_columnminmax_Min(2), 21.0);
  EXPECT_EQ(get_columnminmax_Max(2), 24.0);
  set_columnvoid(1, 0.0); // a void value of 0 never matches
  set_data(1, 1, 0.0);
  EXPECT_EQ(calc_all_columnminmax(), 1);
  EXPECT_EQ(get_columnminmax_Min(1), 0.0);
  for (int s = 1; s <= 4; ++s) set_data(2, s, -9999.0);
  EXPECT_EQ(calc_columnminmax(2), 0);
  EXPECT_EQ(get_columnminmax_Max(2), 24.0);
  EXPECT_TRUE(errors().empty());
}

TEST_F(ColumnOpsTest, EmptyBlockAndTimeColumn) {
  ASSERT_EQ(create_new_empty_datablock(2, 6), 1);
  EXPECT_EQ(get_column(), 2);
  EXPECT_EQ(get_lastscan(), 6);
  EXPECT_EQ(get_nr_scans(), 6);
  EXPECT_EQ(get_data(1, 1), 0.0);
  EXPECT_EQ(maak_tijdkolom(12), 0); // no scan times
  set_scantime(0, 1.0f, 4);
  set_scantime(0, 0.5f, 1);
  set_scantime(0, 9.0f, 6); // from the last scan on: dropped
  set_startdate(2024, 1, 1);
  EXPECT_EQ(maak_tijdkolom(12), 0); // no start time
  set_starttime(9, 0, 0.0f);
  ASSERT_EQ(maak_tijdkolom(12), 1);
  EXPECT_EQ(get_scantime_flag(3), 0);
  const double expected[] = {0, 0.5, 1.0, 1.5, 2.5, 3.5};
  for (int s = 1; s <= 6; ++s) EXPECT_EQ(get_data(3, s), expected[s - 1]);
  EXPECT_EQ(get_timecolumn_Column(), 3);
  EXPECT_EQ(qn2column(12), 3);
  EXPECT_EQ(maak_tijdkolom(12), 0); // already there
}

} // namespace
} // namespace gef::test
