// SPDX-License-Identifier: MIT
// test_gef with the header rules: exact findings and their order, versions, dates, formats.
#include "conformance/findings.h"
#include "conformance/header_rules.h"

namespace gef::test {
namespace {

class HeaderRulesTest : public DocumentTest {
protected:
  // A complete, valid header of the given GEFID and two columns.
  void valid_header(int release = 1, int version = 1, int update = 0) {
    reset_document(document());
    // The setter refuses updates; a file's GEFID line is stored as it stands.
    store_line("GEFID= " + std::to_string(release) + ", " + std::to_string(version) + ", " +
               std::to_string(update));
    set_column(2);
    set_columninfo(1, "m", "penetration length", 1);
    set_columninfo(2, "MPa", "cone resistance", 2);
    set_fileowner("Lab");
    set_filedate(2004, 2, 29);
    set_projectid("CPT", "17", "-");
  }
};

TEST_F(HeaderRulesTest, EmptyAndValidHeaders) {
  reset_document(document());
  EXPECT_EQ(test_gef("HEADER"), 0);
  EXPECT_EQ(errors(), (std::vector<ErrorEntry>{{GEF_E_GEFID_MISSING, KW_GEFID, 0, 0, 1},
                                               {GEF_E_REQUIRED_MISSING, KW_COLUMN, 0, 0, 1},
                                               {GEF_E_REQUIRED_MISSING, KW_FILEOWNER, 0, 0, 1},
                                               {GEF_E_REQUIRED_MISSING, KW_FILEDATE, 0, 0, 1},
                                               {GEF_E_REQUIRED_MISSING, KW_PROJECTID, 0, 0, 1}}));
  EXPECT_EQ(is_plotable(), 0);
  valid_header();
  EXPECT_EQ(is_plotable(), 0); // not checked yet
  for (const char* name : {"HEADER", "header", "TAAL"}) EXPECT_EQ(test_gef(name), 1);
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(is_plotable(), 1);
  reset_document(document());
  EXPECT_EQ(is_plotable(), 0);
}

TEST_F(HeaderRulesTest, EachGefidAndLineGivesItsFindings) {
  struct Case {
    int release, version, update;
    std::vector<const char*> lines; // stored over the valid header
    int result, plotable;
    std::vector<ErrorEntry> want;
  };
  // clang-format off
  const Case cases[] = {
      // A missing quantity number fails, as information, and makes the file unplotable.
      {1, 1, 0, {"COLUMNINFO= 2, MPa, cone resistance"}, 0, 0,
       {{GEF_E_REQUIRED_MISSING, KW_COLUMNINFO, 2, 3, 5}}},
      // QNVOID alone: 1.1.0 only names it (and passes); producers write 1.1.2 for 1.1.0.
      {1, 1, 0, {"QNVOID= 2, -1"}, 1, 1, {{GEF_E_KEYWORD_NOT_SUPPORTED, KW_QNVOID, 0, 1, 5}}},
      {1, 1, 2, {"QNVOID= 2, -1"}, 1, 1, {{GEF_E_KEYWORD_NOT_SUPPORTED, KW_QNVOID, 0, 1, 5}}},
      // 2.0.0 checks the quantity numbers and the fields it requires.
      {2, 0, 0, {"QNVOID= 9, -1", "QNMINMAX= 2, 0", "CHILD= 1", "CHILD= 2, , 1"}, 0, 1,
       {{GEF_E_REQUIRED_MISSING_110, KW_CHILD, 1, 1, 2},
        {GEF_E_REQUIRED_MISSING_110, KW_CHILD, 2, 1, 2},
        {GEF_E_QUANTITY_NOT_IN_HEADER, KW_QNVOID, 9, 1, 3},
        {GEF_E_FIELD_MISSING_200, KW_QNMINMAX, 2, 3, 3}}},
      // EQUIPMENT is a 1.x keyword; CHILD is not allowed in 1.0.0.
      {1, 0, 0, {"EQUIPMENT=", "CHILD= 1, x"}, 0, 1,
       {{GEF_E_REQUIRED_MISSING, KW_EQUIPMENT, 0, 1, 3},
        {GEF_E_KEYWORD_NOT_SUPPORTED, KW_CHILD, 0, 1, 5}}},
      {1, 1, 0, {"DATAFORMAT= binary"}, 0, 1, {{GEF_E_BINARY_NEEDS_TYPE_AND_OS, KW_DATATYPE, 0, 0, 1}}},
      {1, 1, 0, {"COLUMNSEPARATOR= ;", "RECORDSEPARATOR= !"}, 1, 1, {}},
      {1, 1, 0, {"COLUMNSEPARATOR= 5"}, 0, 1,
       {{GEF_E_INVALID_SEPARATOR, KW_COLUMNSEPARATOR, '5', 0, 2}}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines[0]);
    valid_header(c.release, c.version, c.update);
    for (const char* line : c.lines) store_line(line);
    EXPECT_EQ(test_gef("HEADER"), c.result);
    EXPECT_EQ(entries_since(0), c.want);
    EXPECT_EQ(is_plotable(), c.plotable);
  }
}

TEST_F(HeaderRulesTest, ManyBrokenRulesAreAllRecordedInOrder) {
  valid_header();
  for (const char* line :
       {"FILEDATE= 2001, 2",                // day missing, and no valid date
        "COLUMNMINMAX= 5, 1, 2",            // beyond COLUMN
        "COLUMNVOID= 1",                    // no value
        "COLUMNSEPARATOR= .",               // reserved
        "RECORDSEPARATOR= .",               // reserved and equal
        "PROCEDURECODE= GEF-CPT-Report, 1", // version and update missing
        "MEASUREMENTVAR= 3, , m",           // value missing
        "REPORTDATAFORMAT= F10.3 X5", "XYID= 31000, 1, 2, 0.1", "STARTDATE= 99, 13, 1",
        "STARTTIME= 12, 60, 60.5", "TIMECOLUMN= 3", "CHILD= 1, ref, 1.5",
        "QNVOID= 7, -1"}) // not allowed with 1.1.0: named only
    store_line(line);
  const std::size_t before = errors().size();
  EXPECT_EQ(test_gef("HEADER"), 0);
  const std::vector<ErrorEntry> want = {
      {GEF_E_REQUIRED_MISSING, KW_FILEDATE, 0, 3, 1},
      {GEF_E_DATE_INCORRECT, KW_FILEDATE, 0, 0, 2},
      {GEF_E_SERIAL_NOT_ALLOWED, KW_COLUMNMINMAX, 5, 2, 4},
      {GEF_E_REQUIRED_MISSING, KW_COLUMNVOID, 1, 1, 2},
      {GEF_E_INVALID_SEPARATOR, KW_COLUMNSEPARATOR, '.', 0, 2},
      {GEF_E_INVALID_SEPARATOR, KW_RECORDSEPARATOR, '.', 0, 2},
      {GEF_E_SEPARATORS_EQUAL, 0, '.', '.', 2},
      {GEF_E_REQUIRED_MISSING, KW_PROCEDURECODE, 0, 3, 3},
      {GEF_E_REQUIRED_MISSING, KW_PROCEDURECODE, 0, 4, 3},
      {GEF_E_REQUIRED_MISSING, KW_MEASUREMENTVAR, 3, 1, 3},
      {GEF_E_INVALID_FORMAT_FIELD, 0, 0, 0, 3},
      {GEF_E_NOTE, 0, 0, 0, 3},
      {GEF_E_NOTE, 0, 0, 0, 4},
      {GEF_E_NUMBER_OUTSIDE_INTERVAL, KW_TIMECOLUMN, 1, 2, 2},
      {GEF_E_YEAR_NOT_Y2K, KW_STARTDATE, 99, 0, 3},
      {GEF_E_MONTH_OUT_OF_RANGE, KW_STARTDATE, 13, 0, 2},
      {GEF_E_DATE_INCORRECT, KW_STARTDATE, 0, 0, 2},
      {GEF_E_MINUTE_OUT_OF_RANGE, KW_STARTTIME, 60, 0, 3},
      {GEF_E_SECOND_OUT_OF_RANGE, KW_STARTTIME, 61, 0, 3},
      {GEF_E_VALUE_UNIT_QUANTITY_ALL_OR_NONE, KW_CHILD, 0, 0, 3},
      {GEF_E_KEYWORD_NOT_SUPPORTED, KW_QNVOID, 0, 1, 5},
  };
  EXPECT_EQ(entries_since(before), want);
  EXPECT_EQ(message(int(before) + 10), " GEF 100: Invalid format field in reportdataformat: X5\n");
  EXPECT_EQ(message(int(before) + 11),
            " GEF 100: Het rapportdataformatveld bevat ongeldige formats\n");
  EXPECT_EQ(is_plotable(), 1); // only the completeness check decides
}

TEST_F(HeaderRulesTest, ColumnsBeyondTheStorageLackTheirInfo) {
  valid_header();
  store_line("COLUMN= 252");
  for (int c = 3; c <= 250; ++c) set_columninfo(c, "-", "x", c);
  EXPECT_EQ(test_gef("HEADER"), 0);
  EXPECT_EQ(errors(),
            (std::vector<ErrorEntry>{{GEF_E_REQUIRED_MISSING, KW_COLUMNINFO, 251, 0, 1},
                                     {GEF_E_REQUIRED_MISSING, KW_COLUMNINFO, 252, 0, 1}}));
  store_line("COLUMN= 2000000000"); // a silly count costs no time
  EXPECT_EQ(test_gef("HEADER"), 0);
}

TEST_F(HeaderRulesTest, MessagesOfTypesFormatsAndUnknownRuleSets) {
  valid_header();
  set_dataformat("BINARY");
  set_datatype("REAL16");
  set_os("DOS");
  EXPECT_EQ(test_gef("HEADER"), 0);
  set_reportdataformat("  F10.3 E12.4 I5  ");
  EXPECT_TRUE(check_report_data_format(document()));
  const std::string long_field = "F" + std::string(20, '1');
  set_reportdataformat((long_field + " f%s").c_str());
  EXPECT_FALSE(check_report_data_format(document()));
  EXPECT_EQ(test_gef("SOMETHING") + test_gef(nullptr), 0);
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < errors().size(); ++i) texts.push_back(message(int(i)));
  EXPECT_EQ(
      texts,
      (std::vector<std::string>{
          " GEF 100: Illegal datatype\n", " GEF 100: Illegal datatype: REAL16\n",
          // The setter names the whole field, the check its first 15 characters.
          " GEF 100: Invalid format field in reportdataformat: " + long_field + "\n",
          " GEF 100: Invalid format field in reportdataformat: f%s\n",
          " GEF 100: Invalid format field in reportdataformat: " + long_field.substr(0, 15) + "\n",
          " GEF 100: Invalid format field in reportdataformat: f%s\n",
          " GEF 100: This feature can not be tested.\n\n",
          " GEF 100: This feature can not be tested.\n\n"}));
  EXPECT_EQ(errors().back(), (ErrorEntry{GEF_E_NOTE, errors().back().subject, 0, 0, 4}));
}

TEST(HeaderRuleParts, DatesFollowTheCalendar) {
  const int cases[][4] = {{2001, 2, 29, 0}, {2000, 2, 29, 1},  {1900, 2, 29, 0}, {1996, 2, 29, 1},
                          {2001, 4, 31, 0}, {2001, 12, 31, 1}, {2001, 0, 1, 0},  {2001, 1, 0, 0}};
  for (const auto& c : cases) EXPECT_EQ(valid_date(c[0], c[1], c[2]), c[3] == 1) << c[0] << c[1];
}

} // namespace
} // namespace gef::test
