// Header syntax: GEFID line, field splitting and escapes, line limits and the end of the header.
#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "reader/header_parser.h"
#include "reader/reader_fixture.h"

namespace gef::test {
namespace {

using HeaderTest = ReaderTest;

// Splits one line the way the header pass does, with the whole text readable.
struct Split {
  KeywordLine line{};
  std::int64_t consumed = 0;
  int result = 0;
  explicit Split(const std::string& text) {
    result = split_keyword_line(g_document, text.data(), std::int64_t(text.size()), true, line,
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
  EXPECT_EQ(error_codes(), std::vector<int>{42});
  EXPECT_EQ(find(42)[4], 4);
  EXPECT_EQ(message(0), " GEF 100: GEFID 1.1.2 is read as 1.1.0.\n");
  EXPECT_EQ(get_gefid_Update(), 2);
  EXPECT_EQ(gefid_version(g_document), 10100);

  // Other versions are refused with the reason before the missing-GEFID report.
  for (const char* id : {"1, 2, 0", "3, 0, 0", "2, 0, 1", "1, 1, -1"}) {
    EXPECT_EQ(read(std::string("#GEFID= ") + id + "\r\n#COLUMN= 1\r\n#EOH=\r\n"), 0) << id;
    EXPECT_EQ(error_codes(), (std::vector<int>{42, 9, 43, 43, 43, 37})) << id;
    EXPECT_EQ(find(42)[4], 1);
    std::string shown = id;
    shown.erase(std::remove(shown.begin(), shown.end(), ' '), shown.end());
    std::replace(shown.begin(), shown.end(), ',', '.');
    EXPECT_EQ(message(0),
              " GEF 100: GEFID " + shown + " is not supported (1.0.0, 1.1.0 and 2.0.0 are).\n");
  }
  // A line that does not give three numbers names no version.
  for (const char* id : {"1, 1", "1 , 1, 0"}) {
    EXPECT_EQ(read(std::string("#GEFID= ") + id + "\r\n#COLUMN= 1\r\n#EOH=\r\n"), 0) << id;
    EXPECT_EQ(error_codes(), (std::vector<int>{9, 43, 43, 43, 37})) << id;
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
    EXPECT_EQ(error_codes(), std::vector<int>{42});
    EXPECT_EQ(find(42)[4], 5);
    EXPECT_EQ(message(0), " GEF 100: Blank lines before GEFID were skipped.\n");
  }
  // Anything else before GEFID is refused before a keyword is stored.
  for (const std::string lead : {"", "\r\n.\r\n"}) {
    EXPECT_EQ(read(lead + "#COLUMN= 1\r\n#GEFID= 1, 1, 0\r\n#EOH=\r\n"), 0);
    EXPECT_EQ(find(9)[4], 1);
    EXPECT_FALSE(has(42));
    EXPECT_EQ(entry_of(KW_COLUMN).present, 0);
    EXPECT_EQ(find(37)[4], 1);
  }
}

TEST_F(HeaderTest, SplitsFieldsAndClearsTheRest) {
  Split s("#MEASUREMENTVAR= 1, 0.5, m, cone diameter\r\n#X");
  EXPECT_EQ(s.result, 1);
  EXPECT_EQ(s[0], "MEASUREMENTVAR");
  EXPECT_EQ(s[1], "1");
  EXPECT_EQ(s[2], "0.5");
  EXPECT_EQ(s[3], "m");
  EXPECT_EQ(s[4], "cone diameter");
  for (int k = 5; k < kFieldBuffers; ++k) EXPECT_EQ(s[k], "") << k;
  EXPECT_EQ(s.consumed, std::int64_t(std::strlen("#MEASUREMENTVAR= 1, 0.5, m, cone diameter\r\n")));
  // Text between the name and the equals sign is ignored.
  Split blank("#COLUMN = 3\r\n#");
  EXPECT_EQ(blank[0], "COLUMN");
  EXPECT_EQ(blank[1], "3");
}

TEST_F(HeaderTest, BackslashesEscapeTerminatorsByParity) {
  EXPECT_EQ(Split("#COMMENT= a\\, b\n#")[1], "a\\, b");
  Split two("#COMMENT= a\\\\, b\n#");
  EXPECT_EQ(two[1], "a\\\\");
  EXPECT_EQ(two[2], "b");
  EXPECT_EQ(Split("#COMMENT= a\\\\\\, b\n#")[1], "a\\\\\\, b");
  EXPECT_EQ(Split("#COMMENT= a\\#b\n#")[1], "a\\#b");
  // At the field's first position one backslash before the terminator escapes it.
  EXPECT_EQ(Split("#COMMENT=\\,x\n#")[1], "\\,x");
}

TEST_F(HeaderTest, NineFieldsPassTenEndTheHeader) {
  Split nine("#STRUCTURETEXT= COLUMN,2,3,4,5,6,7,8,9\r\n#");
  EXPECT_EQ(nine.result, 1);
  EXPECT_EQ(nine[9], "9");
  Split ten("#STRUCTURETEXT= COLUMN,2,3,4,5,6,7,8,9,10\r\n#");
  EXPECT_EQ(ten.result, -1);
  EXPECT_EQ(ten.consumed, -1);

  EXPECT_EQ(read(header(1, "#STRUCTURETEXT= COLUMN,2,3,4,5,6,7,8,9,10\r\n") + "1\r\n"), 0);
  EXPECT_EQ(find(10)[4], 2);
  EXPECT_TRUE(has(37));
}

TEST_F(HeaderTest, LineWithoutHashContinuesThePreviousKeyword) {
  ASSERT_EQ(read(header(1, "#FILEOWNER= me\r\nsecond line\r\n\r\n") + "1\r\n"), 1);
  EXPECT_STREQ(entry_of(KW_FILEOWNER).field[0].s, "me");
  EXPECT_EQ(find(34)[2], 1); // the continued text counts as a surplus field
}

TEST_F(HeaderTest, EohEndsTheHeaderInAnyCaseAndForm) {
  ASSERT_EQ(read("#GEFID= 1, 1, 0\n#COLUMN= 1\n#COLUMNINFO= 1, m, x, 1\n#eoh=\n5\n"), 1);
  EXPECT_EQ(scans(), 1);
  EXPECT_EQ(value(1, 1), 5.0);
  // At the very end of the file, without a line end: no data.
  ASSERT_EQ(read("#GEFID= 1, 1, 0\r\n#COLUMN= 1\r\n#COLUMNINFO= 1, m, x, 1\r\n#EOH="), 1);
  EXPECT_EQ(scans(), 0);
  EXPECT_EQ(g_document.scan_known, 1);
  EXPECT_TRUE(errors().empty());
}

TEST_F(HeaderTest, MissingEohFailsTheHeader) {
  EXPECT_EQ(read("#GEFID= 1, 1, 0\r\n#COLUMN= 1\r\n#COLUMNINFO= 1, m, x, 1\r\n1 2 3\r\n"), 0);
  EXPECT_EQ(find(10)[4], 2);
  EXPECT_EQ(find(37)[4], 1); // level of what went wrong before, the owner half included
}

TEST_F(HeaderTest, DatatypeDefaultsToReal8) {
  ASSERT_EQ(read(header(1)), 1);
  EXPECT_STREQ(entry_of(KW_DATATYPE).field[0].s, "REAL8");
  EXPECT_EQ(g_document.input_mode, GETAL); // the text mode of the parse is undone
}

TEST_F(HeaderTest, MissingColumninfoNamesTheColumn) {
  EXPECT_EQ(read("#GEFID= 1, 1, 0\r\n#COLUMN= 2\r\n#COLUMNINFO= 1, m, x, 1\r\n#EOH=\r\n1 2\r\n"),
            0);
  bool seen = false;
  for (std::size_t i = 0; i < errors().size(); ++i)
    if (message(int(i)) ==
        " GEF 100: In keyword COLUMNINFO, serial number 2, field 0 is missing.\n")
      seen = true;
  EXPECT_TRUE(seen);
}

TEST_F(HeaderTest, OverlongKeywordsAndFieldsAreCut) {
  reset_document(g_document);
  const std::string longname = "#" + std::string(1500, 'K') + "= 1\r\n";
  Split s(longname);
  EXPECT_EQ(s.result, 0);
  EXPECT_TRUE(has(13));
  EXPECT_TRUE(has(10));

  ASSERT_EQ(read(header(1, "#FILEOWNER= " + std::string(3000, 'x') + "\r\n") + "1\r\n"), 1);
  EXPECT_EQ(std::strlen(entry_of(KW_FILEOWNER).field[0].s), std::size_t(kFieldSize - 1));
}

TEST_F(HeaderTest, UnparsableLineStopsAndTheNextReadSucceeds) {
  // Nothing but blanks after `#` for a whole line: the header ends there.
  const std::string bad = "#GEFID= 1, 1, 0\r\n#COLUMN= 1\r\n#COLUMNINFO= 1, m, x, 1\r\n#" +
                          std::string(1100, ' ') + "\r\n1\r\n";
  EXPECT_EQ(read(bad), 1);
  EXPECT_TRUE(has(12));
  EXPECT_EQ(find(10)[4], 2);
  EXPECT_EQ(read(header(1) + "3\r\n"), 1);
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(value(1, 1), 3.0);
}

TEST_F(HeaderTest, FinderStaysWithinTheReadableBytes) {
  reset_document(g_document);
  char keyword[kFieldSize];
  const char text[] = "#COLUMN"; // no `=` before the end
  EXPECT_EQ(find_keyword(g_document, text, 7, keyword), kTextEnded);
  EXPECT_EQ(g_document.reading.stop, 0);
  const std::string nohash(1100, 'x');
  EXPECT_EQ(find_keyword(g_document, nohash.data(), 1100, keyword), kLineLimit);
  EXPECT_TRUE(has(11));
}

TEST_F(HeaderTest, MalformedInputNeverCrashes) {
  // Deterministic noise made of the characters the syntax cares about.
  const char alphabet[] = "#=,\\\n\r \t;!aE1.-\x1a\xef";
  std::mt19937 rng(12345);
  for (int round = 0; round < 300; ++round) {
    std::string body = round % 2 == 0 ? "#GEFID= 1, 1, 0\r\n" : "";
    const int length = int(rng() % 3000);
    for (int i = 0; i < length; ++i) body += alphabet[rng() % (sizeof alphabet - 1)];
    const int result = read(body);
    EXPECT_TRUE(result == 0 || result == 1);
    EXPECT_EQ(g_document.input_mode, GETAL);
    if (g_document.scan_known != 0) {
      EXPECT_EQ(g_library.column_texts.size(), std::size_t(g_document.scan_count));
    }
  }
}

} // namespace
} // namespace gef::test
