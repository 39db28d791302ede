// SPDX-License-Identifier: MIT
// The DIF export: the table's exact shape, its own void test, and the document left alone.
#include "writer/writer_fixture.h"

namespace gef::test {
namespace {

class WriteDifTest : public WriterTest {
protected:
  WriteDifTest() : WriterTest(2, 3) {}
  std::string dif() {
    EXPECT_EQ(write_dif(path("out.dif").c_str()), 1);
    return slurp_file(path("out.dif"));
  }
};

// The lines of the table, given separated by '|', each ended with CR LF.
std::string crlf(const std::string& lines) {
  std::string out = "TABLE|0,1|\"TABELNAAM\"|VECTORS|0,2|\"\"|TUPLES|" + lines + "|";
  for (std::size_t p; (p = out.find('|')) != std::string::npos;) out.replace(p, 1, "\r\n");
  return out;
}

TEST_F(WriteDifTest, WritesLabelsNumbersAndBlankVoids) {
  store_line("COLUMNINFO= 1, MPa, qc, 2");
  store_text(KW_COLUMNINFO, "2"); // no labels given
  store_line("COLUMNVOID= 1, -9999");
  store_line("COLUMNVOID= 2, 0");
  set_data(1, 1, 1.5);
  set_data(1, 2, -9999);
  set_data(2, 2, 1e-7);
  set_data(2, 3, 2.25);
  const std::size_t entries = errors().size();
  EXPECT_EQ(dif(), crlf("0,7|\"\"|DATA|0,0|\"\"|-1,0|BOT|1,0|\"qc\"|1,0|\"\"|-1,0|BOT|1,0|\"MPa\"|"
                        "1,0|\"\"|-1,0|BOT|0,1.500000|V|1,0|\" \"|-1,0|BOT|1,0|\" \"|0,0.000000|V|"
                        "-1,0|BOT|0,0.000000|V|0,2.250000|V|-1,0|EOD"));
  EXPECT_EQ(errors().size(), entries);
}

TEST_F(WriteDifTest, EndsAfterTheUnitsWithoutScansAndQuotesLabels) {
  restart(2, 0);
  store_text(KW_COLUMNINFO, "1");
  entry_of(KW_COLUMNINFO).field[1].s = copy_text("say \"hi\"\n");
  EXPECT_EQ(dif(), crlf("0,4|\"\"|DATA|0,0|\"\"|-1,0|BOT|1,0|\"say \"\"hi\"\" \"|1,0|\"\"|-1,0|"
                        "BOT|1,0|\"\"|1,0|\"\"|-1,0|EOD"));
}

TEST_F(WriteDifTest, StaysInsideTheDataBlockAndReportsNothingOnFailure) {
  entry_of(KW_COLUMN).field[0].i = 300; // beyond the block: labels empty, no scan rows
  const std::string text = dif();
  EXPECT_NE(text.find("VECTORS\r\n0,300\r\n"), std::string::npos);
  EXPECT_NE(text.find("TUPLES\r\n0,4\r\n"), std::string::npos);
  entry_of(KW_COLUMN).field[0].i = -3;
  EXPECT_NE(dif().find("VECTORS\r\n0,0\r\n"), std::string::npos);
  const std::size_t entries = errors().size();
  EXPECT_EQ(write_dif(path("missing/out.dif").c_str()), 0);
  EXPECT_EQ(errors().size(), entries);
}

} // namespace
} // namespace gef::test
