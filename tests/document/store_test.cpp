// SPDX-License-Identifier: MIT
// Keyword store: field conversion, presence bits, defaults, special rules and reports.
#include <cmath>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "support/document_fixture.h"

namespace gef::test {
namespace {

class StoreTest : public DocumentTest {
protected:
  void SetUp() override {
    DocumentTest::SetUp();
    reset_document(document()); // no keywords at all
  }
};

// Lines stored in order (split at '\n'), then the entry as stored(): given-field bits, then fields.
TEST_F(StoreTest, LinesStoreTheirFieldsAndMarkThoseGiven) {
  // clang-format off
  const struct {
    std::string lines;
    int code, index;
    const char* expected;
  } cases[] = {
      {"COLUMNINFO= 3, m, penetration length, 1", KW_COLUMNINFO, 2, "7: m, penetration length, 1"},
      {"COLUMNINFO= 3, m, , 1", KW_COLUMNINFO, 2, "5: m, , 1"}, // an empty text is not given
      // Defaults that are rules rather than table values; an empty line still stores the keyword.
      {"COLUMNAMPLIFIER= 2", KW_COLUMNAMPLIFIER, 1, "0: 0, 1, 1, 2147483647, -"},
      {"FIRSTSCAN=", KW_FIRSTSCAN, 0, "0: 1"},
      {"TIMECOLUMN= 5", KW_TIMECOLUMN, 0, "1: 5, 1, s"},
      {"QNTIME= 3, 2", KW_QNTIME, 0, "3: 3, 2, -"}, // the unit only where no code is given
      {"COLUMNSEPARATOR= ;x", KW_COLUMNSEPARATOR, 0, "1: ;"},
      {"RECORDSEPARATOR=", KW_RECORDSEPARATOR, 0, "1:  "},
      // Structure keywords are keyed by the keyword they name.
      {"STRUCTURETEXT= COLUMNINFO, a, b", KW_STRUCTURETEXT, KW_COLUMNINFO,
       "7: COLUMNINFO, a, b, -, -, -, -, -, -"},
      {"STRUCTURETYPE= nothing, 1, 2, 3, 4, 5, 6, 7, 8", KW_STRUCTURETYPE, 0,
       "255: nothing, 1, 2, 3, 4, 5, 6, 7, 8"},
      // Text conversions follow the C library; a non-empty text counts as given without a number.
      {"XYID= 31000 , 12.5e3, -0x10, nan, junk", KW_XYID, 0, "31: 31000, 12500, -16, nan, 0"},
      {"FILEDATE= 2001abc, -7, 99999999999", KW_FILEDATE, 0, "7: 2001, -7, 2147483647"},
      // Fields not given keep their previous texts but lose their bits.
      {"ANALYSISVAR= 1, 1e60, u, q\nANALYSISVAR= 1, +.5", KW_ANALYSISVAR, 0, "1: 0.5, u, q"},
      {"SCANTIME= 0.5\nSCANFREQUENCY= 4, 7", KW_SCANTIME, 0, "1: 0.5, 1"},
      {"SCANTIME= 0.5\nSCANFREQUENCY= 4, 7", KW_SCANTIME, 1, "3: 0.25, 7"},
  };
  // clang-format on
  for (const auto& c : cases) {
    reset_document(document());
    std::istringstream lines(c.lines);
    for (std::string l; std::getline(lines, l);) store_line(l);
    EXPECT_EQ(stored(c.code, c.index), c.expected) << c.lines;
  }
  store_line("ANALYSISVAR= 1, 1e60");
  EXPECT_TRUE(std::isinf(entry_of(KW_ANALYSISVAR, 0).field[0].f));
}

// A serial number out of range stores nothing.
TEST_F(StoreTest, SerialNumbersOutOfRangeAreReported) {
  EXPECT_EQ(store_line("COLUMNINFO= 251, m, x, 1"), 1);
  EXPECT_EQ(store_line("ANALYSISTEXT= 0, a"), 1);
  EXPECT_EQ(store_line("CHILD= , a"), 1);
  EXPECT_EQ(errors(),
            (std::vector<ErrorEntry>{{GEF_E_NUMBER_OUTSIDE_INTERVAL, KW_COLUMNINFO, 1, 250, 2},
                                     {GEF_E_NUMBER_OUTSIDE_INTERVAL, KW_ANALYSISTEXT, 1, 1500, 3},
                                     {GEF_E_NUMBER_OUTSIDE_INTERVAL, KW_CHILD, 1, 1500, 3}}));
  EXPECT_EQ(entry_of(KW_ANALYSISTEXT, 0).present, 0);
}

// Each keyword given one field more than its line holds reports the surplus error its table
// row names, with the count of fields allowed; an empty or missing field is no surplus.
TEST_F(StoreTest, SurplusFieldsAreReportedOnlyWhenGiven) {
  for (int code = 1; code < kKeywordSlots; ++code) {
    const KeywordInfo& kw = keyword_info(code);
    if (kw.name == nullptr) continue;
    reset_document(document());
    std::string line = std::string(kw.name) + "=";
    for (int k = 0; k < kw.line_fields; ++k) line += " 1,";
    store_line(line + " surplus");
    std::vector<ErrorEntry> found = errors_with(GEF_E_TOO_MANY_FIELDS);
    for (const ErrorEntry& e : errors_with(GEF_E_TOO_MANY_PARAMETERS)) found.push_back(e);
    if (kw.surplus == 0) {
      EXPECT_TRUE(found.empty()) << kw.name;
      continue;
    }
    ASSERT_EQ(found.size(), 1u) << kw.name;
    const int k = kw.line_fields, at = found[0].subject;
    const ErrorEntry want = kw.surplus == GEF_E_TOO_MANY_FIELDS
                                ? ErrorEntry{kw.surplus, at, k, 0, 3}
                                : ErrorEntry{kw.surplus, at, 1, k, 3};
    EXPECT_EQ(found[0], want) << kw.name;
  }
  reset_document(document());
  store_line("ZID= 31000, 1.5, , x");
  EXPECT_EQ(stored(KW_ZID), "3: 31000, 1.5, 0");
  store_line("ZID= 31000, 1.5, 0.01,");
  store_line("COLUMNVOID= 2, -999, 5");
  // Typed arguments count as given even when they designate an empty text.
  const void* args[kMaxFields] = {"owner", ""};
  store_keyword(document(), "FILEOWNER", args);
  EXPECT_EQ(error_codes(), (std::vector<int>{GEF_E_TOO_MANY_FIELDS, GEF_E_TOO_MANY_PARAMETERS,
                                             GEF_E_TOO_MANY_FIELDS}));
}

TEST_F(StoreTest, UnknownAndRepeatedKeywords) {
  const void* none[kMaxFields] = {};
  EXPECT_EQ(store_keyword(document(), "NOSUCHWORD", none), 0);
  store_line("GEFID= 1, 1, 0");
  store_line("gefid= 1, 0, 0");
  EXPECT_EQ(errors(), (std::vector<ErrorEntry>{{GEF_E_UNKNOWN_KEYWORD, 10000, 0, 0, 3},
                                               {GEF_E_REPEATED_KEYWORD, 10001, 0, 0, 1}}));
  EXPECT_EQ(message(0), " GEF 100: Unknown keyword NOSUCHWORD found.\n");
  EXPECT_EQ(message(1), " GEF 100: Repeated keyword encountered: gefid\n");
  EXPECT_EQ(entry_of(KW_GEFID).field[1].i, 1);
}

TEST_F(StoreTest, AppendedAreasFillInOrderAndDropWhenFull) {
  for (int i = 0; i < 1501; ++i) store_line("COMMENT= c" + std::to_string(i));
  EXPECT_STREQ(entry_of(KW_COMMENT, 0).field[0].s, "c0");
  EXPECT_STREQ(entry_of(KW_COMMENT, 1499).field[0].s, "c1499");
  EXPECT_TRUE(errors().empty());

  for (int i = 0; i < 251; ++i) store_line("QNVOID= 2, " + std::to_string(i) + ", x");
  EXPECT_EQ(entry_of(KW_QNVOID, 249).field[1].d, 249.0);
  EXPECT_EQ(errors().size(), 250u); // each stored one has a surplus field; the dropped one none
  EXPECT_EQ(errors()[249],
            (ErrorEntry{GEF_E_TOO_MANY_PARAMETERS, errors()[249].subject, 250, 2, 3}));
}

TEST_F(StoreTest, ScanFrequencyAndScanTimeShareSlots) {
  store_line("SCANFREQUENCY= 0");
  EXPECT_EQ(errors(), (std::vector<ErrorEntry>{{GEF_E_HEADER_NOTE, 10000, 0, 0, 4}}));
  EXPECT_EQ(message(0), " GEF 100: A scanfrequency of 0 Hz is silly. It is skipped.\n");
  EXPECT_EQ(entry_of(KW_SCANTIME, 0).present, 0);

  for (int i = 0; i < 250; ++i) store_line("SCANTIME= 1");
  store_line("SCANTIME= 2, 1, surplus");
  EXPECT_EQ(error_codes(), (std::vector<int>{GEF_E_HEADER_NOTE, GEF_E_TOO_MANY_PARAMETERS}));
  EXPECT_EQ(message(1),
            " GEF 100: Too many parameters (2) in keyword SCANTIME, serial number 251.\n");
}

// What the formats write is the data writer's test; here, what storing them reports.
TEST_F(StoreTest, ReportDataFormatNeedsTheColumnCountAndValidFields) {
  store_line("REPORTDATAFORMAT= F8.2");
  EXPECT_EQ(errors(),
            (std::vector<ErrorEntry>{{GEF_E_UNKNOWN_COLUMN_COUNT, errors()[0].subject, 0, 0, 1}}));
  EXPECT_STREQ(entry_of(KW_REPORTDATAFORMAT).field[0].s, "F8.2"); // kept, though not applied
  reset_document(document());
  store_line("COLUMN= 4");
  store_line("REPORTDATAFORMAT= I6 g8 X5 F%n");
  EXPECT_EQ(error_codes(),
            (std::vector<int>{GEF_E_INVALID_FORMAT_FIELD, GEF_E_INVALID_FORMAT_FIELD}));
}

// Names match by case-insensitive prefix in the library's search order; every name finds its own
// code first.
TEST(KeywordTable, NamesAndCodes) {
  // clang-format off
  const std::pair<const char*, int> names[] = {
      {"columninfo", KW_COLUMNINFO}, {"COL", KW_COLUMN}, {"COM", KW_COMPANYID}, {"CH", KW_CHILD},
      {"SCANFREQ", KW_SCANFREQUENCY}, {"COLUMNINFOS", 0}, {"", KW_GEFID}, {nullptr, 0},
      {"EOH", 0}};
  // clang-format on
  for (const auto& [name, code] : names) EXPECT_EQ(keyword_code(name), code) << name;
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
