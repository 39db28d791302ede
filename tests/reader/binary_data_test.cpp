// SPDX-License-Identifier: MIT
// Binary data blocks: every element type and alias, both byte orders, partial scans, unknown types.
#include <cmath>
#include <cstring>
#include <limits>

#include "reader/reader_fixture.h"

namespace gef::test {
namespace {

using BinaryTest = ReaderTest;

// The header lines of a binary block of `type`; no OS line when `os` is empty.
std::string binary(const std::string& type, const std::string& os,
                   const std::string& format = "BINARY") {
  return "#DATAFORMAT= " + format + "\r\n#DATATYPE= " + type + "\r\n" +
         (os.empty() ? "" : "#OS= " + os + "\r\n");
}

// `v` as an element of `size` bytes (2, 4: integers, 5: float, 8: double) in the given order.
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

TEST_F(BinaryTest, EveryTypeAndAliasInBothByteOrders) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> shorts = {0, 1, -1, 258, -32768, 32767};
  const std::vector<double> longs = {0, -1, 65536, 16909060, -2147483648.0, 2147483647.0};
  const std::vector<double> floats = {0.5, -1.25, double(0.1f), double(-3.4e38f), 1.0e-40, inf};
  const std::vector<double> doubles = {0.1, -2.5e300, 4.9e-324, 1.0 / 3.0, -0.0, -inf};
  // Byte order by OS name in any case; other format names than BINARY may leave OS unknown (read
  // big-endian) or out (read little-endian).
  const struct {
    const char* name;
    int size;
    const std::vector<double>& values; // exactly representable in the type
    const char *little = "DOS", *big = "UNIX", *format = "BINARY";
  } cases[] = {
      // clang-format off
      {"INT", 2, shorts}, {"INT2", 2, shorts, "LE", "BE", "binair"}, {"Long", 4, longs},
      {"int2", 2, shorts, "le", "be"}, {"INT4", 4, longs, "", "VMS", "RAW"},
      {"LONG", 4, longs, "Dos", "unix"},
      {"FLOAT", 5, floats}, {"REAL4", 5, floats}, {"real4", 5, floats},
      {"DOUBLE", 8, doubles}, {"REAL8", 8, doubles}, {"double", 8, doubles},
      // clang-format on
  };
  for (const auto& t : cases) {
    for (const bool be : {false, true}) {
      SCOPED_TRACE(std::string(t.name) + (be ? " big-endian" : " little-endian"));
      std::string data;
      for (double v : t.values) data += encode(v, t.size, be);
      ASSERT_EQ(read(header(2, binary(t.name, be ? t.big : t.little, t.format)) + data), 1);
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

TEST_F(BinaryTest, OnlyWholeScansOfKnownTypesAreRead) {
  // clang-format off
  const struct {
    int columns;
    std::string head, data;
    std::vector<int> codes;
    std::vector<double> values;
  } cases[] = {
      // Trailing bytes short of a scan make none.
      {2, binary("REAL4", "DOS"), encode(1.5, 5, false) + encode(-2, 5, false) + "\x7f\x7f", {},
       {1.5, -2}},
      {3, binary("REAL8", "DOS"), std::string(23, '\x01'), {}, {}},
      {2, binary("INT4", "UNIX"), "", {}, {}},
      // Line ends, a DOS end mark, a `#` and a zero byte carry no meaning in a binary block.
      {2, binary("INT2", "DOS"), std::string("\r\n\x1a#\0\n\r\x1a", 8), {},
       {0x0A0D, 0x231A, 0x0A00, 0x1A0D}},
      // An unknown type reads as four-byte zeros; only BINARY reports it.
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
  // Scans of 28 bytes straddle every read buffer boundary.
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
