// The header writer: one written line per keyword, order, forced keywords, versions and mends.
#include <ctime>

#include "writer/writer_fixture.h"

namespace gef::test {
namespace {

struct LineCase {
  std::vector<std::string> stored; // header lines stored before the write
  int release, version;            // GEFID of the document
  std::string expected;            // the written line with the expected tag
};

// One stored line per keyword family and per rule of the writer (defaults, number formats,
// coordinates to their accuracy, version-bound keywords); the corpus test round-trips the rest.
// clang-format off
const LineCase kLines[] = {
    {{"FILEOWNER= Jan"}, 1, 1, "#FILEOWNER= Jan"},
    {{"FILEOWNER="}, 1, 1, "#FILEOWNER= Unfortunately unknown"},
    {{"FILEDATE= 2024, 5, 6"}, 1, 1, "#FILEDATE= 2024, 5, 6"},
    {{"PROJECTID= CPT, 123"}, 1, 1, "#PROJECTID= CPT, 123"},
    {{"PROJECTID= , , 7"}, 1, 1, "#PROJECTID= Unfortunately unknown, , 7"},
    {{"COLUMNINFO= 1, m, depth, 1"}, 1, 1, "#COLUMNINFO= 1, m, depth, 1"},
    {{"COLUMNINFO= 2, MPa, qc"}, 1, 1, "#COLUMNINFO= 2, MPa, qc"},
    {{"ANALYSISCODE= A, 1, 2, 3, ref"}, 1, 1, "#ANALYSISCODE= A, 1, 2, 3, ref"},
    {{"FILINGCODE= F, 1, 0, 0"}, 1, 1, "#FILINGCODE= F, 1, 0, 0"},
    {{"SETUPCODE= U, 1, 0, 0"}, 2, 0, "#SETUPCODE= U, 1, 0, 0"},
    {{"ANALYSISTEXT= 1, a"}, 1, 1, "#ANALYSISTEXT= 1, a"},
    {{"FILINGTEXT= 2, f, g"}, 1, 1, "#FILINGTEXT= 2, f, g"},
    {{"ANALYSISVAR= 1, 2.5, kPa"}, 1, 1, "#ANALYSISVAR= 1, 2.500000, kPa"},
    {{"FILINGVAR= 2, -1, m, d"}, 1, 1, "#FILINGVAR= 2, -1.000000, m, d"},
    {{"REPORTVAR= 1, 1234567.89, kg"}, 1, 1, "#REPORTVAR= 1, 1234567.875000, kg"},
    {{"SPECIMENVAR= 1, 1e-9, m"}, 1, 1, "#SPECIMENVAR= 1, 1e-09, m"},
    {{"COMPANYID= Firm, 123, 31"}, 1, 1, "#COMPANYID= Firm, 123, 31"},
    {{"CHILD= 1, ref, 1.25, m, depth"}, 1, 1, "#CHILD= 1, ref, 1.25, m, depth"},
    {{"CHILD= 2, ref, , , , , note"}, 1, 1, "#CHILD= 2, ref, , , , , note"},
    {{"CHILD= 3, ref, 12.3456789"}, 1, 1, "#CHILD= 3, ref, 12.3456789, , "},
    {{"COMMENT= hello"}, 1, 1, "#COMMENT= hello"},
    {{"DATACONVERSION= 1, 2, 3, lin, info, V, volt"}, 1, 1,
     "#DATACONVERSION= 1, 2, 3, lin, info, V, volt"},
    {{"DATACONVERSION= 2, 2, 3, lin, info, V, , , note"}, 1, 1,
     "#DATACONVERSION= 2, 2, 3, lin, info, V, , , note"},
    {{"FIRSTSCAN= 5"}, 1, 1, "#FIRSTSCAN= 5"},
    {{"FIRSTSCAN="}, 1, 1, "#FIRSTSCAN= 1"},
    {{"COLUMNAMPLIFIER= 1, 0.5, 2, , , mV"}, 1, 1,
     "#COLUMNAMPLIFIER= 1, 0.500000, 2.000000, , , mV"},
    {{"COLUMNVOID= 1, -9999.99"}, 1, 1, "#COLUMNVOID= 1, -9999.990000"},
    {{"COLUMNVOID= 2, 1e-10"}, 1, 1, "#COLUMNVOID= 2, 1e-10"},
    {{"COLUMNMINMAX= 1, 0.5, 25"}, 1, 1, "#COLUMNMINMAX= 1,  5.0000e-01,  2.5000e+01"},
    {{"REPORTDATAFORMAT= F8.2", "COLUMNMINMAX= 1, 0.5, 25"}, 1, 1,
     "#COLUMNMINMAX= 1,     0.50,    25.00"},
    {{"COLUMNOFFSET= 1, 0"}, 1, 1, "#COLUMNOFFSET= 1, 0, 0.0"},
    {{"COLUMNOFFSET= 1, 0, 1.5"}, 1, 1, "#COLUMNOFFSET= 1, 0, 1.5 "},
    {{"COLUMNTEXT= 1, aan"}, 1, 1, "#COLUMNTEXT= 1, aan"},
    {{"COLUMNPOWERSUPPLY= 1, 0.5, 2, 3, V"}, 1, 1,
     "#COLUMNPOWERSUPPLY= 1, 0.500000, 2.000000, 3, V"},
    {{"XYID= 31000, 155000.123, 463000.5, 0.01, 0.1"}, 1, 1,
     "#XYID= 31000, 155000.12, 463000.5, 0.01, 0.1"},
    {{"XYID= 31000, 155000.120, 463000"}, 1, 1, "#XYID= 31000, 155000.12, 463000"},
    {{"XYID= 31000, 1.0, 2.0, 0.25, 2"}, 1, 1, "#XYID= 31000, 1.0, 2, 0.25, 2"},
    {{"XYID= 31000, 1.0, 2.0, 0.001, -1"}, 1, 1, "#XYID= 31000, 1.000, 2, 0.001, -1"},
    {{"ZID= 31000, -1.25, 0.01"}, 1, 1, "#ZID= 31000, -1.25, 0.01"},
    {{"ZID= 31000, 1.5"}, 1, 1, "#ZID= 31000, 1.5, 0.0"},
    {{"ZID= 31000, 2.5, 0.0000000005"}, 1, 1, "#ZID= 31000, 2.5000000000, 0.0000000005"},
    {{"OBJECTID= 42"}, 1, 1, "#OBJECTID= 42"},
    {{"PARENT= ref, 2.5, m, depth, 3"}, 1, 1, "#PARENT= ref, 2.5, m, depth, 3"},
    {{"REPORTDATAFORMAT= F10.3 E12.4"}, 1, 1, "#REPORTDATAFORMAT= F10.3 E12.4"},
    {{"RECORDSEPARATOR= !"}, 1, 1, "#RECORDSEPARATOR= !"},
    {{"SCANTIME= 0.5"}, 1, 1, "#SCANTIME= 0.500000, 1"},
    {{"SCANFREQUENCY= 4"}, 1, 1, "#SCANTIME= 0.250000, 1"},
    {{"STARTTIME= 10, 20, 30.5"}, 1, 1, "#STARTTIME= 10, 20, 30.500000"},
    {{"TIMECOLUMN= 4"}, 1, 1, "#TIMECOLUMN= 4, 1, s"},
    {{"TIMECOLUMN= 4, , min"}, 1, 1, "#TIMECOLUMN= 4, 1, min"},
    {{"QNTIME= 12, 2, ms"}, 2, 0, "#QNTIME= 12, 2, ms"},
    {{"QNVOID= 2, 999.999"}, 2, 0, "#QNVOID= 2, 999.999000"},
    {{"QNMINMAX= 2, 0.5, 25"}, 2, 0, "#QNMINMAX= 2,  5.0000e-01,  2.5000e+01"},
    {{"REPORTDATAFORMAT= F6.1 F8.3", "COLUMNINFO= 2, m, x, 7", "QNMINMAX= 7, 1, 2"}, 2, 0,
     "#QNMINMAX= 7,    1.000,    2.000"},
    {{"REPORTDATAFORMAT= F6.1", "QNMINMAX= 9, 1, 2"}, 2, 0,
     "#QNMINMAX= 9,  1.0000e+00,  2.0000e+00"},
    {{"ROW= 7"}, 2, 0, "#ROW= 7"},
    {{"ROW="}, 2, 0, "#ROW= 10"},
};
// clang-format on

using HeaderWriterTest = WriterTest;

TEST_F(HeaderWriterTest, WritesEachKeywordLine) {
  for (const LineCase& c : kLines) {
    TearDown();
    SetUp();
    set_version(c.release, c.version);
    for (const std::string& l : c.stored) store_line(l);
    const std::string tag = c.expected.substr(0, c.expected.find('=') + 1);
    EXPECT_EQ(line(write(), tag), c.expected) << c.stored.back();
  }
}

TEST_F(HeaderWriterTest, FillsDefaultsForMissingIdentity) {
  entry_of(KW_GEFID).bits = 0;
  store_line("FILEDATE= 1999");
  const std::string text = write();
  EXPECT_EQ(header_lines(text)[0], "#GEFID= 2, 0, 0");
  const std::time_t now = std::time(nullptr);
  const std::tm* today = std::localtime(&now);
  EXPECT_EQ(line(text, "#FILEDATE="), "#FILEDATE= 1999, " + std::to_string(today->tm_mon + 1) +
                                          ", " + std::to_string(today->tm_mday));
}

TEST_F(HeaderWriterTest, WritesKeywordsInTheFixedOrderWithStructureLines) {
  for (const char* l : {"ROW= 3", "PARENT= p", "EQUIPMENT= rig", "COLUMNINFO= 2, m, b",
                        "COLUMNINFO= 1, m, a", "STRUCTURETEXT= COLUMNINFO, a, , c",
                        "STRUCTURETYPE= GEFID, x", "STRUCTURETEXT= COMMENT, lost", "FILEOWNER= me"})
    store_line(l);
  const std::vector<std::string> expected = {"#GEFID= 1, 1, 0",
                                             "#STRUCTURETYPE= GEFID, x",
                                             "#FILEOWNER= me",
                                             "#COLUMN= 4",
                                             "#STRUCTURETEXT= COLUMNINFO, a, , c",
                                             "#COLUMNINFO= 1, m, a",
                                             "#COLUMNINFO= 2, m, b",
                                             "#DATAFORMAT= ASCII",
                                             "#LASTSCAN= 10",
                                             "#EQUIPMENT= rig",
                                             "#PARENT= p",
                                             "#OS= DOS",
                                             "#EOH="};
  EXPECT_EQ(header_lines(write()), expected); // ROW is not a 1.1.0 keyword
}

TEST_F(HeaderWriterTest, DropsKeywordsTheVersionRefuses) {
  set_version(2, 0);
  store_line("FIRSTSCAN= 1");
  store_line("ROW= 3");
  const std::string text = write();
  EXPECT_EQ(line(text, "#FIRSTSCAN="), "");
  EXPECT_EQ(line(text, "#LASTSCAN="), "");
  EXPECT_EQ(line(text, "#ROW="), "#ROW= 3");
}

TEST_F(HeaderWriterTest, ForcesSystemAndDataFormatAndKeepsThem) {
  struct Case {
    const char *os, *format, *written_os, *written_format, *written_type;
  } cases[] = {{"UNIX", "ASCII", "DOS", "ASCII", nullptr},
               {"le", "BINARY", "le", "BINARY", "DOUBLE"},
               {"DOS", "BINA", "DOS", "BINAIR", "DOUBLE"},
               {"DOS", "TEXT", "DOS", "ASCII", nullptr}};
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    store_text(KW_OS, c.os);
    store_text(KW_DATAFORMAT, c.format);
    const std::string text = write();
    EXPECT_EQ(line(text, "#OS="), std::string("#OS= ") + c.written_os) << c.format;
    EXPECT_EQ(line(text, "#DATAFORMAT="), std::string("#DATAFORMAT= ") + c.written_format);
    EXPECT_STREQ(entry_of(KW_OS).field[0].s, c.written_os);
    EXPECT_STREQ(entry_of(KW_DATAFORMAT).field[0].s, c.written_format);
    EXPECT_STREQ(entry_of(KW_DATATYPE).field[0].s, c.written_type);
  }
}

TEST_F(HeaderWriterTest, RecordsTheConvertedReportVersion) {
  store_line("REPORTCODE= gef_cpt_report, 1, 0, 0");
  store_line("PROCEDURECODE= MY-CPT-REPORT, 1, 0, 0");
  g_library.conversion_stamp = 1;
  const std::string text = write();
  EXPECT_EQ(line(text, "#REPORTCODE="), "#REPORTCODE= gef_cpt_report, 1, 1, 0");
  EXPECT_EQ(line(text, "#PROCEDURECODE="), "#PROCEDURECODE= MY-CPT-REPORT, 1, 1, 0");
  EXPECT_EQ(g_library.conversion_stamp, 0);
}

TEST_F(HeaderWriterTest, WritesTextsThatReadBackAsTheSameField) {
  struct Case {
    const char *stored, *written;
  } cases[] = {{"a, b", "a\\, b"},       {"a\\, b", "a\\, b"}, {"#1", "\\#1"},
               {"a\\\\,b", "a\\\\\\,b"}, {"C:\\", "C:\\ "},    {"two\nlines\r", "two lines "}};
  for (const Case& c : cases) {
    store_text(KW_FILEOWNER, c.stored);
    EXPECT_EQ(line(write(), "#FILEOWNER="), std::string("#FILEOWNER= ") + c.written) << c.stored;
  }
  EXPECT_EQ(field_text(std::string(2000, 'x').c_str()).size(), 1023u);
  // A text whose presence bit is clear is written empty, even with a text stored.
  store_text(KW_COMPANYID, "Firm");
  entry_of(KW_COMPANYID).bits = 0;
  EXPECT_EQ(line(write(), "#COMPANYID="), "#COMPANYID= , , 0");
}

} // namespace
} // namespace gef::test
