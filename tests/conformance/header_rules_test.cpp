// test_gef with the header rules: exact findings and their order, versions, dates, formats.
#include "conformance/header_rules.h"
#include "support/document_fixture.h"

namespace gef::test {
namespace {

class HeaderRulesTest : public DocumentTest {
protected:
  // A complete, valid header of the given GEFID and two columns.
  void valid_header(int release = 1, int version = 1, int update = 0) {
    reset_document(g_document);
    // The setter refuses updates; a file's GEFID line is stored as it stands.
    store_line(("GEFID= " + std::to_string(release) + ", " + std::to_string(version) + ", " +
                std::to_string(update))
                   .c_str());
    set_column(2);
    set_columninfo(1, "m", "penetration length", 1);
    set_columninfo(2, "MPa", "cone resistance", 2);
    set_fileowner("Lab");
    set_filedate(2004, 2, 29);
    set_projectid("CPT", "17", "-");
  }
};

TEST_F(HeaderRulesTest, EmptyDocument) {
  reset_document(g_document);
  EXPECT_EQ(test_gef("HEADER"), 0);
  EXPECT_EQ(errors(), (std::vector<ErrorEntry>{{9, KW_GEFID, 0, 0, 1},
                                               {43, KW_COLUMN, 0, 0, 1},
                                               {43, KW_FILEOWNER, 0, 0, 1},
                                               {43, KW_FILEDATE, 0, 0, 1},
                                               {43, KW_PROJECTID, 0, 0, 1}}));
  EXPECT_EQ(is_plotable(), 0);
}

TEST_F(HeaderRulesTest, ValidHeaderPassesInAnyCase) {
  valid_header();
  EXPECT_EQ(is_plotable(), 0); // not checked yet
  for (const char* name : {"HEADER", "header", "Header", "TAAL"}) EXPECT_EQ(test_gef(name), 1);
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(is_plotable(), 1);
  reset_document(g_document);
  EXPECT_EQ(is_plotable(), 0);
}

TEST_F(HeaderRulesTest, MissingQuantityNumberFailsButIsInformation) {
  valid_header();
  store_line("COLUMNINFO= 2, MPa, cone resistance");
  EXPECT_EQ(test_gef("HEADER"), 0);
  EXPECT_EQ(errors(), (std::vector<ErrorEntry>{{43, KW_COLUMNINFO, 2, 3, 5}}));
  EXPECT_EQ(is_plotable(), 0);
}

TEST_F(HeaderRulesTest, ManyBrokenRulesAreAllRecordedInOrder) {
  valid_header();
  store_line("FILEDATE= 2001, 2");                // day missing, and no valid date
  store_line("COLUMNMINMAX= 5, 1, 2");            // beyond COLUMN
  store_line("COLUMNVOID= 1");                    // no value
  store_line("COLUMNSEPARATOR= .");               // reserved
  store_line("RECORDSEPARATOR= .");               // reserved and equal
  store_line("PROCEDURECODE= GEF-CPT-Report, 1"); // version and update missing
  store_line("MEASUREMENTVAR= 3, , m");           // value missing
  store_line("REPORTDATAFORMAT= F10.3 X5");
  store_line("XYID= 31000, 1, 2, 0.1");
  store_line("STARTDATE= 99, 13, 1");
  store_line("STARTTIME= 12, 60, 60.5");
  store_line("TIMECOLUMN= 3");
  store_line("CHILD= 1, ref, 1.5");
  store_line("QNVOID= 7, -1"); // not allowed with 1.1.0: named only
  const std::size_t before = errors().size();
  EXPECT_EQ(test_gef("HEADER"), 0);
  const auto all = errors();
  const std::vector<ErrorEntry> found(all.begin() + long(before), all.end());
  auto slot = [&](std::size_t i) { return found.at(i)[1]; };
  EXPECT_EQ(found, (std::vector<ErrorEntry>{
                       {43, KW_FILEDATE, 0, 3, 1},
                       {60, KW_FILEDATE, 0, 0, 2},
                       {45, KW_COLUMNMINMAX, 5, 2, 4},
                       {43, KW_COLUMNVOID, 1, 1, 2},
                       {49, KW_COLUMNSEPARATOR, '.', 0, 2},
                       {49, KW_RECORDSEPARATOR, '.', 0, 2},
                       {50, slot(6), '.', '.', 2},
                       {43, KW_PROCEDURECODE, 0, 3, 3},
                       {43, KW_PROCEDURECODE, 0, 4, 3},
                       {43, KW_MEASUREMENTVAR, 3, 1, 3},
                       {23, slot(10), 0, 0, 3},
                       {42, slot(11), 0, 0, 3},
                       {42, slot(12), 0, 0, 4},
                       {36, KW_TIMECOLUMN, 1, 2, 2},
                       {59, KW_STARTDATE, 99, 0, 3},
                       {51, KW_STARTDATE, 13, 0, 2},
                       {60, KW_STARTDATE, 0, 0, 2},
                       {54, KW_STARTTIME, 60, 0, 3},
                       {55, KW_STARTTIME, 61, 0, 3},
                       {46, KW_CHILD, 0, 0, 3},
                       {61, KW_QNVOID, 0, 1, 5},
                   }));
  EXPECT_EQ(message(int(before) + 10), " GEF 100: Invalid format field in reportdataformat: X5\n");
  EXPECT_EQ(message(int(before) + 11),
            " GEF 100: Het rapportdataformatveld bevat ongeldige formats\n");
  EXPECT_EQ(message(int(before) + 20),
            " GEF 110: Keyword QNVOID is not supported with this GEFID.\n");
  EXPECT_EQ(is_plotable(), 1); // only the completeness check decides
}

TEST_F(HeaderRulesTest, ColumnsBeyondTheStorageLackTheirInfo) {
  valid_header();
  store_line("COLUMN= 252");
  for (int c = 3; c <= 250; ++c) set_columninfo(c, "-", "x", c);
  EXPECT_EQ(test_gef("HEADER"), 0);
  EXPECT_EQ(errors(), (std::vector<ErrorEntry>{{43, KW_COLUMNINFO, 251, 0, 1},
                                               {43, KW_COLUMNINFO, 252, 0, 1}}));
  store_line("COLUMN= 2000000000"); // a silly count costs no time
  EXPECT_EQ(test_gef("HEADER"), 0);
}

TEST_F(HeaderRulesTest, VersionGuardsAcrossGefids) {
  // QNVOID alone: 1.1.0 only names it (and passes); 2.0.0 checks its quantity number.
  for (int update : {0, 2}) { // producers write 1.1.2 for the 1.1.0 format
    valid_header(1, 1, update);
    store_line("QNVOID= 2, -1");
    EXPECT_EQ(test_gef("HEADER"), 1);
    EXPECT_EQ(error_codes(), (std::vector<int>{61}));
  }

  valid_header(2, 0);
  store_line("QNVOID= 9, -1");
  store_line("QNMINMAX= 2, 0");
  store_line("CHILD= 1");
  store_line("CHILD= 2, , 1");
  EXPECT_EQ(test_gef("HEADER"), 0);
  EXPECT_EQ(errors(), (std::vector<ErrorEntry>{{48, KW_CHILD, 1, 1, 2},
                                               {48, KW_CHILD, 2, 1, 2},
                                               {62, KW_QNVOID, 9, 1, 3},
                                               {63, KW_QNMINMAX, 2, 3, 3}}));

  // EQUIPMENT is a 1.x keyword; CHILD is not allowed in 1.0.0.
  valid_header(1, 0);
  store_line("EQUIPMENT=");
  store_line("CHILD= 1, x");
  EXPECT_EQ(test_gef("HEADER"), 0);
  EXPECT_EQ(errors(),
            (std::vector<ErrorEntry>{{43, KW_EQUIPMENT, 0, 1, 3}, {61, KW_CHILD, 0, 1, 5}}));
}

TEST_F(HeaderRulesTest, BinaryDataNeedsTypeAndByteOrder) {
  valid_header();
  set_dataformat("binary");
  EXPECT_EQ(test_gef("HEADER"), 0);
  EXPECT_EQ(error_codes(), (std::vector<int>{44}));
  EXPECT_EQ(is_plotable(), 1);

  valid_header();
  set_dataformat("BINARY");
  set_datatype("REAL16");
  set_os("DOS");
  EXPECT_EQ(test_gef("HEADER"), 0);
  ASSERT_EQ(errors().size(), 2u);
  EXPECT_EQ(message(0), " GEF 100: Illegal datatype\n");
  EXPECT_EQ(message(1), " GEF 100: Illegal datatype: REAL16\n");
}

TEST_F(HeaderRulesTest, UnknownRuleSet) {
  valid_header();
  EXPECT_EQ(test_gef("SOMETHING"), 0);
  EXPECT_EQ(test_gef(nullptr), 0);
  EXPECT_EQ(errors(), (std::vector<ErrorEntry>{{42, errors()[0][1], 0, 0, 4},
                                               {42, errors()[1][1], 0, 0, 4}}));
  EXPECT_EQ(message(0), " GEF 100: This feature can not be tested.\n\n");
}

TEST(HeaderRuleParts, DatesFollowTheCalendar) {
  const struct {
    int y, m, d;
    bool valid;
  } cases[] = {{2001, 2, 29, false}, {2000, 2, 29, true},  {1900, 2, 29, false},
               {1996, 2, 29, true},  {2001, 4, 31, false}, {2001, 12, 31, true},
               {2001, 0, 1, false},  {2001, 1, 0, false}};
  for (const auto& c : cases) EXPECT_EQ(valid_date(c.y, c.m, c.d), c.valid) << c.y << c.m << c.d;
}

TEST_F(HeaderRulesTest, ReportDataFormatFields) {
  valid_header();
  set_reportdataformat("  F10.3 E12.4 I5  ");
  EXPECT_TRUE(check_report_data_format(g_document));
  const std::string long_field = "F" + std::string(20, '1');
  set_reportdataformat((long_field + " f%s").c_str());
  const std::size_t before = errors().size();
  EXPECT_FALSE(check_report_data_format(g_document));
  ASSERT_EQ(errors().size(), before + 2);
  EXPECT_EQ(message(int(before)), " GEF 100: Invalid format field in reportdataformat: " +
                                      long_field.substr(0, 15) + "\n");
  EXPECT_EQ(message(int(before) + 1), " GEF 100: Invalid format field in reportdataformat: f%s\n");
}

TEST_F(HeaderRulesTest, SeparatorsThatAreFine) {
  valid_header();
  set_columnseparator(';');
  set_recordseparator('!');
  EXPECT_EQ(test_gef("HEADER"), 1);
  set_columnseparator('5');
  EXPECT_EQ(test_gef("HEADER"), 0);
  EXPECT_EQ(error_codes(), (std::vector<int>{49}));
}

} // namespace
} // namespace gef::test
