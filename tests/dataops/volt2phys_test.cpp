// SPDX-License-Identifier: MIT
// The data conversion: each method, the scan ranges, consumption and the refusals.
#include <algorithm>

#include "gef/error_codes.h"
#include "support/document_fixture.h"

namespace gef::test {
namespace {

struct Conversion {
  int qn_old, scan;
  const char* method;
  const char* info;
};

struct Case {
  const char* name;
  std::vector<Conversion> conversions;
  int result;
  std::vector<double> target; // column 1 afterwards
  std::vector<int> kept;      // slots still present
};

class Volt2physTest : public DocumentTest {
protected:
  void SetUp() override {
    columns_ = 2;
    scans_ = 5;
    DocumentTest::SetUp();
    set_columninfo(1, "V", "raw", 2);
    set_columninfo(2, "-", "factor", 13);
    const double operand[] = {2, 2, 0, 2, 2};
    for (int s = 1; s <= 5; ++s) set_data(1, s, s), set_data(2, s, operand[s - 1]);
    set_columnminmax(1, 1, 5);
    reset_error_list(g_document);
  }
};

constexpr double kVoid = -10000000.0;

TEST_F(Volt2physTest, MethodsRangesAndConsumption) {
  const Case cases[] = {
      {"multiply", {{2, 1, "multiply", "13"}}, 1, {2, 4, 0, 8, 10}, {}},
      {"add ascending", {{2, 1, "ADD", "13"}, {2, 4, "ADD", " 13 "}}, 1, {3, 4, 3, 6, 7}, {}},
      {"add descending", {{2, 4, "ADD", "13"}, {2, 1, "ADD", "13"}}, 1, {3, 4, 3, 8, 9}, {}},
      {"substract from 2", {{2, 2, "SUBSTRACT", "13"}}, 1, {1, 0, 3, 2, 3}, {}},
      {"ratio by zero", {{2, 1, "RATIO", "13"}}, 1, {0.5, 1, kVoid, 2, 2.5}, {}},
      {"polynomial", {{2, 1, "POLYNOMIAL", "3;0.5;2;0.1"}}, 1, {2.6, 4.9, 7.4, 10.1, 13}, {}},
      {"offset", {{2, 1, "OFFSET", "2;0.0"}}, 1, {-1, 0, 1, 2, 3}, {}},
      {"offset value empty", {{2, 1, "OFFSET", "3"}}, 1, {-2, -1, 0, 1, 2}, {}},
      {"user kept", {{2, 1, "user-table", "x"}}, 1, {1, 2, 3, 4, 5}, {1}},
      {"illegal removed", {{2, 1, "DIVIDE", "13"}}, 0, {1, 2, 3, 4, 5}, {}},
      {"start outside", {{2, 0, "ADD", "13"}, {2, 6, "ADD", "13"}}, 1, {1, 2, 3, 4, 5}, {}},
      {"no target", {{7, 1, "ADD", "13"}}, 0, {1, 2, 3, 4, 5}, {1}},
      {"no operand", {{2, 1, "ADD", "99"}}, 0, {1, 2, 3, 4, 5}, {1}},
      {"count zero", {{2, 1, "POLYNOMIAL", "0;1"}}, 0, {1, 2, 3, 4, 5}, {1}},
      {"count too large", {{2, 1, "POLYNOMIAL", "3;1;2"}}, 0, {1, 2, 3, 4, 5}, {1}},
      {"empty piece", {{2, 1, "POLYNOMIAL", "2;;1"}}, 0, {1, 2, 3, 4, 5}, {1}},
      {"not a number", {{2, 1, "POLYNOMIAL", "2;1;2x"}}, 0, {1, 2, 3, 4, 5}, {1}},
      {"offset scan out", {{2, 1, "OFFSET", "6;0"}}, 0, {1, 2, 3, 4, 5}, {1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    int slot = 0;
    // A single occurrence also renames its target; a renamed target is not found again.
    const bool renames = c.conversions.size() == 1;
    for (const Conversion& v : c.conversions)
      store_line("DATACONVERSION= " + std::to_string(++slot) + ", " + std::to_string(v.qn_old) +
                 ", " + std::to_string(v.scan) + ", " + v.method + ", " + v.info +
                 (renames ? ", kPa, Conus, 102" : ""));
    EXPECT_EQ(volt2phys(), c.result);
    for (int s = 1; s <= 5; ++s) EXPECT_NEAR(get_data(1, s), c.target[s - 1], 1e-12) << s;
    std::vector<int> kept;
    for (int i = 0; i < 250; ++i)
      if (entry_of(KW_DATACONVERSION, i).present != 0) kept.push_back(i + 1);
    EXPECT_EQ(kept, c.kept);
    const bool illegal = std::string(c.name) == "illegal removed";
    const std::vector<ErrorEntry> expected =
        illegal ? std::vector<ErrorEntry>{{GEF_E_NOTE, kTextSubject, 0, 0, 4}}
                : std::vector<ErrorEntry>{};
    EXPECT_EQ(errors(), expected);
    const bool applied =
        renames && c.kept.empty() && !illegal && std::string(c.name) != "start outside";
    EXPECT_EQ(entry_of(KW_COLUMNINFO, 0).field[2].i, applied ? 102 : 2);
    if (applied) {
      EXPECT_STREQ(entry_of(KW_COLUMNINFO, 0).field[1].s, "Conus");
      EXPECT_EQ(entry_of(KW_COLUMNMINMAX, 0).field[1].d,
                *std::max_element(c.target.begin(), c.target.end()));
    }
  }
}

TEST_F(Volt2physTest, RangesAreClippedToTheData) {
  set_lastscan(5);
  entry_of(KW_LASTSCAN).field[0].i = 40; // beyond the data
  store_line("DATACONVERSION= 1, 2, 5, MULTIPLY, 13");
  store_line("DATACONVERSION= 2, 2, 30, MULTIPLY, 13");
  EXPECT_EQ(volt2phys(), 1);
  for (int s = 1; s <= 5; ++s) EXPECT_EQ(get_data(1, s), s == 5 ? 10 : s);
  EXPECT_EQ(entry_of(KW_DATACONVERSION, 1).present, 0);
}

} // namespace
} // namespace gef::test
