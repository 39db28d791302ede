// SPDX-License-Identifier: MIT
// Message templates format exactly through every filler; unknown codes give the "Clueless" text.
#include <cstring>

#include "support/document_fixture.h"

namespace gef::test {
namespace {

struct MessageCase {
  int code;
  const char* expected;
  int first = 65, second = 66;
};

// One row per filler, numbering variant, prefix family and quirk kept byte for byte (missing
// newline, doubled or trailing space, literal upper case, two lines); the rest share these.
const MessageCase kMessageCases[] = {
    {GEF_E_KEYWORD_NOT_ALLOWED, " GEF 100: Keyword Kw is not allowed.\n"},
    {GEF_E_NO_SUCH_FIELD, " GEF 100: Keyword Kw, number 65, field 66 does not exist.\n"},
    {GEF_E_NUMBER_OUT_OF_RANGE, " GEF 100: Column 65 is outside the interval (1, 66)"},
    {GEF_E_NUMBER_OUTSIDE_INTERVAL,
     " GEF 100: The number for keyword Kw is outside the interval (65, 66).\n"},
    {GEF_E_COLUMN_OUT_OF_RANGE,
     " GEF 100: The column required: 65 is outside the interval (1,  66)\n"},
    {GEF_E_REPEATED_COLUMN_KEYWORD,
     " GEF 100: Repeated keyword #Kw detected, referring to column: 65.\n "},
    {GEF_E_TOO_MANY_FIELDS,
     " GEF 100: In keyword KW more parameters than allowed (=65) are found.\n"},
    {GEF_E_NOTE, " GEF 100: Kw\n"},
    {GEF_E_REQUIRED_MISSING, " GEF 100: Keyword Kw is missing.\n", 0, 0},
    {GEF_E_REQUIRED_MISSING, " GEF 100: In keyword Kw, field 66 is missing.\n", 0, 66},
    {GEF_E_REQUIRED_MISSING, " GEF 100: In keyword Kw, serial number 65, field 66 is missing.\n"},
    {GEF_E_INVALID_SEPARATOR, " GEF 100: In Kw the separator used: 'A' is invalid.\n"},
    {GEF_E_SEPARATORS_EQUAL,
     " GEF 100: Columnseparator 'A' equal to recordseparator 'B' is not allowed.\n"},
    {GEF_E_TOO_MANY_PARAMETERS,
     " GEF 100: Too many parameters (66) in keyword KW, serial number 65.\n"},
    {GEF_E_KEYWORD_NOT_SUPPORTED, " GEF 110: Keyword Kw is not supported with this GEFID.\n"},
    {GEF_E_QUANTITY_NOT_IN_HEADER,
     " GEF 200: The quantity number 65 in Kw is not present in the header.\n"},
    {GEF_E_UNKNOWN_DATA_ENTRY, " GEF-DATA: Unknown data entry is found in scan 65, column 66.\n"},
    {GEF_E_LASTSCAN_MISMATCH,
     " GEF 100: The number of scans read=65 is not in agreement with LASTSCAN=66\n"},
    {GEF_E_BLOCK_TOO_LARGE,
     " GEF-DATA: The product of columns and scans exceeds the maximum allowable value of 65.\n"
     "           Decrease either the number of scans or columns.\n"},
    {GEF_E_CPT_MANDATORY,
     " GEF-CPT-Report 100: Keyword Kw is mandatory, however not present in your data\n", 0, 0},
    {GEF_E_CPT_MANDATORY_110,
     " GEF-CPT-Report 110: In Kw serial number 65 field 66 is mandatory.\n"},
    {GEF_E_CPT_LASTSCAN_MISMATCH,
     " GEF CPT-Report 100: The number of scans read=65 is not in agreement with LASTSCAN=66\n"},
    {GEF_E_BORE_TEXT, " GEF-BORE-Report 100: Kw.\n"},
    {GEF_E_NEN5104_CORE_METHOD,
     " GEF-BORE-Report 100 NEN5104: In core method 65 the Kw is missing.\n"},
    {GEF_E_NEN5104_MISSING,
     " GEF-BORE-Report 100 NEN5104: In keyword Kw, serial number 65, field 66 is missing.\n"},
    {GEF_E_NEN5119_SAMPLE_VAR,
     " GEF-BORE-Report 100 NEN5119: For sample 65 (specimenvar 66) the Kw is missing.\n"},
};

using MessagesTest = DocumentTest;

TEST_F(MessagesTest, TemplatesFormatEachFiller) {
  // GEFID 1.1.0 fills the " GEF %d%d%d:" prefixes.
  for (const MessageCase& c : kMessageCases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(std::string(format_error_message(document(), c.code, "Kw", c.first, c.second)),
              c.expected);
  }
}

TEST_F(MessagesTest, UnassignedCodesAreClueless) {
  for (int code : {0, 15, 19, 29, 33, 65, 1000, 1017, 2012, 3002, 3203, -5}) {
    EXPECT_EQ(std::string(format_error_message(document(), code, "Kw", 1, 2)),
              " Clueless. Unknown error corresponding to error code " + std::to_string(code) +
                  " occured.\n ");
  }
}

// Subjects name a keyword, a stored text, or a code without a keyword.
TEST_F(MessagesTest, SubjectsResolveToKeywordNamesOrTexts) {
  report_keyword(document(), GEF_E_REQUIRED_MISSING, KW_XYID, 3, 2, LEVEL_GEF_MINOR);
  report_text(document(), GEF_E_KEYWORD_INFO_MISSING, "COLUMN", 0, 0, LEVEL_GEF_MINOR);
  report_keyword(document(), GEF_E_BORE_LAYER_GAP, KW_GEFID, 4, 0, LEVEL_STANDARD_MINOR);
  report_keyword(document(), GEF_E_UNKNOWN_KEYWORD, 20, 0, 0, LEVEL_GEF_MINOR);
  report_keyword(document(), GEF_E_UNKNOWN_KEYWORD, KW_SCANFREQUENCY, 0, 0, LEVEL_GEF_MINOR);
  EXPECT_EQ(message(0), " GEF 100: In keyword XYID, serial number 3, field 2 is missing.\n");
  EXPECT_EQ(message(1), " GEF 100: Info of keyword COLUMN is missing.\n");
  EXPECT_EQ(message(2), " GEF-BORE-Report 100: Gap/Overlap between layers 4 and 5.\n");
  EXPECT_EQ(message(3), " GEF 100: Unknown keyword Undefined (key)word: code is 20 found.\n");
  EXPECT_EQ(message(4), " GEF 100: Unknown keyword SCANFREQ found.\n");
}

TEST_F(MessagesTest, LongTextsAreCutNotOverflowed) {
  const std::string long_text(2000, 'x');
  report_text(document(), GEF_E_NOTE, long_text.c_str(), 0, 0, LEVEL_GEF_MINOR);
  EXPECT_EQ(std::strlen(document().errors->texts[0]), 255u);
  const std::string m = message(0);
  EXPECT_EQ(m, " GEF 100: " + std::string(255, 'x') + "\n");
  // A text with conversions in it is printed as it stands.
  report_text(document(), GEF_E_NOTE, "%s%n%d", 0, 0, LEVEL_GEF_MINOR);
  EXPECT_EQ(message(1), " GEF 100: %s%n%d\n");
}

} // namespace
} // namespace gef::test
