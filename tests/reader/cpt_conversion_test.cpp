// SPDX-License-Identifier: MIT
// Reading a CPT report 1.0.0: lengths and depths turned positive, header items added.
#include "reader/reader_fixture.h"

namespace gef::test {
namespace {

std::string report(const std::string& version, const std::string& extra, const std::string& data) {
  return "#GEFID= 1, 1, 0\n#PROCEDURECODE= GEF-CPT-Report, " + version +
         "\n#COLUMN= 2\n#COLUMNINFO= 1, m, lengte, 1\n#COLUMNINFO= 2, m, diepte, 11\n" + extra +
         "#EOH=\n" + data;
}

using CptConversionTest = ReaderTest;

TEST_F(CptConversionTest, OldReportsTurnPositive) {
  const std::vector<ErrorEntry> flipped = {{GEF_E_CPT_NOTE, 10000, 0, 0, 15}};
  // clang-format off
  const struct {
    const char* name;
    std::string extra, data;
    std::vector<double> length, depth;
    std::vector<ErrorEntry> notes;
  } cases[] = {
      {"falling", "", "0 0\n-0.02 -0.02\n-0.04 -0.04\n-0.06 -0.06\n",
       {0, 0.02, 0.04, 0.06}, {0, 0.02, 0.04, 0.06}, flipped},
      {"rising with a stray", "", "0 0\n0.02 -0.02\n0.04 0.04\n0.06 0.06\n",
       {0, 0.02, 0.04, 0.06}, {0, 0.02, 0.04, 0.06}, {}},
      // The void value turns positive with its column and stays out of the range.
      {"falling with voids", "#COLUMNVOID= 1, -9999\n#COLUMNMINMAX= 1, -0.06, 0\n",
       "0 0\n-9999 -0.02\n-9999 -0.04\n-0.06 -0.06\n-0.08 -0.08\n",
       {0, 9999, 9999, 0.06, 0.08}, {0, 0.02, 0.04, 0.06, 0.08}, flipped},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(read(report("1, 0, 0", c.extra, c.data)), 1);
    EXPECT_EQ(column_values(1), c.length);
    EXPECT_EQ(column_values(2), c.depth);
    EXPECT_EQ(errors_with(GEF_E_CPT_NOTE), c.notes);
    EXPECT_EQ(stored(KW_ZID), "7: 31000, 0, 0.01");
    EXPECT_STREQ(entry_of(KW_MEASUREMENTTEXT, 8).field[0].s, "Maaiveld");
    EXPECT_EQ(g_document.input_mode, GETAL);
    EXPECT_EQ(g_library.conversion_stamp, 1);
    if (!c.extra.empty()) {
      EXPECT_EQ(stored(KW_COLUMNVOID), "1: 9999");
      EXPECT_EQ(entry_of(KW_COLUMNMINMAX).field[0].d, 0.0); // the voids stay out of the range
      EXPECT_EQ(entry_of(KW_COLUMNMINMAX).field[1].d, 0.08);
    }
  }
}

TEST_F(CptConversionTest, OnlyOldReportsConvertAndFailuresSayWhy) {
  ASSERT_EQ(read(report("1, 1, 0", "", "0 0\n-0.02 -0.02\n-0.04 -0.04\n")), 1);
  EXPECT_EQ(value(2, 1), -0.02);
  EXPECT_EQ(entry_of(KW_ZID).present, 0);
  EXPECT_EQ(g_library.conversion_stamp, 0);

  EXPECT_EQ(read(report("1, 0, 0", "", "0 0\n")), 0); // one scan
  EXPECT_EQ(errors().back(), (ErrorEntry{GEF_E_CPT_NOTE, 10000, 0, 0, 12}));
  EXPECT_EQ(g_library.conversion_stamp, 0);
}

} // namespace
} // namespace gef::test
