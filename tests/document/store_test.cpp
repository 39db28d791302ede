// Keyword store: field conversion, presence bits, defaults, special rules and reports.
#include <climits>
#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "support/document_fixture.h"

namespace gef::test {
namespace {

class StoreTest : public DocumentTest {
protected:
  void SetUp() override {
    DocumentTest::SetUp();
    reset_document(g_document); // no keywords at all
  }
};

TEST_F(StoreTest, NumberedKeywordFillsItsEntryAndMarksGivenFields) {
  EXPECT_EQ(store_line("COLUMNINFO= 3, m, penetration length, 1"), 1);
  Entry& e = entry_of(KW_COLUMNINFO, 2);
  EXPECT_EQ(e.present, 1);
  EXPECT_EQ(e.bits, 7);
  EXPECT_STREQ(e.field[0].s, "m");
  EXPECT_STREQ(e.field[1].s, "penetration length");
  EXPECT_EQ(e.field[2].i, 1);
  EXPECT_TRUE(errors().empty());

  // An empty text is kept as an empty copy but does not count as given.
  store_line("COLUMNINFO= 3, m, , 1");
  EXPECT_EQ(e.bits, 5);
  ASSERT_NE(e.field[1].s, nullptr);
  EXPECT_STREQ(e.field[1].s, "");
}

TEST_F(StoreTest, SerialNumberOutOfRangeStoresNothing) {
  EXPECT_EQ(store_line("COLUMNINFO= 251, m, x, 1"), 1);
  EXPECT_EQ(store_line("ANALYSISTEXT= 0, a"), 1);
  EXPECT_EQ(store_line("CHILD= , a"), 1);
  ASSERT_EQ(errors().size(), 3u);
  EXPECT_EQ(errors()[0], (ErrorEntry{36, KW_COLUMNINFO, 1, 250, 2}));
  EXPECT_EQ(errors()[1], (ErrorEntry{36, KW_ANALYSISTEXT, 1, 1500, 3}));
  EXPECT_EQ(errors()[2], (ErrorEntry{36, KW_CHILD, 1, 1500, 3}));
  EXPECT_EQ(message(0),
            " GEF 100: The number for keyword COLUMNINFO is outside the interval (1, 250).\n");
  EXPECT_EQ(entry_of(KW_ANALYSISTEXT, 0).present, 0);
}

TEST_F(StoreTest, SurplusFieldsAreReportedOnlyWhenGiven) {
  store_line("ZID= 31000, 1.5, , x");
  Entry& zid = entry_of(KW_ZID);
  EXPECT_EQ(zid.field[0].i, 31000);
  EXPECT_EQ(zid.field[1].d, 1.5);
  EXPECT_EQ(zid.field[2].d, 0.0);
  EXPECT_EQ(zid.bits, 3);
  ASSERT_EQ(errors().size(), 1u);
  EXPECT_EQ(errors()[0][0], 34);
  EXPECT_EQ(errors()[0][2], 3);
  EXPECT_EQ(message(0), " GEF 100: In keyword ZID more parameters than allowed (=3) are found.\n");

  store_line("ZID= 31000, 1.5, 0.01,");
  EXPECT_EQ(errors().size(), 1u);

  // Typed arguments count as given even when they designate an empty text.
  const void* args[kMaxFields] = {"owner", ""};
  store_keyword(g_document, "FILEOWNER", args);
  ASSERT_EQ(errors().size(), 2u);
  EXPECT_EQ(errors()[1][0], 34);
}

TEST_F(StoreTest, EveryKeywordReportsTheSurplusErrorOfItsTableRow) {
  // The keywords whose surplus error names a serial or slot number, and those never checked.
  const std::set<int> numbered = {6,  8,  9,  11, 12, 14, 21, 22, 23, 24, 27, 32,
                                  33, 35, 36, 44, 45, 48, 49, 57, 58, 62, 63};
  const std::set<int> unchecked = {KW_DATACONVERSION, KW_STRUCTURETEXT, KW_STRUCTURETYPE};
  for (int code = 1; code < kKeywordSlots; ++code) {
    const KeywordInfo& kw = keyword_info(code);
    if (kw.name == nullptr) continue;
    const int expected = unchecked.count(code) != 0 ? 0 : numbered.count(code) != 0 ? 56 : 34;
    EXPECT_EQ(kw.surplus, expected) << kw.name;
    reset_document(g_document);
    std::string line = std::string(kw.name) + "=";
    for (int k = 0; k < kw.line_fields; ++k) line += " 1,";
    const std::size_t before = errors().size();
    store_line(line + " surplus");
    std::vector<ErrorEntry> found;
    for (std::size_t i = before; i < errors().size(); ++i)
      if (errors()[i][0] == 34 || errors()[i][0] == 56) found.push_back(errors()[i]);
    if (expected == 0) {
      EXPECT_TRUE(found.empty()) << kw.name;
      continue;
    }
    ASSERT_EQ(found.size(), 1u) << kw.name;
    const ErrorEntry want = expected == 34 ? ErrorEntry{34, found[0][1], kw.line_fields, 0, 3}
                                           : ErrorEntry{56, found[0][1], 1, kw.line_fields, 3};
    EXPECT_EQ(found[0], want) << kw.name;
  }
  store_line("COMMENT= a, b");
  EXPECT_EQ(message(int(errors().size()) - 1),
            " GEF 100: In keyword COMMENT more parameters than allowed (=1) are found.\n");
  store_line("COLUMNVOID= 2, -999, 5");
  EXPECT_EQ(message(int(errors().size()) - 1),
            " GEF 100: Too many parameters (2) in keyword COLUMNVOID, serial number 2.\n");
}

TEST_F(StoreTest, UnknownAndRepeatedKeywords) {
  const void* none[kMaxFields] = {};
  EXPECT_EQ(store_keyword(g_document, "NOSUCHWORD", none), 0);
  store_line("GEFID= 1, 1, 0");
  store_line("gefid= 1, 0, 0");
  ASSERT_EQ(errors().size(), 2u);
  EXPECT_EQ(errors()[0][0], 4);
  EXPECT_EQ(errors()[0][4], 3);
  EXPECT_EQ(message(0), " GEF 100: Unknown keyword NOSUCHWORD found.\n");
  EXPECT_EQ(errors()[1][0], 24);
  EXPECT_EQ(errors()[1][4], 1);
  EXPECT_EQ(message(1), " GEF 100: Repeated keyword encountered: gefid\n");
  EXPECT_EQ(entry_of(KW_GEFID).field[1].i, 1);
}

TEST_F(StoreTest, DefaultsOfFieldsNotGiven) {
  store_line("COLUMNAMPLIFIER= 2");
  Entry& amp = entry_of(KW_COLUMNAMPLIFIER, 1);
  EXPECT_EQ(amp.field[0].f, 0.0f);
  EXPECT_EQ(amp.field[1].f, 1.0f);
  EXPECT_EQ(amp.field[2].i, 1);
  EXPECT_EQ(amp.field[3].i, INT_MAX);
  EXPECT_EQ(amp.bits, 0);
  EXPECT_EQ(amp.present, 1);

  store_line("FIRSTSCAN=");
  EXPECT_EQ(entry_of(KW_FIRSTSCAN).field[0].i, 1);
  EXPECT_EQ(entry_of(KW_FIRSTSCAN).present, 1);

  store_line("TIMECOLUMN= 5");
  Entry& tc = entry_of(KW_TIMECOLUMN);
  EXPECT_EQ(tc.field[0].i, 5);
  EXPECT_EQ(tc.field[1].i, 1);
  EXPECT_STREQ(tc.field[2].s, "s");
  EXPECT_EQ(tc.bits, 1);
  store_line("QNTIME= 3, 2"); // a timecode given: no unit is supplied
  EXPECT_EQ(entry_of(KW_QNTIME).field[2].s, nullptr);
  EXPECT_EQ(entry_of(KW_QNTIME).bits, 3);
}

TEST_F(StoreTest, SeparatorsTakeOneCharacterAndABlankForNothing) {
  store_line("COLUMNSEPARATOR= ;x");
  store_line("RECORDSEPARATOR=");
  EXPECT_EQ(entry_of(KW_COLUMNSEPARATOR).field[0].c, ';');
  EXPECT_EQ(entry_of(KW_COLUMNSEPARATOR).bits, 1);
  EXPECT_EQ(entry_of(KW_RECORDSEPARATOR).field[0].c, ' ');
  EXPECT_EQ(entry_of(KW_RECORDSEPARATOR).bits, 1);
}

TEST_F(StoreTest, AppendedAreasFillInOrderAndDropWhenFull) {
  for (int i = 0; i < 1501; ++i) store_line("COMMENT= c" + std::to_string(i));
  EXPECT_STREQ(entry_of(KW_COMMENT, 0).field[0].s, "c0");
  EXPECT_STREQ(entry_of(KW_COMMENT, 1499).field[0].s, "c1499");
  EXPECT_TRUE(errors().empty());

  for (int i = 0; i < 251; ++i) store_line("QNVOID= 2, " + std::to_string(i) + ", x");
  EXPECT_EQ(entry_of(KW_QNVOID, 249).field[1].d, 249.0);
  EXPECT_EQ(errors().size(), 250u); // each stored one has a surplus field; the dropped one none
  EXPECT_EQ(errors()[249], (ErrorEntry{56, errors()[249][1], 250, 2, 3}));
}

TEST_F(StoreTest, ScanFrequencyAndScanTimeShareSlots) {
  store_line("SCANFREQUENCY= 0");
  ASSERT_EQ(errors().size(), 1u);
  EXPECT_EQ(errors()[0][0], 57);
  EXPECT_EQ(errors()[0][4], 4);
  EXPECT_EQ(message(0), " GEF 100: A scanfrequency of 0 Hz is silly. It is skipped.\n");
  EXPECT_EQ(entry_of(KW_SCANTIME, 0).present, 0);

  store_line("SCANTIME= 0.5");
  store_line("SCANFREQUENCY= 4, 7");
  EXPECT_EQ(entry_of(KW_SCANTIME, 0).field[0].f, 0.5f);
  EXPECT_EQ(entry_of(KW_SCANTIME, 0).field[1].i, 1);
  EXPECT_EQ(entry_of(KW_SCANTIME, 1).field[0].f, 0.25f);
  EXPECT_EQ(entry_of(KW_SCANTIME, 1).field[1].i, 7);
  EXPECT_EQ(entry_of(KW_SCANTIME, 1).bits, 3);

  for (int i = 2; i < 250; ++i) store_line("SCANTIME= 1");
  store_line("SCANTIME= 2, 1, surplus");
  ASSERT_EQ(errors().size(), 2u);
  EXPECT_EQ(errors()[1][0], 56);
  EXPECT_EQ(errors()[1][2], 251);
  EXPECT_EQ(message(1),
            " GEF 100: Too many parameters (2) in keyword SCANTIME, serial number 251.\n");
}

TEST_F(StoreTest, StructureKeywordsAreKeyedByTheKeywordTheyName) {
  store_line("STRUCTURETEXT= COLUMNINFO, a, b");
  Entry& e = entry_of(KW_STRUCTURETEXT, KW_COLUMNINFO);
  EXPECT_STREQ(e.field[0].s, "COLUMNINFO");
  EXPECT_STREQ(e.field[1].s, "a");
  EXPECT_STREQ(e.field[2].s, "b");
  EXPECT_EQ(e.bits, 7);
  store_line("STRUCTURETYPE= nothing, 1, 2, 3, 4, 5, 6, 7, 8");
  Entry& none = entry_of(KW_STRUCTURETYPE, 0);
  EXPECT_EQ(none.bits, 0xFF);
  EXPECT_STREQ(none.field[8].s, "8");
  EXPECT_TRUE(errors().empty());
}

TEST_F(StoreTest, ReportDataFormatBuildsOneFormatPerColumn) {
  store_line("COLUMN= 4");
  store_line("REPORTDATAFORMAT= F8.2 e12.4");
  EXPECT_STREQ(g_document.out_format[0], "%8.2lf");
  for (int c = 1; c < 4; ++c) EXPECT_STREQ(g_document.out_format[c], "%12.4le");
  EXPECT_EQ(g_document.out_flags[3], 3);
  EXPECT_EQ(g_document.out_flags[4], 0);

  // Every store starts afresh; anything that is not a plain numeric format becomes %g.
  store_line("REPORTDATAFORMAT= I6 g8 X5 F%n");
  EXPECT_STREQ(g_document.out_format[0], "%6.0lf");
  EXPECT_STREQ(g_document.out_format[1], "%8lg");
  EXPECT_STREQ(g_document.out_format[2], "%g");
  EXPECT_STREQ(g_document.out_format[3], "%g");
  EXPECT_EQ(error_codes(), (std::vector<int>{23, 23}));
  EXPECT_EQ(message(0), " GEF 100: Invalid format field in reportdataformat: X5\n");

  store_line("REPORTDATAFORMAT= I6.2 F1234567890");
  EXPECT_STREQ(g_document.out_format[0], "%6.0lf");
  EXPECT_STREQ(g_document.out_format[1], "%g");
}

TEST_F(StoreTest, ReportDataFormatNeedsTheColumnCount) {
  store_line("REPORTDATAFORMAT= F8.2");
  EXPECT_EQ(error_codes(), (std::vector<int>{35}));
  EXPECT_EQ(errors()[0][4], 1);
  EXPECT_STREQ(entry_of(KW_REPORTDATAFORMAT).field[0].s, "F8.2");
  EXPECT_EQ(g_document.out_flags[0], 0);
}

TEST_F(StoreTest, TextModeConversionsFollowTheCLibrary) {
  store_line("XYID= 31000 , 12.5e3, -0x10, nan, junk");
  Entry& xy = entry_of(KW_XYID);
  EXPECT_EQ(xy.field[1].d, 12500.0);
  EXPECT_EQ(xy.field[2].d, -16.0);
  EXPECT_TRUE(xy.field[3].d != xy.field[3].d);
  EXPECT_EQ(xy.field[4].d, 0.0);
  EXPECT_EQ(xy.bits, 0x1F); // a non-empty text counts as given even without a number

  store_line("FILEDATE= 2001abc, -7, 99999999999");
  Entry& date = entry_of(KW_FILEDATE);
  EXPECT_EQ(date.field[0].i, 2001);
  EXPECT_EQ(date.field[1].i, -7);
  EXPECT_EQ(date.field[2].i, INT_MAX);

  store_line("ANALYSISVAR= 1, 1e60, u, q");
  EXPECT_TRUE(std::isinf(entry_of(KW_ANALYSISVAR, 0).field[0].f));
  store_line("ANALYSISVAR= 1, +.5");
  EXPECT_EQ(entry_of(KW_ANALYSISVAR, 0).field[0].f, 0.5f);
  // Fields not given keep their previous texts but lose their bits.
  EXPECT_STREQ(entry_of(KW_ANALYSISVAR, 0).field[1].s, "u");
  EXPECT_EQ(entry_of(KW_ANALYSISVAR, 0).bits, 1);
}

TEST_F(StoreTest, InputModeFromText) {
  set_input_mode(g_document, "string");
  EXPECT_EQ(g_document.input_mode, STRING);
  set_input_mode(g_document, "other");
  EXPECT_EQ(g_document.input_mode, STRING);
  set_input_mode(g_document, "Getal");
  EXPECT_EQ(g_document.input_mode, GETAL);
}

TEST(KeywordTable, NamesAndCodes) {
  EXPECT_EQ(keyword_code("columninfo"), KW_COLUMNINFO);
  EXPECT_EQ(keyword_code("COL"), KW_COLUMN);
  EXPECT_EQ(keyword_code("COM"), KW_COMPANYID);
  EXPECT_EQ(keyword_code("CH"), KW_CHILD);
  EXPECT_EQ(keyword_code("SCANFREQ"), KW_SCANFREQUENCY);
  EXPECT_EQ(keyword_code("COLUMNINFOS"), 0);
  EXPECT_EQ(keyword_code(""), KW_GEFID);
  EXPECT_EQ(keyword_code(nullptr), 0);
  EXPECT_EQ(keyword_code("EOH"), 0);
  for (int code = 1; code < kKeywordSlots; ++code) {
    if (code == 20) continue;
    ASSERT_NE(keyword_info(code).name, nullptr) << code;
    EXPECT_EQ(keyword_code(keyword_info(code).name), code);
  }
  EXPECT_STREQ(keyword_name(KW_SCANFREQUENCY), "SCANFREQ");
  EXPECT_STREQ(keyword_name(100), "KOLOMMEN");
  EXPECT_STREQ(keyword_name(101), "SCANS");
  EXPECT_EQ(keyword_name(20), nullptr);
}

} // namespace
} // namespace gef::test
