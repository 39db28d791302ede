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
struct Snapshot {
  std::vector<double> data;
  std::vector<std::int32_t> presence;
  std::string formats;
  int columns, scans;
  bool operator==(const Snapshot& o) const {
    return data == o.data && presence == o.presence && formats == o.formats &&
           columns == o.columns && scans == o.scans;
  }
};

Snapshot snapshot() {
  Snapshot s;
  s.columns = entry_of(KW_COLUMN).present ? entry_of(KW_COLUMN).field[0].i : -1;
  s.scans = g_document.scan_count;
  if (g_library.data)
    s.data.assign(g_library.data.get(), g_library.data.get() + g_document.value_capacity);
  for (int code : kColumnCodes)
    for (int i = 0; i < 250; ++i)
      s.presence.push_back(entry_of(code, i).present * 256 + entry_of(code, i).bits);
  for (int i = 0; i < 250; ++i) s.formats += std::string(g_document.out_format[i]) + "|";
  return s;
}

class ColumnOpsTest : public DocumentTest {
protected:
  void SetUp() override {
    columns_ = 3;
    scans_ = 4;
    DocumentTest::SetUp();
    for (int c = 1; c <= 3; ++c) {
      set_columninfo(c, "u", "q", c);
      for (int s = 1; s <= 4; ++s) set_data(c, s, c * 10 + s);
    }
    set_columnvoid(2, -9999.0);
    reset_error_list(g_document);
  }
  // Checks that `op` returns 0 and records exactly `expected`, changing nothing else.
  void expect_refused(const std::function<int()>& op, ErrorEntry expected) {
    const Snapshot before = snapshot();
    reset_error_list(g_document);
    EXPECT_EQ(op(), 0);
    EXPECT_EQ(errors(), std::vector<ErrorEntry>{expected});
    EXPECT_TRUE(snapshot() == before);
  }
  void without_block() {
    free_gef();
    init_gef();
    reset_document(g_document);
    store_line("COLUMN= 3");
  }
};

constexpr int kBadColumns[] = {0, -1, 4, 251, INT_MIN, INT_MAX};

TEST_F(ColumnOpsTest, BadColumnsAreRefusedWithoutChange) {
  for (int c : kBadColumns) {
    SCOPED_TRACE(c);
    expect_refused([c] { return delete_column(c); },
                   {GEF_E_COLUMN_OUT_OF_RANGE, kTextSubject, c, 3, 1});
    expect_refused([c] { return calc_columnminmax(c); },
                   {GEF_E_COLUMN_OUT_OF_RANGE, kTextSubject, c, 3, 3});
  }
  set_timecolumn(3, 1, "s");
  expect_refused([] { return delete_column(3); },
                 {GEF_E_COLUMN_IN_TIMECOLUMN, kTextSubject, 3, 0, 3});
  set_columnpowersupply(1, 0.0f, 1.0f, 2, "mV");
  expect_refused([] { return delete_column(2); },
                 {GEF_E_COLUMN_IN_POWERSUPPLY, kTextSubject, 2, 0, 3});
  EXPECT_EQ(qn2column(0), 0);
  EXPECT_EQ(qn2column(-1), 0); // the reset quantity number of slots never given
}

TEST_F(ColumnOpsTest, BadBlockSizesAreRefusedWithoutChange) {
  for (int c : {0, -1, 251, INT_MIN, INT_MAX})
    expect_refused([c] { return create_new_empty_datablock(c, 5); },
                   {GEF_E_TOO_MANY_COLUMNS, kTextSubject, 0, 0, 1});
  for (int s : {0, -1, INT_MIN})
    expect_refused([s] { return create_new_empty_datablock(2, s); },
                   {GEF_E_NEGATIVE_SCAN_COUNT, kTextSubject, 0, 0, 1});
  expect_refused([] { return create_new_empty_datablock(250, INT_MAX); },
                 {GEF_E_BLOCK_TOO_LARGE, kTextSubject, INT_MAX, 0, 1});
  for (int c = 4; c <= 250; ++c) add_data_column("u", "q", c, 0.0);
  expect_refused([] { return add_data_column("u", "q", 1, 0.0); },
                 {GEF_E_TOO_MANY_COLUMNS, kTextSubject, 0, 0, 1});
  // COLUMN larger than the block.
  entry_of(KW_COLUMN).field[0].i = 251;
  expect_refused([] { return delete_column(1); },
                 {GEF_E_BLOCK_TOO_LARGE, kTextSubject, 1000, 0, 1});
}

TEST_F(ColumnOpsTest, WithoutColumnBlockOrDocument) {
  del_column();
  expect_refused([] { return calc_columnminmax(1); },
                 {GEF_E_UNKNOWN_NUMBER, kTextSubject, 0, 0, 1});
  expect_refused([] { return add_data_column("u", "q", 1, 0.0); },
                 {GEF_E_UNKNOWN_NUMBER, kTextSubject, 0, 0, 1});
  expect_refused([] { return delete_column(1); },
                 {GEF_E_COLUMN_OUT_OF_RANGE, kTextSubject, 1, 0, 1});
  without_block();
  expect_refused([] { return calc_columnminmax(1); },
                 {GEF_E_UNKNOWN_SCAN_COUNT, kNameScans, 0, 0, 1});
  expect_refused([] { return calc_all_columnminmax(); },
                 {GEF_E_UNKNOWN_SCAN_COUNT, kNameScans, 0, 0, 1});
  expect_refused([] { return add_data_column("u", "q", 1, 0.0); },
                 {GEF_E_UNKNOWN_SCAN_COUNT, kNameScans, 0, 0, 1});
  // Without a block a delete moves the keywords only.
  set_columninfo(3, "m", "third", 3);
  EXPECT_EQ(delete_column(1), 1);
  EXPECT_EQ(get_columninfo_Qnumber(2), 3);
  free_gef();
  EXPECT_EQ(delete_column(1) + add_data_column("u", "q", 1, 0.0) +
                create_new_empty_datablock(1, 1) + calc_columnminmax(1) + calc_all_columnminmax() +
                qn2column(1) + maak_tijdkolom(12),
            0);
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
  const std::string text = get_reportdataformat();
  ASSERT_EQ(add_data_column("u", "q", 4, 0.0), 4); // no token yet, columns differ: E13.5
  EXPECT_STREQ(get_reportdataformat(), "F7.2 F7.4  F8.3 E13.5");
  EXPECT_STREQ(g_document.out_format[3], "%13.5le");
  EXPECT_EQ(delete_column(4), 1);
  EXPECT_EQ(get_reportdataformat(), text);
  EXPECT_EQ(delete_column(1), 1);
  EXPECT_STREQ(get_reportdataformat(), "F7.4  F8.3");
  EXPECT_STREQ(g_document.out_format[0], "%7.4lf");
  EXPECT_STREQ(g_document.out_format[1], "%8.3lf");
  // A last token serving later columns stays; a new column takes a token already there.
  set_reportdataformat("F7.2");
  EXPECT_EQ(delete_column(1), 1);
  EXPECT_STREQ(get_reportdataformat(), "F7.2");
  set_reportdataformat("F7.2 F6.1 F6.1");
  ASSERT_EQ(add_data_column("u", "q", 9, 0.0), 2);
  EXPECT_STREQ(get_reportdataformat(), "F7.2 F6.1 F6.1");
  ASSERT_EQ(add_data_column("u", "q", 9, 0.0), 3);
  ASSERT_EQ(add_data_column("u", "q", 9, 0.0), 4); // columns 2 and 3 agree: the last repeats
  EXPECT_STREQ(get_reportdataformat(), "F7.2 F6.1 F6.1 F6.1");
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
  EXPECT_EQ(set_data(2, 6, 1.5), 1);
  EXPECT_EQ(get_data(2, 6), 1.5);
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
