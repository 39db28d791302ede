// Every message template formats exactly, and unknown codes fall back to the "Clueless" text.
#include <cstring>

#include "support/document_fixture.h"

namespace gef::test {
namespace {

struct MessageCase {
  int code, first, second;
  const char* expected;
};

const MessageCase kMessageCases[] = {
#include "diagnostics/message_cases.inc"
};

class MessagesTest : public DocumentTest {};

TEST_F(MessagesTest, EveryTemplate) {
  // init_gef_general gives GEFID 1.1.0, which fills the " GEF %d%d%d:" prefixes.
  for (const MessageCase& c : kMessageCases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(std::string(format_error_message(g_document, c.code, "Kw", c.first, c.second)),
              c.expected);
  }
}

TEST_F(MessagesTest, UnassignedCodesAreClueless) {
  for (int code : {0, 15, 19, 29, 33, 65, 1000, 1017, 2012, 3002, 3203, -5}) {
    EXPECT_EQ(std::string(format_error_message(g_document, code, "Kw", 1, 2)),
              " Clueless. Unknown error corresponding to error code " + std::to_string(code) +
                  " occured.\n ");
  }
}

TEST_F(MessagesTest, SubjectsResolveToKeywordNamesOrTexts) {
  report_keyword(g_document, 43, KW_XYID, 0, 2, 3);
  report_keyword(g_document, 43, KW_XYID, 0, 0, 3);
  report_keyword(g_document, 43, KW_XYID, 3, 2, 3);
  report_keyword(g_document, 61, KW_ANALYSISVAR, 0, 0, 3);
  report_text(g_document, 14, "COLUMN", 0, 0, 3);
  report_keyword(g_document, 3035, KW_GEFID, 4, 0, 13);
  report_keyword(g_document, 4, 20, 0, 0, 3);
  report_keyword(g_document, 4, KW_SCANFREQUENCY, 0, 0, 3);
  EXPECT_EQ(message(0), " GEF 100: In keyword XYID, field 2 is missing.\n");
  EXPECT_EQ(message(1), " GEF 100: Keyword XYID is missing.\n");
  EXPECT_EQ(message(2), " GEF 100: In keyword XYID, serial number 3, field 2 is missing.\n");
  EXPECT_EQ(message(3), " GEF 110: Keyword ANALYSISVAR is not supported with this GEFID.\n");
  EXPECT_EQ(message(4), " GEF 100: Info of keyword COLUMN is missing.\n");
  EXPECT_EQ(message(5), " GEF-BORE-Report 100: Gap/Overlap between layers 4 and 5.\n");
  EXPECT_EQ(message(6), " GEF 100: Unknown keyword Undefined (key)word: code is 20 found.\n");
  EXPECT_EQ(message(7), " GEF 100: Unknown keyword SCANFREQ found.\n");
}

TEST_F(MessagesTest, LongTextsAreCutNotOverflowed) {
  const std::string long_text(2000, 'x');
  report_text(g_document, 42, long_text.c_str(), 0, 0, 3);
  EXPECT_EQ(std::strlen(g_document.errors->texts[0]), 255u);
  const std::string m = message(0);
  EXPECT_EQ(m, " GEF 100: " + std::string(255, 'x') + "\n");
  // A text with conversions in it is printed as it stands.
  report_text(g_document, 42, "%s%n%d", 0, 0, 3);
  EXPECT_EQ(message(1), " GEF 100: %s%n%d\n");
}

} // namespace
} // namespace gef::test
