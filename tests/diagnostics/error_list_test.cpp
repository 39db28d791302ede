// SPDX-License-Identifier: MIT
// Recording into the error list, its limits, and the exported queries and log.
#include "support/document_fixture.h"
#include "support/files.h"

namespace gef::test {
namespace {

class ErrorListTest : public DocumentTest {
protected:
  // Writes the log into the test's folder and returns its bytes.
  std::string log() {
    EXPECT_EQ(write_error_log(scratch_.file("log.txt").c_str()), 1);
    return slurp_file(scratch_.file("log.txt"));
  }
  ScratchDir scratch_;
};

TEST_F(ErrorListTest, QueriesWalkTheEntries) {
  EXPECT_EQ(get_error_code(), 0);
  EXPECT_EQ(get_error_level_all(), -1);
  EXPECT_EQ(get_error_level_recent(), -1);
  EXPECT_EQ(get_last_error_code(), -1);
  EXPECT_STREQ(get_last_error_text(), "");

  report_keyword(document(), GEF_E_REQUIRED_MISSING, KW_XYID, 0, 2, LEVEL_STANDARD_ERROR);
  EXPECT_EQ(get_error_level_all(), 2);
  EXPECT_EQ(get_error_level_last(), 12);
  EXPECT_EQ(get_error_level_recent(), -1);
  report_text(document(), GEF_E_HEADER_NOTE, "warn", 0, 0, LEVEL_GEF_WARNING);
  EXPECT_EQ(get_error_level_recent(), 4);
  EXPECT_EQ(get_error_level_recent(), -1);

  const int code = get_error_code();
  EXPECT_EQ(code, GEF_E_REQUIRED_MISSING);
  EXPECT_STREQ(get_error_text(0), "-");
  EXPECT_STREQ(get_error_text(GEF_E_HEADER_NOTE), "Error encountered"); // the cursor stays
  EXPECT_STREQ(get_error_text(code), " GEF 100: In keyword XYID, field 2 is missing.\n");
  EXPECT_EQ(get_error_code(), GEF_E_HEADER_NOTE);
  EXPECT_STREQ(get_error_text(GEF_E_HEADER_NOTE), " GEF 100: warn\n");
  EXPECT_EQ(get_error_code(), 0);
  EXPECT_STREQ(get_last_error_text(), " GEF 100: warn\n");
}

TEST_F(ErrorListTest, LogFileHasOneSectionPerLevelWithCrLf) {
  report_keyword(document(), GEF_E_REQUIRED_MISSING, KW_XYID, 0, 0, LEVEL_STANDARD_ERROR);
  report_text(document(), GEF_E_UNKNOWN_KEYWORD, "FOO", 0, 0, LEVEL_GEF_MINOR);
  report_keyword(document(), GEF_E_NUMBER_OUT_OF_RANGE, KW_NONE + 5, 3, 250, LEVEL_GEF_MINOR);
  EXPECT_EQ(log(), "*** Errorlevel: GEF MINOR (3) ***\r\n"
                   " GEF 100: Unknown keyword FOO found.\r\n\r\n"
                   " GEF 100: Column 3 is outside the interval (1, 250)\r\n"
                   "*** Errorlevel: STANDARD ERROR (12) ***\r\n"
                   " GEF 100: Keyword XYID is missing.\r\n\r\n");

  EXPECT_EQ(write_error_log("/nonexistent-folder/x/log.txt"), 0);
  EXPECT_EQ(get_last_error_code(), GEF_E_FILE_CANNOT_BE_OPENED);
  EXPECT_EQ(get_error_level_last(), 1);
  EXPECT_STREQ(get_last_error_text(),
               " GEF 100: File /nonexistent-folder/x/log.txt cannot be opened.\n");
}

// A full list takes no more reports, and its log says so in every section.
TEST_F(ErrorListTest, FullListIgnoresFurtherReports) {
  for (int i = 0; i < 1000; ++i)
    ASSERT_EQ(report_keyword(document(), GEF_E_UNKNOWN_SCAN_COUNT, KW_ZID, i, 1,
                             i % 2 ? LEVEL_STANDARD_WARNING : LEVEL_GEF_SEVERE),
              1);
  EXPECT_EQ(report_text(document(), GEF_E_NOTE, "too many", 0, 0, LEVEL_GEF_SEVERE), 0);
  EXPECT_EQ(get_last_error_code(), GEF_E_UNKNOWN_SCAN_COUNT);
  EXPECT_EQ(get_error_level_last(), 14);
  int codes = 0;
  while (get_error_code() != 0) ++codes;
  EXPECT_EQ(codes, 1000);
  EXPECT_EQ(get_error_code(), 0); // stays at the end

  const std::string text = log();
  const std::string full = " Too many errors, only 1000 of them are logged.\r\n";
  std::size_t count = 0;
  for (std::size_t p = 0; (p = text.find(full, p)) != std::string::npos; ++p) ++count;
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(text.find("*** Errorlevel: GEF SEVERE (1) ***\r\n"), 0u);
  EXPECT_NE(text.find("*** Errorlevel: STANDARD WARNING (14) ***\r\n"), std::string::npos);
}

} // namespace
} // namespace gef::test
