// SPDX-License-Identifier: MIT
// Binary data blocks: every element type and alias, both byte orders, partial scans, unknown types.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "reader/reader_fixture.h"

namespace gef::test {
namespace {

using BinaryTest = ReaderTest;

// The header lines that announce a binary block of `type` in the byte order named by `os`.
std::string binary(const std::string& type, const std::string& os,
                   const std::string& format = "BINARY") {
  return "#DATAFORMAT= " + format + "\r\n#DATATYPE= " + type + "\r\n#OS= " + os + "\r\n";
}

// `v` as an element of `size` bytes (2 and 4: integers, 5: a 4-byte float, 8: a double) in the
// given order, built without the machine's own order playing a part.
std::string encode(double v, int size, bool big_endian) {
  std::uint64_t bits = 0;
  if (size == 2) bits = std::uint16_t(std::int16_t(v));
  if (size == 4) bits = std::uint32_t(std::int32_t(v));
  if (size == 5) {
    const float f = float(v);
    std::uint32_t b32 = 0;
    std::memcpy(&b32, &f, 4);
    bits = b32;
    size = 4;
  }
  if (size == 8) std::memcpy(&bits, &v, 8);
  std::string out(std::size_t(size), '\0');
  for (int i = 0; i < size; ++i)
    out[std::size_t(big_endian ? size - 1 - i : i)] = char((bits >> (8 * i)) & 0xFF);
  return out;
}

TEST_F(BinaryTest, ByteOrderFollowsOsAndOtherFormatNamesReadTheSame) {
  // clang-format off
  const struct {
    std::string head;
    double value;
  } cases[] = {
      {binary("INT2", "UNIX"), 1},         {binary("INT2", "BE"), 1},
      {binary("INT2", "be"), 1},           {binary("INT2", "unix"), 1},
      {binary("INT2", "DOS"), 256},        {binary("INT2", "LE"), 256},
      {binary("INT2", "le"), 256},         {binary("INT2", "Dos"), 256},
      {binary("INT", "unix", "binair"), 1}, {binary("INT", "VMS", "RAW"), 1}, // unknown: big
      {"#DATAFORMAT= RAW\r\n#DATATYPE= INT\r\n", 256},                        // no OS: little
  };
  // clang-format on
  for (const auto& c : cases) {
    ASSERT_EQ(read(header(1, c.head) + std::string("\x00\x01", 2)), 1) << c.head;
    EXPECT_EQ(value(1, 1), c.value) << c.head;
  }
}

TEST_F(BinaryTest, EveryTypeAndAliasInBothByteOrders) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> shorts = {0, 1, -1, 258, -32768, 32767};
  const std::vector<double> longs = {0, -1, 65536, 16909060, -2147483648.0, 2147483647.0};
  const std::vector<double> floats = {0.5, -1.25, double(0.1f), double(-3.4e38f), 1.0e-40, inf};
  const std::vector<double> doubles = {0.1, -2.5e300, 4.9e-324, 1.0 / 3.0, -0.0, -inf};
  const struct {
    const char* name;
    int size;
    const std::vector<double>& values; // exactly representable in the type
  } cases[] = {
      {"INT", 2, shorts},   {"INT2", 2, shorts},    {"int2", 2, shorts},   {"LONG", 4, longs},
      {"INT4", 4, longs},   {"Long", 4, longs},     {"FLOAT", 5, floats},  {"REAL4", 5, floats},
      {"real4", 5, floats}, {"DOUBLE", 8, doubles}, {"REAL8", 8, doubles}, {"double", 8, doubles},
  };
  for (const auto& t : cases) {
    for (const bool be : {false, true}) {
      SCOPED_TRACE(std::string(t.name) + (be ? " big-endian" : " little-endian"));
      std::string data;
      for (double v : t.values) data += encode(v, t.size, be);
      ASSERT_EQ(read(header(2, binary(t.name, be ? "UNIX" : "DOS")) + data), 1);
      EXPECT_TRUE(errors().empty()) << message(0);
      ASSERT_EQ(scans(), 3);
      for (int s = 1; s <= 3; ++s)
        for (int c = 1; c <= 2; ++c) {
          const double want = t.values[std::size_t((s - 1) * 2 + c - 1)];
          EXPECT_EQ(value(s, c), t.size == 5 ? double(float(want)) : want);
          EXPECT_EQ(std::signbit(value(s, c)), std::signbit(want));
        }
      expect_consistent(2);
    }
  }
  const double nan = std::numeric_limits<double>::quiet_NaN();
  ASSERT_EQ(read(header(1, binary("REAL4", "BE")) + encode(nan, 5, true)), 1);
  EXPECT_TRUE(std::isnan(value(1, 1)));
  ASSERT_EQ(read(header(1, binary("REAL8", "LE")) + encode(nan, 8, false)), 1);
  EXPECT_TRUE(std::isnan(value(1, 1)));
}

// One block per row: the codes recorded and the values kept, scan by scan.
TEST_F(BinaryTest, OnlyWholeScansOfKnownTypesAreRead) {
  // clang-format off
  const struct {
    int columns;
    std::string head, data;
    std::vector<int> codes;
    std::vector<double> values;
  } cases[] = {
      // Two columns of REAL4 take 8 bytes a scan: 2 trailing bytes make no scan, nor do 23
      // bytes of three REAL8 columns, nor a file that ends at the header.
      {2, binary("REAL4", "DOS"), encode(1.5, 5, false) + encode(-2, 5, false) + "\x7f\x7f", {},
       {1.5, -2}},
      {3, binary("REAL8", "DOS"), std::string(23, '\x01'), {}, {}},
      {2, binary("INT4", "UNIX"), "", {}, {}},
      // Line ends, a DOS end mark, a `#` and a zero byte carry no meaning in a binary block.
      {2, binary("INT2", "DOS"), std::string("\r\n\x1a#\0\n\r\x1a", 8), {},
       {0x0A0D, 0x231A, 0x0A00, 0x1A0D}},
      // BINARY refuses an unknown type in the header check; another format name does not.
      // Either way it reads as zeros sized as four bytes.
      {1, binary("INT8", "DOS", "RAW"), std::string(12, '\x55'), {}, {0, 0, 0}},
      {1, binary("INT8", "DOS"), std::string(8, '\x01'), {GEF_E_NOTE}, {0, 0}},
      {1, "#DATAFORMAT= RAW\r\n", encode(-7.25, 8, false), {}, {-7.25}}, // no type: REAL8
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.head);
    ASSERT_EQ(read(header(c.columns, c.head) + c.data), 1);
    EXPECT_EQ(error_codes(), c.codes);
    ASSERT_EQ(scans() * c.columns, int(c.values.size()));
    for (int s = 1; s <= scans(); ++s)
      for (int col = 1; col <= c.columns; ++col)
        EXPECT_EQ(value(s, col), c.values[std::size_t((s - 1) * c.columns + col - 1)]);
    expect_consistent(c.columns);
  }
}

TEST_F(BinaryTest, BlockSpanningManyReadsKeepsEveryValueInPlace) {
  // 7 columns of INT4 make a scan of 28 bytes, which no read size divides evenly.
  const int columns = 7, count = 20011;
  std::string data;
  for (int s = 0; s < count; ++s)
    for (int c = 0; c < columns; ++c) data += encode(s * 10 + c - 35000, 4, true);
  ASSERT_EQ(read(header(columns, binary("LONG", "UNIX")) + data + "xyz"), 1);
  EXPECT_TRUE(errors().empty()) << message(0);
  ASSERT_EQ(scans(), count);
  int wrong = 0;
  for (int s = 1; s <= count; ++s)
    for (int c = 1; c <= columns; ++c) wrong += value(s, c) != (s - 1) * 10 + (c - 1) - 35000;
  EXPECT_EQ(wrong, 0);
  expect_consistent(columns);
}

} // namespace
} // namespace gef::test
