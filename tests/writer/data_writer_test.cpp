// SPDX-License-Identifier: MIT
// The data block writer: the three layouts, per-scan texts, binary types and kept voids.
#include <cmath>
#include <cstring>

#include "writer/writer_fixture.h"

namespace gef::test {
namespace {

class DataWriterTest : public WriterTest {
protected:
  DataWriterTest() : WriterTest(2, 1) {}
  // The bytes behind the `#EOH=` line.
  std::string data(int expected = 1) {
    const std::string text = write(expected);
    return text.substr(text.find('\n', text.find("#EOH=")) + 1);
  }
  // Gives every column the COLUMNINFO the reader needs to read the file back.
  void make_readable() {
    for (int c = 1; c <= columns_; ++c) store_line("COLUMNINFO= " + std::to_string(c) + ", m, x");
  }
};

TEST_F(DataWriterTest, WritesTheTextLayouts) {
  const struct {
    std::vector<std::string> stored;
    std::string expected;
  } cases[] = {
      {{}, "1.5000e+00 -2.0000e-01 \r\n"},
      {{"COLUMNSEPARATOR= ;", "RECORDSEPARATOR= !"}, "1.5000e+00;-2.0000e-01;!\r\n"},
      {{"COLUMNSEPARATOR= ;"}, "1.5000e+00;-2.0000e-01; \r\n"},
      {{"COLUMNSEPARATOR= X"}, "1.5000e+00;-2.0000e-01; \r\n"}, // "0X0" would read as hex
      {{"RECORDSEPARATOR= !"}, "1.5000e+00 -2.0000e-01 !\r\n"},
      // The reader passes over blanks after the values: such a separator is replaced.
      {{"RECORDSEPARATOR= "}, "1.5000e+00 -2.0000e-01 !\r\n"},
      {{"REPORTDATAFORMAT= F8.2"}, "    1.50    -0.20 \r\n"},
      {{"REPORTDATAFORMAT= F8.2 I4", "COLUMNSEPARATOR= ;"}, "1.50;-0; \r\n"},
      {{"REPORTDATAFORMAT= Q"}, "1.5 -0.2 \r\n"},
      {{"REPORTDATAFORMAT= F8.2", "REPORTDATAFORMAT= I6 g8"}, "     2     -0.2 \r\n"},
      {{"REPORTDATAFORMAT= F%n I6.2"}, "1.5     -0 \r\n"},
      {{"REPORTDATAFORMAT= F1234567890 e12.4"}, "1.5  -2.0000e-01 \r\n"},
  };
  for (const auto& c : cases) {
    restart(2, 1);
    set_data(1, 1, 1.5);
    set_data(2, 1, -0.2);
    for (const std::string& l : c.stored) store_line(l);
    EXPECT_EQ(data(), c.expected) << (c.stored.empty() ? "" : c.stored.back());
  }
}

// Every format letter and the values at the edges of each: fixed digits past the short path's
// room, rounding ties, signed zeros, the smallest and largest doubles, NaN and infinity.
TEST_F(DataWriterTest, WritesNumbersAsPrintfDoes) {
  const double values[] = {1.5,       -0.2,    0.0,    -0.0, 123456.789, 9.9995,  0.00012345,
                           1e300,     -1e-300, 5e-324, 1e22, 2.5,        NAN,     INFINITY,
                           -INFINITY, 0.125,   -7.0,   1e-5, 99999.5,    1.0 / 3, 4.35};
  const int scans = int(sizeof values / sizeof values[0]);
  for (const char* formats : {"F9.3 e12.4", "g10.5 E11.3", "f40.20 G6.0", "F5.0 e1.0"}) {
    restart(2, scans);
    for (int s = 1; s <= scans; ++s)
      for (int c = 1; c <= 2; ++c) set_data(c, s, values[s - 1]);
    store_line(std::string("REPORTDATAFORMAT= ") + formats);
    std::string expected;
    for (const double v : values) {
      for (const char* f = formats; *f != '\0';) {
        const char letter = char(*f | 0x20); // the format's letters mean printf's, in either case
        char* rest = nullptr;
        const long width = std::strtol(f + 1, &rest, 10);
        const long precision = std::strtol(rest + 1, &rest, 10);
        const std::string conversion = std::string("%*.*l") + letter + ' ';
        char text[512];
        std::snprintf(text, sizeof text, conversion.c_str(), int(width), int(precision), v);
        expected += text;
        f = *rest == ' ' ? rest + 1 : rest;
      }
      expected += "\r\n";
    }
    EXPECT_EQ(data(), expected) << formats;
  }
}

TEST_F(DataWriterTest, WritesPerScanTextsBeforeTheRecordEnd) {
  restart(2, 3);
  for (const char* l : {"COLUMNSEPARATOR= ;", "RECORDSEPARATOR= !", "COLUMNTEXT= 1"}) store_line(l);
  make_readable();
  library().column_texts[0] = copy_text("first");
  library().column_texts[2] = copy_text("a!b\r\nc");
  EXPECT_EQ(data(), "0.0000e+00;0.0000e+00;first!\r\n0.0000e+00;0.0000e+00;!\r\n"
                    "0.0000e+00;0.0000e+00;a b  c!\r\n");
  EXPECT_EQ(read_gef(path("out.gef").c_str()), 1);
  EXPECT_STREQ(library().column_texts[2], "a b  c");
}

TEST_F(DataWriterTest, KeepsVoidCellsVoid) {
  const double voids[] = {999.999, -9999.99, 99999.9};
  for (double w : voids) {
    set_data(1, 1, w);
    set_data(2, 1, w);
    store_line("COLUMNVOID= 1, " + std::to_string(w));
    const std::string shortest = shortest_text(w);
    const std::string expected = std::string(10 - shortest.size(), ' ') + shortest + " " +
                                 format_number(NumberFormat{'e', 10, 4}, w) + " \r\n";
    EXPECT_EQ(data(), expected);
  }
}

// One name per element type: the names and their aliases are the reader's, tested there.
TEST_F(DataWriterTest, WritesEveryBinaryTypeLittleEndian) {
  const double values[] = {32.95, -1.0};
  const struct {
    const char* type;
    std::vector<unsigned char> bytes;
  } cases[] = {
      {"INT", {33, 0, 0xFF, 0xFF}},
      {"INT4", {33, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}},
      {"FLOAT", {0xCD, 0xCC, 0x03, 0x42, 0, 0, 0x80, 0xBF}},
      {"DOUBLE", {0x9A, 0x99, 0x99, 0x99, 0x99, 0x79, 0x40, 0x40, 0, 0, 0, 0, 0, 0, 0xF0, 0xBF}},
  };
  for (const auto& c : cases) {
    restart(2, 1);
    set_data(1, 1, values[0]);
    set_data(2, 1, values[1]);
    store_text(KW_DATAFORMAT, "BINARY");
    store_text(KW_DATATYPE, c.type);
    make_readable();
    const std::string bytes = data();
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin(), bytes.end()), c.bytes) << c.type;
    ASSERT_EQ(read_gef(path("out.gef").c_str()), 1) << c.type;
    EXPECT_FLOAT_EQ(float(get_data(2, 1)), -1.0f) << c.type;
  }
}

TEST_F(DataWriterTest, RoundsBinaryIntegersAwayFromZeroAndSaturates) {
  const struct {
    double value;
    std::int16_t written;
  } cases[] = {{2.9999999, 3}, {2.0, 2},       {-0.5, 0},        {-3.0, -3},
               {1e9, 32767},   {-1e9, -32768}, {std::nan(""), 0}};
  store_text(KW_DATAFORMAT, "BINARY");
  store_text(KW_DATATYPE, "INT2");
  for (const auto& c : cases) {
    set_data(1, 1, c.value);
    const std::string bytes = data();
    EXPECT_EQ(std::int16_t(std::uint8_t(bytes[0]) | std::uint8_t(bytes[1]) << 8), c.written)
        << c.value;
  }
}

TEST_F(DataWriterTest, StopsBinaryRecordsAtTheLastScan) {
  restart(2, 25);
  store_text(KW_DATAFORMAT, "BINAIR");
  store_line("LASTSCAN= 10");
  EXPECT_EQ(data().size(), 10u * 2 * 8);
}

// A column count the block cannot hold, or an unknown binary type, writes the header alone.
TEST_F(DataWriterTest, WritesOnlyTheHeaderWhenTheDataCannotBeWritten) {
  const struct {
    int allocated, columns;
    const char* type;
    int code;
  } cases[] = {{2, -1, nullptr, GEF_E_SIZE_UNKNOWN},
               {2, 3, nullptr, GEF_E_SIZE_UNKNOWN},
               {251, 251, nullptr, GEF_E_TOO_MANY_COLUMNS},
               {2, 2, "COMPLEX", GEF_E_DATA_NOTE}};
  for (const auto& c : cases) {
    restart(c.allocated, 1);
    entry_of(KW_COLUMN).field[0].i = c.columns;
    if (c.type != nullptr) store_text(KW_DATAFORMAT, "BINARY");
    if (c.type != nullptr) store_text(KW_DATATYPE, c.type);
    const std::string text = write(0);
    EXPECT_EQ(text.find('\n', text.find("#EOH=")) + 1, text.size()) << c.columns; // no data
    EXPECT_EQ(errors().back().code, c.code);
    EXPECT_EQ(errors().back().level, 1);
  }
  EXPECT_NE(message(int(errors().size()) - 1).find("Unknown data type COMPLEX: no data written"),
            std::string::npos);
  restart(251, 1);
  entry_of(KW_GEFID).present = 0;
  write(0);
  EXPECT_EQ(errors()[errors().size() - 2].code, GEF_E_GEFID_MISSING);
}

} // namespace
} // namespace gef::test
