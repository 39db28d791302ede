// Recording into the error list, its limits, and the exported queries and log.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "support/document_fixture.h"

namespace gef::test {
namespace {

class ErrorListTest : public DocumentTest {};

TEST_F(ErrorListTest, TextSlotsAndLastText) {
  report_text(g_document, 42, "first", 0, 0, 3);
  report_keyword(g_document, 43, KW_XYID, 0, 0, 3);
  report_text(g_document, 42, "second", 0, 0, 3);
  EXPECT_EQ(errors()[0][1], 10000);
  EXPECT_EQ(errors()[1][1], KW_XYID);
  EXPECT_EQ(errors()[2][1], 10001);
  EXPECT_STREQ(g_document.errors->last_text, "second");
  report_keyword(g_document, 43, KW_ZID, 0, 0, 3);
  EXPECT_STREQ(g_document.errors->last_text, "second");
  EXPECT_STREQ(get_last_error_text(), " GEF 100: Keyword ZID is missing.\n");
}

TEST_F(ErrorListTest, FullListIgnoresFurtherReports) {
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(report_keyword(g_document, 43, KW_ZID, i, 1, 3), 1);
  EXPECT_EQ(report_text(g_document, 42, "too many", 0, 0, 1), 0);
  EXPECT_EQ(errors().size(), 1000u);
  EXPECT_EQ(get_last_error_code(), 43);
  EXPECT_EQ(get_error_level_last(), 3);
  int codes = 0;
  while (get_error_code() != 0) ++codes;
  EXPECT_EQ(codes, 1000);
  EXPECT_EQ(get_error_code(), 0); // stays at the end
}

TEST_F(ErrorListTest, QueriesWalkTheEntries) {
  EXPECT_EQ(get_error_code(), 0);
  EXPECT_EQ(get_error_level_all(), -1);
  EXPECT_EQ(get_error_level_recent(), -1);
  EXPECT_EQ(get_last_error_code(), -1);
  EXPECT_STREQ(get_last_error_text(), "");

  report_keyword(g_document, 43, KW_XYID, 0, 2, 12);
  EXPECT_EQ(get_error_level_all(), 2);
  EXPECT_EQ(get_error_level_last(), 12);
  EXPECT_EQ(get_error_level_recent(), -1);
  report_text(g_document, 57, "warn", 0, 0, 4);
  EXPECT_EQ(get_error_level_recent(), 4);
  EXPECT_EQ(get_error_level_recent(), -1);

  const int code = get_error_code();
  EXPECT_EQ(code, 43);
  EXPECT_STREQ(get_error_text(0), "-");
  EXPECT_STREQ(get_error_text(57), "Error encountered"); // the cursor does not move
  EXPECT_STREQ(get_error_text(code), " GEF 100: In keyword XYID, field 2 is missing.\n");
  EXPECT_EQ(get_error_code(), 57);
  EXPECT_STREQ(get_error_text(57), " GEF 100: warn\n");
  EXPECT_EQ(get_error_code(), 0);
  EXPECT_STREQ(get_last_error_text(), " GEF 100: warn\n");
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST_F(ErrorListTest, LogFileHasOneSectionPerLevelWithCrLf) {
  report_keyword(g_document, 43, KW_XYID, 0, 0, 12);
  report_text(g_document, 4, "FOO", 0, 0, 3);
  report_keyword(g_document, 6, KW_NONE + 5, 3, 250, 3);
  const std::string path = ::testing::TempDir() + "gef_error_log.txt";
  ASSERT_EQ(write_error_log(path.c_str()), 1);
  EXPECT_EQ(read_file(path), "*** Errorlevel: GEF MINOR (3) ***\r\n"
                             " GEF 100: Unknown keyword FOO found.\r\n\r\n"
                             " GEF 100: Column 3 is outside the interval (1, 250)\r\n"
                             "*** Errorlevel: STANDARD ERROR (12) ***\r\n"
                             " GEF 100: Keyword XYID is missing.\r\n\r\n");
  std::remove(path.c_str());
}

TEST_F(ErrorListTest, LogOfAFullListSaysSoInEverySection) {
  for (int i = 0; i < 1000; ++i) report_keyword(g_document, 8, KW_ZID, 0, 0, i % 2 == 0 ? 1 : 14);
  const std::string path = ::testing::TempDir() + "gef_error_log_full.txt";
  ASSERT_EQ(write_error_log(path.c_str()), 1);
  const std::string log = read_file(path);
  std::size_t count = 0;
  for (std::size_t p = 0; (p = log.find(" Too many errors, only 1000 of them are logged.\r\n",
                                        p)) != std::string::npos;
       ++p)
    ++count;
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(log.find("*** Errorlevel: GEF SEVERE (1) ***\r\n"), 0u);
  EXPECT_NE(log.find("*** Errorlevel: STANDARD WARNING (14) ***\r\n"), std::string::npos);
  std::remove(path.c_str());
}

TEST_F(ErrorListTest, LogThatCannotBeOpened) {
  EXPECT_EQ(write_error_log("/nonexistent-folder/x/log.txt"), 0);
  EXPECT_EQ(get_last_error_code(), 40);
  EXPECT_EQ(get_error_level_last(), 1);
  EXPECT_STREQ(get_last_error_text(),
               " GEF 100: File /nonexistent-folder/x/log.txt cannot be opened.\n");
}

TEST(ErrorListWithoutDocument, ReportsAreIgnored) {
  ASSERT_EQ(init_gef(), 1);
  EXPECT_EQ(report_text(g_document, 42, "nobody listens", 0, 0, 1), 0);
  EXPECT_EQ(get_error_code(), 0);
  EXPECT_EQ(get_last_error_code(), -1);
  EXPECT_EQ(get_error_level_all(), -1);
  free_gef();
  EXPECT_EQ(get_last_error_code(), -1);
  EXPECT_EQ(write_error_log("x"), 0);
}

} // namespace
} // namespace gef::test
