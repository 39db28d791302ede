// SPDX-License-Identifier: MIT
// Header syntax: GEFID line, field splitting and escapes, line limits and the end of the header.
#include <cstring>

#include <gmock/gmock.h>

#include "reader/header_parser.h"
#include "reader/reader_fixture.h"

namespace gef::test {
namespace {

using HeaderTest = ReaderTest;

// What a header without a usable GEFID records.
const std::vector<int> kNoGefid = {GEF_E_GEFID_MISSING, GEF_E_REQUIRED_MISSING,
                                   GEF_E_REQUIRED_MISSING, GEF_E_REQUIRED_MISSING,
                                   GEF_E_HEADER_SEVERE_STOP};

// Splits one line the way the header pass does, with the whole text readable.
struct Split {
  KeywordLine line{};
  std::int64_t consumed = 0;
  int result = 0;
  explicit Split(const std::string& text) {
    result = split_keyword_line(document(), text.data(), std::int64_t(text.size()), true, line,
                                consumed);
  }
  std::string operator[](int k) const { return line.field[k]; }
};

TEST_F(HeaderTest, AcceptsSupportedGefidsAndReadsUpdatesOfOneOneAsOneOneZero) {
  const std::string rest = "\r\n#COLUMN= 1\r\n#COLUMNINFO= 1, m, x, 1\r\n#EOH=\r\n1\r\n";
  for (const char* id : {"1, 0, 0", "1, 1, 0", "2, 0, 0", "1,1,0"}) {
    EXPECT_EQ(read(std::string("#GEFID= ") + id + rest), 1) << id;
    EXPECT_TRUE(errors().empty()) << id;
  }

  // Written as found, read as 1.1.0 by the rules, and said so.
  ASSERT_EQ(read("#GEFID= 1, 1, 2" + rest), 1);
  EXPECT_EQ(errors(), (std::vector<ErrorEntry>{{GEF_E_NOTE, 10000, 0, 0, 4}}));
  EXPECT_EQ(message(0), " GEF 100: GEFID 1.1.2 is read as 1.1.0.\n");
  EXPECT_EQ(get_gefid_Update(), 2);
  EXPECT_EQ(gefid_version(document()), 10100);

  // Other versions are refused with the reason before the missing-GEFID report.
  std::vector<int> refused = kNoGefid;
  refused.insert(refused.begin(), GEF_E_NOTE);
  for (const std::string id : {"1.2.0", "3.0.0", "2.0.1", "1.1.-1"}) {
    std::string line = id;
    for (std::size_t p; (p = line.find('.')) != std::string::npos;) line.replace(p, 1, ", ");
    EXPECT_EQ(read("#GEFID= " + line + "\r\n#COLUMN= 1\r\n#EOH=\r\n"), 0) << id;
    EXPECT_EQ(error_codes(), refused) << id;
    EXPECT_EQ(find_error(GEF_E_NOTE).level, 1);
    EXPECT_EQ(message(0),
              " GEF 100: GEFID " + id + " is not supported (1.0.0, 1.1.0 and 2.0.0 are).\n");
  }
  // A line that does not give three numbers names no version.
  for (const char* id : {"1, 1", "1 , 1, 0"}) {
    EXPECT_EQ(read(std::string("#GEFID= ") + id + "\r\n#COLUMN= 1\r\n#EOH=\r\n"), 0) << id;
    EXPECT_EQ(error_codes(), kNoGefid) << id;
  }
}

TEST_F(HeaderTest, OnlyAByteOrderMarkAndBlankLinesMayPrecedeGefid) {
  // A byte-order mark and blanks on the GEFID line are no deviation; whole blank lines are.
  for (const std::string lead : {"\xEF\xBB\xBF", "  ", "\r\n", "\n \t\r\n\n", "\xEF\xBB\xBF\n"}) {
    ASSERT_EQ(read(lead + header(1) + "7\r\n"), 1);
    EXPECT_EQ(value(1, 1), 7.0);
    if (lead.find('\n') == std::string::npos) {
      EXPECT_TRUE(errors().empty());
      continue;
    }
    EXPECT_EQ(errors(), (std::vector<ErrorEntry>{{GEF_E_NOTE, 10000, 0, 0, 5}}));
    EXPECT_EQ(message(0), " GEF 100: Blank lines before GEFID were skipped.\n");
  }
  // Anything else before GEFID is refused before a keyword is stored.
  for (const std::string lead : {"", "\r\n.\r\n"}) {
    EXPECT_EQ(read(lead + "#COLUMN= 1\r\n#GEFID= 1, 1, 0\r\n#EOH=\r\n"), 0);
    EXPECT_EQ(find_error(GEF_E_GEFID_MISSING).level, 1);
    EXPECT_FALSE(has_error(GEF_E_NOTE));
    EXPECT_EQ(entry_of(KW_COLUMN).present, 0);
    EXPECT_EQ(find_error(GEF_E_HEADER_SEVERE_STOP).level, 1);
  }
}

// Backslashes escape a terminator by parity, also at a field's start; ten fields end the header.
TEST_F(HeaderTest, SplitsFieldsAtUnescapedTerminators) {
  const struct {
    std::string line;
    std::vector<std::string> fields; // empty: the line ends the header
  } cases[] = {
      {"#MEASUREMENTVAR= 1, 0.5, m, cone diameter\r\n#X",
       {"MEASUREMENTVAR", "1", "0.5", "m", "cone diameter"}},
      {"#COLUMN = 3\r\n#", {"COLUMN", "3"}}, // text between the name and `=` is ignored
      {"#COMMENT= a\\, b\n#", {"COMMENT", "a\\, b"}},
      {"#COMMENT= a\\\\, b\n#", {"COMMENT", "a\\\\", "b"}},
      {"#COMMENT= a\\\\\\, b\n#", {"COMMENT", "a\\\\\\, b"}},
      {"#COMMENT= a\\#b\n#", {"COMMENT", "a\\#b"}},
      {"#COMMENT=\\,x\n#", {"COMMENT", "\\,x"}},
      {"#STRUCTURETEXT= COLUMN,2,3,4,5,6,7,8,9\r\n#",
       {"STRUCTURETEXT", "COLUMN", "2", "3", "4", "5", "6", "7", "8", "9"}},
      {"#STRUCTURETEXT= COLUMN,2,3,4,5,6,7,8,9,10\r\n#", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const Split s(c.line);
    EXPECT_EQ(s.result, c.fields.empty() ? -1 : 1);
    EXPECT_EQ(s.consumed, c.fields.empty() ? -1 : std::int64_t(c.line.rfind('#')));
    for (std::size_t k = 0; k < std::size_t(kFieldBuffers) && !c.fields.empty(); ++k)
      EXPECT_EQ(s[int(k)], k < c.fields.size() ? c.fields[k] : "") << k;
  }
}

TEST_F(HeaderTest, EohEndsTheHeaderInAnyCaseAndForm) {
  ASSERT_EQ(read("#GEFID= 1, 1, 0\n#COLUMN= 1\n#COLUMNINFO= 1, m, x, 1\n#eoh=\n5\n"), 1);
  EXPECT_EQ(scans(), 1);
  EXPECT_EQ(value(1, 1), 5.0);
  // At the very end of the file, without a line end: no data.
  ASSERT_EQ(read("#GEFID= 1, 1, 0\r\n#COLUMN= 1\r\n#COLUMNINFO= 1, m, x, 1\r\n#EOH="), 1);
  EXPECT_EQ(scans(), 0);
  EXPECT_EQ(document().scan_known, 1);
  EXPECT_TRUE(errors().empty());
  EXPECT_STREQ(entry_of(KW_DATATYPE).field[0].s, "REAL8"); // the default
  EXPECT_EQ(document().input_mode, GETAL);                 // the text mode of the parse is undone
}

TEST_F(HeaderTest, HeadersCutShortSayWhy) {
  const std::string start = "#GEFID= 1, 1, 0\r\n#COLUMN= 1\r\n#COLUMNINFO= 1, m, x, 1\r\n";
  // clang-format off
  const struct {
    std::string text;
    int result;
    std::vector<std::array<int, 2>> levels; // code, level
  } cases[] = {
      {header(1, "#STRUCTURETEXT= COLUMN,2,3,4,5,6,7,8,9,10\r\n") + "1\r\n", 0,
       {{GEF_E_EOH_MISSING, 2}, {GEF_E_HEADER_SEVERE_STOP, 1}}},
      // The stop's level is that of what went wrong before.
      {start + "1 2 3\r\n", 0, {{GEF_E_EOH_MISSING, 2}, {GEF_E_HEADER_SEVERE_STOP, 1}}},
      // Nothing but blanks after `#` for a whole line: the header ends there.
      {start + "#" + std::string(1100, ' ') + "\r\n1\r\n", 1,
       {{GEF_E_NO_KEYWORD_NOR_EOH, 2}, {GEF_E_EOH_MISSING, 2}}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 80));
    EXPECT_EQ(read(c.text), c.result);
    for (const auto& [code, level] : c.levels) EXPECT_EQ(find_error(code).level, level) << code;
  }
  // The next read starts afresh.
  EXPECT_EQ(read(header(1) + "3\r\n"), 1);
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(value(1, 1), 3.0);

  EXPECT_EQ(read("#GEFID= 1, 1, 0\r\n#COLUMN= 2\r\n#COLUMNINFO= 1, m, x, 1\r\n#EOH=\r\n1 2\r\n"),
            0);
  EXPECT_THAT(errors(), testing::Contains(testing::FieldsAre(GEF_E_REQUIRED_MISSING, KW_COLUMNINFO,
                                                             2, 0, testing::_)));
}

TEST_F(HeaderTest, LineWithoutHashContinuesThePreviousKeyword) {
  ASSERT_EQ(read(header(1, "#FILEOWNER= me\r\nsecond line\r\n\r\n") + "1\r\n"), 1);
  EXPECT_STREQ(entry_of(KW_FILEOWNER).field[0].s, "me");
  EXPECT_EQ(find_error(GEF_E_TOO_MANY_FIELDS).first, 1); // the continued text counts as a surplus
}

// The keyword finder never reads past the bytes it has.
TEST_F(HeaderTest, LimitsOfNamesFieldsAndLines) {
  ASSERT_EQ(read(header(1, "#FILEOWNER= " + std::string(3000, 'x') + "\r\n") + "1\r\n"), 1);
  EXPECT_EQ(std::strlen(entry_of(KW_FILEOWNER).field[0].s), std::size_t(kFieldSize - 1));

  reset_document(document());
  EXPECT_EQ(Split("#" + std::string(1500, 'K') + "= 1\r\n").result, 0);
  EXPECT_TRUE(has_error(GEF_E_INCOMPLETE_KEYWORD));
  EXPECT_TRUE(has_error(GEF_E_EOH_MISSING));
  reset_document(document());
  char keyword[kFieldSize];
  EXPECT_EQ(find_keyword(document(), "#COLUMN", 7, keyword), kTextEnded); // no `=` before the end
  EXPECT_EQ(document().reading.stop, 0);
  const std::string nohash(1100, 'x');
  EXPECT_EQ(find_keyword(document(), nohash.data(), 1100, keyword), kLineLimit);
  EXPECT_TRUE(has_error(GEF_E_LINE_TOO_LONG));
}

} // namespace
} // namespace gef::test
