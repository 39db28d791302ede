// SPDX-License-Identifier: MIT
// Text data blocks: the six separator forms, their outcomes and the per-scan column texts.
#include "reader/reader_fixture.h"

namespace gef::test {
namespace {

using AsciiTest = ReaderTest;

const std::string kColumn = "#COLUMNSEPARATOR= ;\r\n";
const std::string kBlank = "#COLUMNSEPARATOR= \r\n";
const std::string kRecord = "#RECORDSEPARATOR= !\r\n";
const std::string kBoth = kColumn + kRecord;
const std::string kTexts = "#COLUMNTEXT= 1\r\n";
const std::string kNull = "<null>";

// Per block: codes, where the first points (scan, column, level; 0 any), scans, last value, texts.
TEST_F(AsciiTest, SeparatorFormsFindingsAndColumnTexts) {
  const std::string longest(1022, 't');
  // clang-format off
  const struct {
    int columns;
    std::string extra, data;
    std::vector<int> codes;
    std::array<int, 3> at;
    int scans;
    double last;
    std::vector<std::string> texts;
  } cases[] = {
      {3, "", "", {}, {}, 0, 0, {}},
      // Without a record separator values fill the scans whatever the lines.
      {2, "", "1 2 3\r\n4 5", {GEF_E_DATA_REMAINS}, {0, 0, 4}, 2, 4, {}},
      // A DOS end mark ends the data in every form.
      {2, "", "1 2\r\n3 4\r\n\x1a trailing junk", {}, {}, 2, 4, {}},
      {2, kBoth, "1;2;!\r\n\x1a", {}, {}, 1, 2, {}},
      // An unreadable value names its place, and only whole scans before it are kept.
      {2, kRecord, "1 2 ! 3 x !", {GEF_E_UNKNOWN_DATA_ENTRY}, {2, 1, 4}, 1, 2, {}},
      {1, "", "x 1 2 3", {GEF_E_UNKNOWN_DATA_ENTRY}, {1, 1, 0}, 0, 0, {}},
      {2, kBoth, "1.0;2.0;!\r\n3;4;!\r\n", {}, {}, 2, 4, {}},
      {2, kBoth, "1.0 ;2.0;!", {GEF_E_NO_COLUMN_SEPARATOR}, {1, 1, 2}, 0, 0, {}},
      {2, kBoth, "1;2;x3;4;!", {GEF_E_NO_RECORD_SEPARATOR}, {1, 0, 0}, 0, 0, {}},
      {2, kRecord, "1 2 3 !", {GEF_E_NO_RECORD_SEPARATOR}, {1, 0, 0}, 0, 0, {}},
      // The file may end where the record separator is expected.
      {2, kBoth, "1;2;!\r\n3;4;", {}, {}, 2, 4, {}},
      {2, kRecord, "1 2 !\r\n3\t4\r\n!\r\n", {}, {}, 2, 4, {}},
      {2, kColumn, "1;2;\n3;4;\n", {}, {}, 2, 4, {}},
      // A record separator right after a scan's last value ends the scan, in both forms mixed
      // row by row; the first such scan is reported once, as a deviation.
      {2, kBoth, "1;2;!\r\n3;4!\r\n5;6!\r\n7;8;!", {GEF_E_NO_COLUMN_SEPARATOR}, {2, 2, 4}, 4, 8,
       {}},
      {2, kBoth + kTexts, "1;2;a!\r\n3;4!\r\n5;6!\r\n7;8;b!", {GEF_E_NO_COLUMN_SEPARATOR},
       {2, 2, 4}, 4, 8, {"a", kNull, kNull, "b"}},
      {3, kBoth, "1;2!\r\n", {GEF_E_NO_COLUMN_SEPARATOR}, {1, 2, 2}, 0, 0, {}},
      // So does a line end, but only where blanks separate values.
      {2, kBlank, "1 2\r\n3  4\n5 6 \r\n", {GEF_E_NO_COLUMN_SEPARATOR}, {1, 2, 4}, 3, 6, {}},
      {2, kColumn, "1;2;\r\n3;4\r\n", {GEF_E_NO_COLUMN_SEPARATOR}, {2, 2, 2}, 1, 2, {}},
      // A complete last scan cut by the end of the file is kept; a shorter one is not.
      {2, kBoth, "1;2;!\r\n3;4", {GEF_E_DATA_REMAINS}, {0, 0, 4}, 2, 4, {}},
      {2, kBoth + kTexts, "1;2;a!\r\n3;4", {GEF_E_DATA_REMAINS}, {0, 0, 4}, 2, 4, {"a", kNull}},
      {2, kBlank, "1 2 \r\n3 4", {GEF_E_DATA_REMAINS}, {0, 0, 4}, 2, 4, {}},
      {3, kBoth, "1;2;3;!\r\n4;5", {GEF_E_UNKNOWN_DATA_ENTRY}, {}, 1, 3, {}},
      // Column texts keep their blanks, empty ones are null, the file may end in one, and
      // other COLUMNTEXT states parse them without keeping them.
      {2, kBoth + kTexts, "1.0;2.0;sand!\r\n3;4;!\r\n5;6; clay, grey !", {}, {}, 3, 6,
       {"sand", kNull, " clay, grey "}},
      {2, kRecord + kTexts, "1 2 peat!\r\n3 4!\r\n", {}, {}, 2, 4, {" peat", kNull}},
      {1, kBoth + kTexts, "1;loam", {}, {}, 1, 1, {"loam"}},
      {1, kBoth + "#COLUMNTEXT= 2\r\n", "1;x!\r\n2;y!\r\n", {}, {}, 2, 2, {kNull, kNull}},
      // Texts on but no separator at all: a line end closes the scan when only blanks follow
      // its last value, reported once as a deviation.
      {3, kTexts, "1 2 3 \r\n4\t5 6\n7 8 9", {GEF_E_COLUMNTEXT_WITHOUT_RECORDSEPARATOR},
       {1, 0, 4}, 3, 9, {kNull, kNull, kNull}},
      // 1022 characters fit; a longer text is dropped and reported with the limit.
      {1, kBoth + kTexts, "1;" + longest + "!\r\n", {}, {}, 1, 1, {longest}},
      {1, kBoth + kTexts, "1;a!\r\n2;" + longest + "t!\r\n", {GEF_E_COLUMNTEXT_TOO_LONG},
       {2, 1024, 4}, 2, 2, {"a", kNull}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.data.substr(0, 40));
    ASSERT_EQ(read(header(c.columns, c.extra) + c.data), 1);
    EXPECT_EQ(error_codes(), c.codes);
    if (!c.codes.empty()) {
      const ErrorEntry e = find_error(c.codes[0]);
      const std::array<int, 3> got = {e.first, e.second, e.level};
      for (std::size_t k = 0; k < 3; ++k)
        EXPECT_TRUE(c.at[k] == 0 || got[k] == c.at[k]) << k << ": " << got[k];
    }
    ASSERT_EQ(scans(), c.scans);
    EXPECT_TRUE(c.scans == 0 || value(c.scans, c.columns) == c.last);
    for (std::size_t s = 0; s < c.texts.size(); ++s)
      EXPECT_EQ(text(int(s) + 1) != nullptr ? text(int(s) + 1) : kNull, c.texts[s]) << s;
    expect_consistent(c.columns);
  }
}

// Where a text could stand but no record separator ends it, the file is refused.
TEST_F(AsciiTest, ColumnTextNeedsARecordSeparator) {
  for (const std::string& file :
       {header(1, kColumn + kTexts) + "1;a!\r\n", header(2, kTexts) + "1 2\r\n3 4 sand\r\n"}) {
    ASSERT_EQ(read(header(2) + "7 8\r\n"), 1);
    EXPECT_EQ(read(file), 0);
    EXPECT_EQ(find_error(GEF_E_COLUMNTEXT_WITHOUT_RECORDSEPARATOR).level, 1);
    EXPECT_EQ(find_error(GEF_E_DATA_BLOCK_ERRORS).level, 1);
    // Nothing of the file read before stays behind as if it were this file's data.
    EXPECT_EQ(document().value_capacity, 0);
    EXPECT_NE(get_data(1, 1), 7.0);
  }
}

} // namespace
} // namespace gef::test
