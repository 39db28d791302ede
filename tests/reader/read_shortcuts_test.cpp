// SPDX-License-Identifier: MIT
// The reader's shortcuts give what the long way gives: decimals, value-list sizing, header window.
#include <cmath>
#include <random>

#include "document/convert.h"
#include "reader/header_parser.h"
#include "reader/reader_fixture.h"

namespace gef::test {
namespace {

using ShortcutTest = ReaderTest;

// strtod is the reference for every number the data readers see, through either entry.
void expect_like_strtod(const std::string& text, bool inline_entry = false) {
  double mine = -12345;
  const char* const last = text.data() + text.size();
  const char* end = inline_entry ? parse_number(text.data(), last, &mine)
                                 : parse_double(text.data(), last, &mine);
  char* ref_end = nullptr;
  const double ref = std::strtod(text.c_str(), &ref_end);
  ASSERT_EQ(end - text.data(), ref_end - text.c_str()) << text;
  if (ref_end != text.c_str() && std::isnan(ref)) {
    EXPECT_TRUE(std::isnan(mine)) << text;
  } else if (ref_end != text.c_str()) {
    EXPECT_EQ(mine, ref) << text;
    EXPECT_EQ(std::signbit(mine), std::signbit(ref)) << text;
  }
}

TEST(PlainDecimal, DecimalsMatchStrtodBitForBit) {
  // clang-format off
  for (const char* text : {"0", "-0", "-0.0", "7.", ".5", ".", "-.", "1.2.3", "0x1A", "0.x",
                           "123456789012345", "1234567890123456", "0.000000000000001",
                           "0.0000000000000001", "999999999999999.", "9007199254740993", "12.345",
                           "  \t12.345", "+1.5", "+-1", "1e", "1.5e+", "inf", "nan",
                           "00000000000000000001.5", "4.35", "0.1", "0.3", "9007199254740992",
                           "9007199254740992e22", "9007199254740993e-22", "1e22", "1e23",
                           "1e-22", "1e-23", "123E-2", "1e5.3", "1e00005", "0e999", "-0e-5",
                           "0.2471782714", "553.334", "1234567812345678.5", "2.5e-0000",
                           "0.00000000000000000000000001", "12345678.87654321", "1.7976931348623157e308",
                           "4.9e-324", "2.2250738585072011e-308", "1.00000000000000011102230246251565"}) {
    expect_like_strtod(text);
    if (text[0] != ' ') expect_like_strtod(text, true);
  }
  // clang-format on
  std::mt19937_64 rng(2024);
  for (int i = 0; i < 300000; ++i) {
    const int digits = 1 + int(rng() % 19);
    std::string text = rng() % 4 == 0 ? "-" : rng() % 16 == 0 ? "+" : "";
    if (rng() % 8 == 0) text.append(rng() % 4, '0');
    const int dot = int(rng() % std::uint64_t(digits + 1));
    for (int d = 0; d < digits; ++d) {
      if (d == dot) text += '.';
      text += char('0' + rng() % 10);
    }
    if (rng() % 8 == 0) text += '.';
    if (rng() % 3 == 0) {
      text += "eE"[rng() % 2];
      if (rng() % 2) text += "+-"[rng() % 2];
      text += std::to_string(rng() % 40);
    }
    static const char* const tails[] = {"", " 1", ";", "\r\n", "!", "e", "e3", "E-2", "x", "abc"};
    text += tails[rng() % 10];
    expect_like_strtod(text, i % 2 == 0);
  }
}

TEST_F(ShortcutTest, DataWithFewNumbersAtTheStartStillReadsEveryValue) {
  // The value list is sized from the first bytes, which here hold almost nothing.
  std::string data(6000, ' ');
  for (int i = 0; i < 30000; ++i) data += std::to_string(i) + ".5 " + std::to_string(-i) + "\n";
  ASSERT_EQ(read(header(2) + data), 1);
  EXPECT_TRUE(errors().empty());
  ASSERT_EQ(scans(), 30000);
  int wrong = 0;
  for (int s = 1; s <= 30000; ++s) wrong += value(s, 1) != s - 0.5 || value(s, 2) != 1 - s;
  EXPECT_EQ(wrong, 0);
}

// Lines of growing length (one nearly a window long) put every line end across a window boundary.
TEST_F(ShortcutTest, HeaderLinesAndEohAtEveryOffsetAroundTheWindow) {
  std::string extra;
  int comments = 0;
  for (int len = 1; extra.size() < std::size_t(3 * kWindowSize); len += 37) {
    const std::size_t fill = ++comments == 50 ? 15000 : std::size_t(len % 1000);
    extra += "#COMMENT= " + std::to_string(comments) + " " + std::string(fill, 'c') + "\r\n";
  }
  ASSERT_EQ(read(header(1, extra) + "4.25\r\n"), 1);
  EXPECT_TRUE(errors().empty()) << message(0);
  EXPECT_EQ(value(1, 1), 4.25);
  for (int k = 0; k < comments; ++k) {
    const char* t = entry_of(KW_COMMENT, k).field[0].s;
    EXPECT_EQ(t != nullptr ? std::atoi(t) : 0, k + 1);
  }

  for (int pad = kWindowSize - 40; pad <= kWindowSize + 10; pad += 3) {
    const std::string line = "#COMMENT= " + std::string(std::size_t(pad - 200), 'p') + "\r\n";
    ASSERT_EQ(read(header(1, line) + "1.5 2.5\r\n"), 1) << pad;
    EXPECT_TRUE(errors().empty()) << pad << ": " << message(0);
    ASSERT_EQ(scans(), 2) << pad;
    EXPECT_EQ(value(2, 1), 2.5) << pad;
  }
  // A line of ten fields across the window still ends the header.
  extra = "#COMMENT= " + std::string(kWindowSize - 300, 'x') + "\r\n";
  extra += "#COMMENT= 1,2,3,4,5,6,7,8,9," + std::string(500, 'y') + "\r\n";
  EXPECT_EQ(read(header(1, extra) + "1\r\n"), 0);
  EXPECT_TRUE(has_error(GEF_E_EOH_MISSING));
}

} // namespace
} // namespace gef::test
