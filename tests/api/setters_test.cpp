// SPDX-License-Identifier: MIT
// Setters store exactly what the same keyword line read as text stores, plus their own checks.
#include <functional>

#include "gef/error_codes.h"
#include "support/document_fixture.h"

namespace gef::test {
namespace {

// Everything observable about one storage area: the entries present, by slot.
std::vector<std::string> area_view(int code) {
  const KeywordInfo& kw = keyword_info(code);
  std::vector<std::string> out;
  for (int i = 0; i < kw.capacity; ++i)
    if (entry_of(kw.area, i).present != 0)
      out.push_back(std::to_string(i) + ":" + entry_text(code, entry_of(kw.area, i), 17));
  return out;
}

std::vector<std::string> messages() {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < errors().size(); ++i) out.push_back(message(int(i)));
  return out;
}

struct SetterCase {
  int keyword;
  std::string line;
  std::function<void()> call;
};

// One row per setter signature, and each keyword with checks of its own.
const SetterCase kCases[] = {
    {KW_GEFID, "GEFID= 1, 1, 0", [] { set_gefid(1, 1, 0); }},
    {KW_FILEOWNER, "FILEOWNER= Lab", [] { set_fileowner("Lab"); }},
    {KW_FILEDATE, "FILEDATE= 2004, 2, 29", [] { set_filedate(2004, 2, 29); }},
    {KW_PROJECTID, "PROJECTID= CPT, 1234, 7", [] { set_projectid("CPT", "1234", "7"); }},
    {KW_COLUMN, "COLUMN= 4", [] { set_column(4); }},
    {KW_COLUMNINFO, "COLUMNINFO= 1, m, penetration length, 1",
     [] { set_columninfo(1, "m", "penetration length", 1); }},
    {KW_COLUMNINFO, "COLUMNINFO= 2, MPa, , 2", [] { set_columninfo(2, "MPa", "", 2); }},
    {KW_COLUMNINFO, "COLUMNINFO= 300, m, x, 1", [] { set_columninfo(300, "m", "x", 1); }},
    {KW_ANALYSISCODE, "ANALYSISCODE= A, 1, 2, 3, ref",
     [] { set_analysiscode("A", 1, 2, 3, "ref"); }},
    {KW_FILINGTEXT, "FILINGTEXT= 1500, t, i", [] { set_filingtext(1500, "t", "i"); }},
    {KW_MEASUREMENTTEXT, "MEASUREMENTTEXT= 4, conus, ",
     [] { set_measurementtext(4, "conus", ""); }},
    {KW_SPECIMENTEXT, "SPECIMENTEXT= 1501, t, i", [] { set_specimentext(1501, "t", "i"); }},
    {KW_MEASUREMENTVAR, "MEASUREMENTVAR= 13, 1000, mm2, area",
     [] { set_measurementvar(13, 1000.0f, "mm2", "area"); }},
    {KW_REPORTVAR, "REPORTVAR= 5, 0, , ", [] { set_reportvar(5, 0.0f, "", ""); }},
    {KW_COMPANYID, "COMPANYID= Firm, 123, 31", [] { set_companyid("Firm", "123", 31); }},
    {KW_CHILD, "CHILD= 2, ref, 1.5, m, depth, 1, expl",
     [] { set_child(2, "ref", 1.5, "m", "depth", 1, "expl"); }},
    {KW_DATACONVERSION, "DATACONVERSION= 1, 2, 3, lin, info, kPa, cone, 4, note",
     [] { set_dataconversion(1, 2, 3, "lin", "info", "kPa", "cone", 4, "note"); }},
    {KW_REPORTDATAFORMAT, "REPORTDATAFORMAT= F8.2 X", [] { set_reportdataformat("F8.2 X"); }},
    {KW_FIRSTSCAN, "FIRSTSCAN= 3", [] { set_firstscan(3); }},
    {KW_OBJECTID, "OBJECTID= 12", [] { set_objectid(12); }},
    {KW_LASTSCAN, "LASTSCAN= 10", [] { set_lastscan(10); }},
    {KW_ROW, "ROW= 5", [] { set_row(5); }},
    {KW_COLUMNAMPLIFIER, "COLUMNAMPLIFIER= 3, 0.5, 2, 1, 9, mV",
     [] { set_columnamplifier(3, 0.5f, 2.0f, 1, 9, "mV"); }},
    {KW_COLUMNVOID, "COLUMNVOID= 1, -9999", [] { set_columnvoid(1, -9999.0); }},
    {KW_COLUMNMINMAX, "COLUMNMINMAX= 1, 0.02, 25.5", [] { set_columnminmax(1, 0.02, 25.5); }},
    {KW_COLUMNOFFSET, "COLUMNOFFSET= 2, 4, 0.125", [] { set_columnoffset(2, 4, 0.125); }},
    {KW_COLUMNPOWERSUPPLY, "COLUMNPOWERSUPPLY= 4, 0.5, 1.25, 3, V",
     [] { set_columnpowersupply(4, 0.5f, 1.25f, 3, "V"); }},
    {KW_COLUMNSEPARATOR, "COLUMNSEPARATOR= ;", [] { set_columnseparator(';'); }},
    {KW_RECORDSEPARATOR, "RECORDSEPARATOR= !", [] { set_recordseparator('!'); }},
    {KW_COLUMNTEXT, "COLUMNTEXT= 1, layers", [] { set_columntext(1, "layers"); }},
    {KW_XYID, "XYID= 31000, 132000.5, 457000.25, 0.1, 0.2",
     [] { set_xyid(31000, 132000.5, 457000.25, 0.1, 0.2); }},
    {KW_ZID, "ZID= 31000, -1.5, 0.01", [] { set_zid(31000, -1.5, 0.01); }},
    {KW_PARENT, "PARENT= p, 2.5, m, z, 11, e", [] { set_parent("p", 2.5, "m", "z", 11, "e"); }},
    {KW_SCANTIME, "SCANTIME= 0.25, 1", [] { set_scantime(99, 0.25f, 1); }},
    {KW_STARTDATE, "STARTDATE= 2001, 13, 0", [] { set_startdate(2001, 13, 0); }},
    {KW_STARTTIME, "STARTTIME= 12, 30, 15.5", [] { set_starttime(12, 30, 15.5f); }},
    {KW_STRUCTURETEXT, "STRUCTURETEXT= COLUMNINFO, a, b, c, d, e, f, g, h",
     [] { set_structuretext("COLUMNINFO", "a", "b", "c", "d", "e", "f", "g", "h"); }},
    {KW_TIMECOLUMN, "TIMECOLUMN= 3, 2, min", [] { set_timecolumn(3, 2, "min"); }},
    {KW_QNTIME, "QNTIME= 12, 0, s", [] { set_qntime(12, 0, "s"); }},
    {KW_QNVOID, "QNVOID= 2, -1", [] { set_qnvoid(2, -1.0); }},
};

using SetterMatchesTextLine = DocumentTest;

TEST_F(SetterMatchesTextLine, EveryArgumentList) {
  for (const SetterCase& c : kCases) {
    SCOPED_TRACE(c.line);
    reset_document(document());
    // Keywords a later occurrence depends on (output formats need COLUMN).
    set_column(4);
    c.call();
    const auto typed = area_view(c.keyword);
    const auto typed_errors = errors();
    const auto typed_messages = messages();

    reset_document(document());
    set_column(4);
    store_line(c.line);
    EXPECT_EQ(typed, area_view(c.keyword));
    EXPECT_EQ(typed_errors, errors());
    EXPECT_EQ(typed_messages, messages());
  }
}

class SetterTest : public DocumentTest {
protected:
  SetterTest() : DocumentTest(2) {}
};

TEST_F(SetterTest, NullTextKeepsThePreviousTextButNotItsBit) {
  set_columninfo(1, "m", "penetration length", 1);
  set_columninfo(1, "m", nullptr, 1);
  EXPECT_STREQ(entry_of(KW_COLUMNINFO, 0).field[1].s, "penetration length");
  EXPECT_EQ(entry_of(KW_COLUMNINFO, 0).bits, 5);
}

TEST_F(SetterTest, GefidAcceptsOnlyKnownVersions) {
  reset_document(document());
  EXPECT_EQ(set_gefid(1, 2, 0), 0);
  EXPECT_EQ(errors(), (std::vector<ErrorEntry>{{GEF_E_NOTE, errors()[0].subject, 0, 0, 2}}));
  EXPECT_EQ(message(0), " GEF 100: Unsupported ID, GEFID is currently supported up to 2, 0, 0\n");
  EXPECT_EQ(entry_of(KW_GEFID).present, 0);
  EXPECT_EQ(set_gefid(2, 0, 0), 1);
  EXPECT_EQ(set_gefid(1, 0, 0), 1); // refused by the store as a repeated keyword
  EXPECT_EQ(error_codes(), (std::vector<int>{GEF_E_NOTE, GEF_E_REPEATED_KEYWORD}));
  EXPECT_EQ(entry_of(KW_GEFID).field[0].i, 2);
}

TEST_F(SetterTest, SizesMustFitTheDataBlock) {
  EXPECT_EQ(set_lastscan(11), 0);
  EXPECT_EQ(set_lastscan(10), 1);
  EXPECT_EQ(set_row(11), 0);
  EXPECT_EQ(set_column(3), 0);
  ASSERT_EQ(errors().size(), 3u);
  EXPECT_EQ(errors()[0], (ErrorEntry{GEF_E_BLOCK_TOO_LARGE, errors()[0].subject, 20, 0, 1}));
  EXPECT_EQ(errors()[2].level, 2);
  EXPECT_EQ(entry_of(KW_LASTSCAN).field[0].i, 10);
}

TEST_F(SetterTest, DataConversionChecksNumberAndScan) {
  EXPECT_EQ(set_dataconversion(251, 1, 1, "m", "i", "u", "q", 1, "e"), 0);
  EXPECT_EQ(set_dataconversion(1, 1, 11, "m", "i", "u", "q", 1, "e"), 0);
  EXPECT_EQ(set_dataconversion(1, 1, 10, "m", "i", "u", "q", 1, "e"), 1);
  EXPECT_EQ(errors(),
            (std::vector<ErrorEntry>{{GEF_E_NUMBER_OUT_OF_RANGE, errors()[0].subject, 251, 250, 2},
                                     {GEF_E_NUMBER_OUT_OF_RANGE, errors()[1].subject, 11, 10, 2}}));
  document().scan_known = 0;
  EXPECT_EQ(set_dataconversion(1, 1, 0, "m", "i", "u", "q", 1, "e"), 0);
  EXPECT_EQ(message(2), " GEF 100: Zero or negative scan numbers are not allowed\n");
}

TEST_F(SetterTest, DataValuesAndColumnTexts) {
  set_data(2, 3, 0.5);
  EXPECT_EQ(library().data[12], 0.5); // column after column: (2-1) x 10 + (3-1)
  set_data(3, 1, 1.0);
  set_data(1, 11, 1.0);
  set_data(1, 0, 1.0);
  EXPECT_EQ(errors(),
            (std::vector<ErrorEntry>{{GEF_E_COLUMN_OUT_OF_RANGE, errors()[0].subject, 3, 250, 3},
                                     {GEF_E_SCAN_OUT_OF_RANGE, errors()[1].subject, 11, 10, 3},
                                     {GEF_E_SCAN_OUT_OF_RANGE, errors()[2].subject, 0, 10, 3}}));
  set_columntext_text(10, "clay");
  set_columntext_text(10, "sand");
  set_columntext_text(11, "ignored");
  set_columntext_text(0, "ignored");
  EXPECT_STREQ(library().column_texts[9], "sand");
  set_columntext_text(10, nullptr);
  EXPECT_EQ(library().column_texts[9], nullptr);
}

} // namespace
} // namespace gef::test
