// Text data blocks: the six separator forms, their outcomes, column texts and numbers as "%lf".
#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "reader/reader_fixture.h"

namespace gef::test {
namespace {

using AsciiTest = ReaderTest;

const std::string kBoth = "#COLUMNSEPARATOR= ;\r\n#RECORDSEPARATOR= !\r\n";
const std::string kRecord = "#RECORDSEPARATOR= !\r\n";
const std::string kTexts = "#COLUMNTEXT= 1\r\n";

TEST_F(AsciiTest, NoSeparatorsReadsValuesRegardlessOfLines) {
  ASSERT_EQ(read(header(2) + "1 2 3\r\n4 5"), 1);
  EXPECT_EQ(error_codes(), std::vector<int>{1004});
  EXPECT_EQ(find(1004)[4], 4);
  EXPECT_EQ(scans(), 2);
  EXPECT_EQ(value(1, 1), 1.0);
  EXPECT_EQ(value(2, 1), 3.0);
  EXPECT_EQ(value(2, 2), 4.0);
  expect_consistent(2);
}

TEST_F(AsciiTest, NumbersFollowTheMeaningOfPercentLf) {
  ASSERT_EQ(read(header(1) + "  +1.5e2\t-.5\n1E-3 inf -INF nan 0x10 7."), 1);
  ASSERT_EQ(scans(), 8);
  EXPECT_EQ(value(1, 1), 150.0);
  EXPECT_EQ(value(2, 1), -0.5);
  EXPECT_EQ(value(3, 1), 0.001);
  EXPECT_TRUE(std::isinf(value(4, 1)) && value(4, 1) > 0);
  EXPECT_TRUE(std::isinf(value(5, 1)) && value(5, 1) < 0);
  EXPECT_TRUE(std::isnan(value(6, 1)));
  EXPECT_EQ(value(7, 1), 16.0);
  EXPECT_EQ(value(8, 1), 7.0);
  EXPECT_TRUE(errors().empty());
}

// One block per row: what the first finding of `code` names (scan, column, level; -1 for any),
// or no finding at all when `code` is 0, and the scans kept with the last value read.
TEST_F(AsciiTest, SeparatorFormsAndTheirFindings) {
  const struct {
    int columns;
    std::string extra, data;
    int code;
    std::array<int, 3> at;
    int scans;
    double last;
  } cases[] = {
      // A DOS end mark ends the data in every form.
      {2, "", "1 2\r\n3 4\r\n\x1a trailing junk", 0, {}, 2, 4},
      {2, kBoth, "1;2;!\r\n\x1a", 0, {}, 1, 2},
      {2, kRecord, "1 2 !\r\n\x1a", 0, {}, 1, 2},
      // An unreadable value names its place, and only whole scans before it are kept.
      {2, kRecord, "1 2 ! 3 x !", 1005, {2, 1, 4}, 1, 2},
      {1, "", "x 1 2 3", 1005, {1, 1, -1}, 0, 0},
      {3, "", "x 1 2 3", 1005, {1, 1, -1}, 0, 0},
      {2, kBoth, "1.0;2.0;!\r\n3;4;!\r\n", 0, {}, 2, 4},
      {2, kBoth, "1.0 ;2.0;!", 1006, {1, 1, 2}, 0, 0},
      {2, kBoth, "1;2;x3;4;!", 1007, {1, -1, -1}, 0, 0},
      // The file may end where the record separator is expected.
      {2, kBoth, "1;2;!\r\n3;4;", 0, {}, 2, 4},
      {2, kRecord, "1 2 !\r\n3\t4\r\n!\r\n", 0, {}, 2, 4},
      {2, kRecord, "1 2 3 !", 1007, {1, -1, -1}, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.data);
    ASSERT_EQ(read(header(c.columns, c.extra) + c.data), 1);
    if (c.code == 0) {
      EXPECT_TRUE(errors().empty()) << message(0);
    } else {
      const ErrorEntry e = find(c.code);
      for (std::size_t k = 0; k < 3; ++k) {
        if (c.at[k] != -1) {
          EXPECT_EQ(e[k + 2], c.at[k]) << k;
        }
      }
    }
    ASSERT_EQ(scans(), c.scans);
    if (c.scans > 0) {
      EXPECT_EQ(value(c.scans, c.columns), c.last);
    }
    expect_consistent(c.columns);
  }
}

// Header lines and the data block behind them.
struct Block {
  std::string extra, data;
};

// The scan, column and level an entry names.
std::array<int, 3> where(const ErrorEntry& e) { return {e[2], e[3], e[4]}; }

TEST_F(AsciiTest, RecordSeparatorRightAfterTheLastValueEndsTheScan) {
  // Both forms may mix row by row; the first such scan is reported once, as a deviation.
  const Block blocks[] = {{kBoth, "1;2;!\r\n3;4!\r\n5;6!\r\n7;8;!"},
                          {kBoth + kTexts, "1;2;a!\r\n3;4!\r\n5;6!\r\n7;8;b!"}};
  for (const Block& b : blocks) {
    ASSERT_EQ(read(header(2, b.extra) + b.data), 1);
    EXPECT_EQ(error_codes(), std::vector<int>{1006}) << b.data;
    EXPECT_EQ(where(find(1006)), (std::array<int, 3>{2, 2, 4}));
    ASSERT_EQ(scans(), 4);
    EXPECT_EQ(value(3, 2), 6.0);
    EXPECT_EQ(value(4, 1), 7.0);
    expect_consistent(2);
  }
  EXPECT_EQ(text(2), nullptr);
  EXPECT_STREQ(text(4), "b");

  // Any other value followed by the record separator still breaks the scan.
  ASSERT_EQ(read(header(3, kBoth) + "1;2!\r\n"), 1);
  EXPECT_EQ(where(find(1006)), (std::array<int, 3>{1, 2, 2}));
  EXPECT_EQ(scans(), 0);
}

TEST_F(AsciiTest, ColumnSeparatorOnly) {
  ASSERT_EQ(read(header(2, "#COLUMNSEPARATOR= ;\r\n") + "1;2;\n3;4;\n"), 1);
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(value(2, 1), 3.0);
  // A line end right after a scan's last value ends the scan only where blanks separate values.
  ASSERT_EQ(read(header(2, "#COLUMNSEPARATOR= ;\r\n") + "1;2;\r\n3;4\r\n"), 1);
  EXPECT_EQ(where(find(1006)), (std::array<int, 3>{2, 2, 2}));
  EXPECT_EQ(scans(), 1);

  ASSERT_EQ(read(header(2, "#COLUMNSEPARATOR= \r\n") + "1 2\r\n3  4\n5 6 \r\n"), 1);
  EXPECT_EQ(error_codes(), std::vector<int>{1006});
  EXPECT_EQ(where(find(1006)), (std::array<int, 3>{1, 2, 4}));
  ASSERT_EQ(scans(), 3);
  EXPECT_EQ(value(2, 2), 4.0);
  EXPECT_EQ(value(3, 1), 5.0);
}

TEST_F(AsciiTest, CompleteLastScanCutByTheEndOfTheFileIsKept) {
  const Block blocks[] = {{kBoth, "1;2;!\r\n3;4"},
                          {kBoth + kTexts, "1;2;a!\r\n3;4"},
                          {"#COLUMNSEPARATOR= ;\r\n", "1;2;\r\n3;4"},
                          {"#COLUMNSEPARATOR= \r\n", "1 2 \r\n3 4"}};
  for (const Block& b : blocks) {
    ASSERT_EQ(read(header(2, b.extra) + b.data), 1);
    EXPECT_EQ(error_codes(), std::vector<int>{1004}) << b.data;
    EXPECT_EQ(find(1004)[4], 4);
    ASSERT_EQ(scans(), 2) << b.data;
    EXPECT_EQ(value(2, 2), 4.0);
    expect_consistent(2);
  }
  // A last scan with fewer values than columns is still dropped.
  ASSERT_EQ(read(header(3, kBoth) + "1;2;3;!\r\n4;5"), 1);
  EXPECT_EQ(scans(), 1);
  EXPECT_FALSE(has(1004));
}

TEST_F(AsciiTest, ColumnTextsKeepTheirBlanksAndEmptyOnesAreNull) {
  const struct {
    int columns;
    std::string extra, data;
    std::vector<const char*> texts;
  } cases[] = {
      {2,
       kBoth + kTexts,
       "1.0;2.0;sand!\r\n3;4;!\r\n5;6; clay, grey !",
       {"sand", nullptr, " clay, grey "}},
      {2, kRecord + kTexts, "1 2 peat!\r\n3 4!\r\n", {" peat", nullptr}},
      {1, kBoth + kTexts, "1;loam", {"loam"}}, // the file ends in the text
  };
  for (const auto& c : cases) {
    ASSERT_EQ(read(header(c.columns, c.extra) + c.data), 1) << c.data;
    EXPECT_TRUE(errors().empty()) << message(0);
    ASSERT_EQ(scans(), int(c.texts.size()));
    for (int s = 1; s <= scans(); ++s) {
      const char* want = c.texts[std::size_t(s - 1)];
      EXPECT_EQ(std::string(text(s) ? text(s) : "<null>"), std::string(want ? want : "<null>"));
    }
    expect_consistent(c.columns);
  }
}

TEST_F(AsciiTest, ColumnTextNeedsARecordSeparator) {
  EXPECT_EQ(read(header(1, "#COLUMNSEPARATOR= ;\r\n" + kTexts) + "1;a!\r\n"), 0);
  EXPECT_EQ(find(1016)[4], 1);
  EXPECT_EQ(find(1001)[4], 1);
}

TEST_F(AsciiTest, ColumnTextLengthLimit) {
  ASSERT_EQ(read(header(1, kBoth + kTexts) + "1;" + std::string(1022, 't') + "!\r\n"), 1);
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(std::string(text(1)).size(), 1022u);

  ASSERT_EQ(read(header(1, kBoth + kTexts) + "1;a!\r\n2;" + std::string(1023, 't') + "!\r\n"), 1);
  const ErrorEntry e = find(1008);
  EXPECT_EQ(e[2], 2); // the scan whose text is too long
  EXPECT_EQ(e[3], 1024);
  EXPECT_EQ(e[4], 4);
  EXPECT_EQ(scans(), 2);
  EXPECT_STREQ(text(1), "a");
  EXPECT_EQ(text(2), nullptr);
}

TEST_F(AsciiTest, OtherColumnTextStatesParseTextsButDoNotKeepThem) {
  ASSERT_EQ(read(header(1, kBoth + "#COLUMNTEXT= 2\r\n") + "1;x!\r\n2;y!\r\n"), 1);
  EXPECT_EQ(scans(), 2);
  EXPECT_EQ(text(1), nullptr);
  EXPECT_EQ(value(2, 1), 2.0);
}

TEST_F(AsciiTest, EmptyDataBlockAndLineEnds) {
  ASSERT_EQ(read(header(3)), 1);
  EXPECT_EQ(scans(), 0);
  expect_consistent(3);
  ASSERT_EQ(read("#GEFID= 1, 1, 0\n#COLUMN= 2\n#COLUMNINFO= 1, m, a, 1\n#COLUMNINFO= 2, m, b, 2\n"
                 "#EOH=\n1 2\n3 4\n"),
            1);
  EXPECT_EQ(scans(), 2);
  EXPECT_EQ(value(2, 1), 3.0);
}

TEST_F(AsciiTest, NoTemporaryFilesAreLeftOrNeeded) {
  const std::filesystem::path tmp = dir_ / "tmp";
  std::filesystem::create_directories(tmp);
  const char* old = std::getenv("TMP");
  const std::string saved = old != nullptr ? old : "";
#if defined(_WIN32)
  _putenv_s("TMP", tmp.string().c_str());
#else
  setenv("TMP", tmp.string().c_str(), 1);
#endif
  ASSERT_EQ(read(header(2, kBoth + kTexts) + "1;2;a!\r\n3;4;b!\r\n"), 1);
  EXPECT_TRUE(std::filesystem::is_empty(tmp));
#if defined(_WIN32)
  _putenv_s("TMP", saved.c_str());
#else
  if (old != nullptr) {
    setenv("TMP", saved.c_str(), 1);
  } else {
    unsetenv("TMP");
  }
#endif
}

} // namespace
} // namespace gef::test
