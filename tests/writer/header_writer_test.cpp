// SPDX-License-Identifier: MIT
// The header writer: one written line per keyword, order, forced keywords, versions and mends.
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "writer/writer_fixture.h"

namespace gef::test {
namespace {

// Sets the GEFID fields directly (the keyword can be stored only once).
void set_version(int release, int version) {
  entry_of(KW_GEFID).field[0].i = release;
  entry_of(KW_GEFID).field[1].i = version;
}

const std::string k2 = "GEFID= 2, 0, 0\n"; // stored lines of a 2.0.0 document start so

// Lines stored and the line written: one row per writer rule (defaults, number formats,
// coordinates to their accuracy, version-bound keywords); the corpus test round-trips the rest.
// clang-format off
const std::pair<std::string, std::string> kLines[] = {
    {"FILEOWNER=", "#FILEOWNER= Unfortunately unknown"},
    {"PROJECTID= , , 7", "#PROJECTID= Unfortunately unknown, , 7"},
    {"COLUMNINFO= 2, MPa, qc", "#COLUMNINFO= 2, MPa, qc"},
    {k2 + "SETUPCODE= U, 1, 0, 0", "#SETUPCODE= U, 1, 0, 0"},
    {"FILINGVAR= 2, -1, m, d", "#FILINGVAR= 2, -1.000000, m, d"},
    {"REPORTVAR= 1, 1234567.89, kg", "#REPORTVAR= 1, 1234567.875000, kg"},
    {"SPECIMENVAR= 1, 1e-9, m", "#SPECIMENVAR= 1, 1e-09, m"},
    {"CHILD= 2, ref, , , , , note", "#CHILD= 2, ref, , , , , note"},
    {"CHILD= 3, ref, 12.3456789", "#CHILD= 3, ref, 12.3456789, , "},
    {"FIRSTSCAN=", "#FIRSTSCAN= 1"},
    {"COLUMNAMPLIFIER= 1, 0.5, 2, , , mV", "#COLUMNAMPLIFIER= 1, 0.500000, 2.000000, , , mV"},
    {"COLUMNVOID= 1, -9999.99", "#COLUMNVOID= 1, -9999.990000"},
    {"COLUMNVOID= 2, 1e-10", "#COLUMNVOID= 2, 1e-10"},
    {"COLUMNMINMAX= 1, 0.5, 25", "#COLUMNMINMAX= 1,  5.0000e-01,  2.5000e+01"},
    {"REPORTDATAFORMAT= F8.2\nCOLUMNMINMAX= 1, 0.5, 25", "#COLUMNMINMAX= 1,     0.50,    25.00"},
    // A format asking for megabytes of blanks or zeros: the line must still read back.
    {"REPORTDATAFORMAT= F77483647\nCOLUMNMINMAX= 1, 0.5, 25",
     "#COLUMNMINMAX= 1, " + std::string(1015, ' ') + "0.500000, " + std::string(1014, ' ') + "25.000000"},
    {"REPORTDATAFORMAT= e1.999999\nCOLUMNMINMAX= 1, 0.5, 2",
     "#COLUMNMINMAX= 1, 5." + std::string(1023, '0') + "e-01, 2." + std::string(1023, '0') + "e+00"},
    {"COLUMNOFFSET= 1, 0", "#COLUMNOFFSET= 1, 0, 0.0"},
    {"COLUMNOFFSET= 1, 0, 1.5", "#COLUMNOFFSET= 1, 0, 1.5 "},
    {"COLUMNPOWERSUPPLY= 1, 0.5, 2, 3, V", "#COLUMNPOWERSUPPLY= 1, 0.500000, 2.000000, 3, V"},
    {"XYID= 31000, 155000.123, 463000.5, 0.01, 0.1", "#XYID= 31000, 155000.12, 463000.5, 0.01, 0.1"},
    {"XYID= 31000, 155000.120, 463000", "#XYID= 31000, 155000.12, 463000"},
    {"XYID= 31000, 1.0, 2.0, 0.25, 2", "#XYID= 31000, 1.0, 2, 0.25, 2"},
    {"XYID= 31000, 1.0, 2.0, 0.001, -1", "#XYID= 31000, 1.000, 2, 0.001, -1"},
    {"ZID= 31000, -1.25, 0.01", "#ZID= 31000, -1.25, 0.01"},
    {"ZID= 31000, 1.5", "#ZID= 31000, 1.5, 0.0"},
    {"ZID= 31000, 2.5, 0.0000000005", "#ZID= 31000, 2.5000000000, 0.0000000005"},
    {"RECORDSEPARATOR= !", "#RECORDSEPARATOR= !"},
    {"SCANTIME= 0.5", "#SCANTIME= 0.500000, 1"},
    {"SCANFREQUENCY= 4", "#SCANTIME= 0.250000, 1"},
    {"STARTTIME= 10, 20, 30.5", "#STARTTIME= 10, 20, 30.500000"},
    {"TIMECOLUMN= 4", "#TIMECOLUMN= 4, 1, s"},
    {"TIMECOLUMN= 4, , min", "#TIMECOLUMN= 4, 1, min"},
    {k2 + "QNTIME= 12, 2, ms", "#QNTIME= 12, 2, ms"},
    {k2 + "QNVOID= 2, 999.999", "#QNVOID= 2, 999.999000"},
    {k2 + "QNMINMAX= 2, 0.5, 25", "#QNMINMAX= 2,  5.0000e-01,  2.5000e+01"},
    {k2 + "REPORTDATAFORMAT= F6.1 F8.3\nCOLUMNINFO= 2, m, x, 7\nQNMINMAX= 7, 1, 2",
     "#QNMINMAX= 7,    1.000,    2.000"},
    {k2 + "REPORTDATAFORMAT= F6.1\nQNMINMAX= 9, 1, 2", "#QNMINMAX= 9,  1.0000e+00,  2.0000e+00"},
    {k2 + "ROW= 7", "#ROW= 7"},
    {k2 + "FIRSTSCAN= 1", "#FIRSTSCAN="}, // a tag alone: no such line, as 2.0.0 refuses it
    {k2, "#LASTSCAN="},
    {k2 + "ROW=", "#ROW= 10"},
};
// clang-format on

using HeaderWriterTest = WriterTest;

TEST_F(HeaderWriterTest, WritesEachKeywordLine) {
  for (const auto& [stored, expected] : kLines) {
    restart(4, 10);
    std::istringstream lines(stored);
    for (std::string l; std::getline(lines, l);) {
      if (l + "\n" == k2) {
        set_version(2, 0);
      } else {
        store_line(l);
      }
    }
    const std::string tag = expected.substr(0, expected.find('=') + 1);
    EXPECT_EQ(line(write(), tag), expected == tag ? "" : expected) << stored;
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
  for (const char* l :
       {"ROW= 3", "PARENT= p", "EQUIPMENT= rig", "COLUMNINFO= 2, m, b", "COLUMNINFO= 1, m, a",
        "STRUCTURETEXT= COLUMNINFO, a, , c", "STRUCTURETYPE= GEFID, x",
        "STRUCTURETEXT= COMMENT, lost", "FILEOWNER= me", "STRUCTURETYPE= COLUMNINFO, y, , z"})
    store_line(l);
  // A first field emptied in the record: the equals sign meets the next field's comma.
  Entry& blank_first = entry_of(KW_STRUCTURETYPE, KW_COLUMNINFO);
  std::free(blank_first.field[0].s);
  blank_first.field[0].s = copy_text("");
  const std::string text = write();
  EXPECT_EQ(text.substr(0, text.find("#EOH=\r\n") + 7), // ROW is not a 1.1.0 keyword
            "#GEFID= 1, 1, 0\r\n#STRUCTURETYPE= GEFID, x\r\n#FILEOWNER= me\r\n#COLUMN= 4\r\n"
            "#STRUCTURETEXT= COLUMNINFO, a, , c\r\n#STRUCTURETYPE=, y, , z\r\n"
            "#COLUMNINFO= 1, m, a\r\n"
            "#COLUMNINFO= 2, m, b\r\n#DATAFORMAT= ASCII\r\n#LASTSCAN= 10\r\n"
            "#EQUIPMENT= rig\r\n#PARENT= p\r\n#OS= DOS\r\n#EOH=\r\n");
}

TEST_F(HeaderWriterTest, ForcesSystemAndDataFormatAndKeepsThem) {
  struct Case {
    const char *os, *format, *written_os, *written_format, *written_type;
  } cases[] = {{"UNIX", "ASCII", "DOS", "ASCII", nullptr},
               {"le", "BINARY", "le", "BINARY", "DOUBLE"},
               {"DOS", "BINA", "DOS", "BINAIR", "DOUBLE"},
               {"DOS", "TEXT", "DOS", "ASCII", nullptr}};
  for (const Case& c : cases) {
    restart(4, 10);
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
  library().conversion_stamp = 1;
  const std::string text = write();
  EXPECT_EQ(line(text, "#REPORTCODE="), "#REPORTCODE= gef_cpt_report, 1, 1, 0");
  EXPECT_EQ(line(text, "#PROCEDURECODE="), "#PROCEDURECODE= GEF-CPT-Report, 1, 1, 0");
  EXPECT_EQ(library().conversion_stamp, 0);
}

// A 1.0.0 CPT report is converted on reading; written and read again it is the same 1.1.0
// report with the same data, not converted a second time. Unconverted files keep their names.
TEST_F(HeaderWriterTest, ConvertedReportReadsBackAsTheSameReport) {
  const std::string older = "#GEFID= 1, 0, 0\r\n#PROCEDURECODE= CPT-Report, 1, 0, 0\r\n"
                            "#COLUMN= 2\r\n#COLUMNINFO= 1, m, sondeerlengte, 1\r\n"
                            "#COLUMNINFO= 2, MPa, conus, 2\r\n#LASTSCAN= 3\r\n#EOH=\r\n"
                            "-0.0100 1.5\r\n-0.0200 2.25\r\n-0.0300 3.125\r\n";
  const std::string in = scratch_.write("in.gef", older);
  auto read_back = [](const std::string& file) {
    EXPECT_EQ(read_gef(file.c_str()), 1);
    std::vector<double> values;
    for (int c = 1; c <= 2; ++c)
      for (int s = 1; s <= get_nr_scans(); ++s) values.push_back(get_data(s, c));
    return values;
  };
  const std::vector<double> first = read_back(in);
  EXPECT_EQ(first[0], 0.01); // converted: penetration length made positive
  const std::string text = write();
  EXPECT_EQ(line(text, "#PROCEDURECODE="), "#PROCEDURECODE= GEF-CPT-Report, 1, 1, 0");
  const std::vector<double> second = read_back(path("out.gef"));
  EXPECT_EQ(gcr_is_gcr(), 1);
  EXPECT_EQ(gcr_get_version(), 1);
  EXPECT_EQ(std::memcmp(first.data(), second.data(), first.size() * sizeof(double)), 0);
  EXPECT_EQ(first.size(), second.size());

  store_line("PROCEDURECODE= CPT-Report, 1, 1, 0"); // not converted: written as stored
  EXPECT_EQ(line(write(), "#PROCEDURECODE="), "#PROCEDURECODE= CPT-Report, 1, 1, 0");
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
