// SPDX-License-Identifier: MIT
// The data conversion: each method, the scan ranges, consumption and the refusals.
#include <algorithm>

#include "gef/error_codes.h"
#include "support/document_fixture.h"

namespace gef::test {
namespace {

class Volt2physTest : public DocumentTest {
protected:
  Volt2physTest() : DocumentTest(2, 5) {}
  void SetUp() override {
    DocumentTest::SetUp();
    set_columninfo(1, "V", "raw", 2);
    set_columninfo(2, "-", "factor", 13);
    const double operand[] = {2, 2, 0, 2, 2};
    for (int s = 1; s <= 5; ++s) set_data(1, s, s), set_data(2, s, operand[s - 1]);
    set_columnminmax(1, 1, 5);
    reset_error_list(document());
  }
};

constexpr double kVoid = -10000000.0;

TEST_F(Volt2physTest, MethodsRangesAndConsumption) {
  const struct {
    std::vector<const char*> conversions; // old quantity, first scan, method, information
    int result;
    std::vector<double> target; // column 1 afterwards
    bool kept;                  // the first occurrence is still there
  } cases[] = {
      {{"2, 1, multiply, 13"}, 1, {2, 4, 0, 8, 10}, false},
      {{"2, 1, ADD, 13", "2, 4, ADD,  13 "}, 1, {3, 4, 3, 6, 7}, false}, // ascending
      {{"2, 4, ADD, 13", "2, 1, ADD, 13"}, 1, {3, 4, 3, 8, 9}, false},   // descending
      {{"2, 2, SUBSTRACT, 13"}, 1, {1, 0, 3, 2, 3}, false},
      {{"2, 1, RATIO, 13"}, 1, {0.5, 1, kVoid, 2, 2.5}, false}, // by zero
      {{"2, 1, POLYNOMIAL, 3;0.5;2;0.1"}, 1, {2.6, 4.9, 7.4, 10.1, 13}, false},
      {{"2, 1, OFFSET, 2;0.0"}, 1, {-1, 0, 1, 2, 3}, false},
      {{"2, 1, OFFSET, 3"}, 1, {-2, -1, 0, 1, 2}, false}, // offset value empty
      {{"2, 1, user-table, x"}, 1, {1, 2, 3, 4, 5}, true},
      {{"2, 1, DIVIDE, 13"}, 0, {1, 2, 3, 4, 5}, false}, // illegal: removed with a note
      {{"2, 0, ADD, 13", "2, 6, ADD, 13"}, 1, {1, 2, 3, 4, 5}, false}, // starts outside
      {{"7, 1, ADD, 13"}, 0, {1, 2, 3, 4, 5}, true},                   // no target
      {{"2, 1, ADD, 99"}, 0, {1, 2, 3, 4, 5}, true},                   // no operand
      {{"2, 1, POLYNOMIAL, 0;1"}, 0, {1, 2, 3, 4, 5}, true},
      {{"2, 1, POLYNOMIAL, 3;1;2"}, 0, {1, 2, 3, 4, 5}, true},
      {{"2, 1, POLYNOMIAL, 2;;1"}, 0, {1, 2, 3, 4, 5}, true},
      {{"2, 1, POLYNOMIAL, 2;1;2x"}, 0, {1, 2, 3, 4, 5}, true},
      {{"2, 1, OFFSET, 6;0"}, 0, {1, 2, 3, 4, 5}, true}, // offset scan outside
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.conversions[0]);
    TearDown();
    SetUp();
    // A single occurrence also renames its target; a renamed target is not found again.
    const bool renames = c.conversions.size() == 1;
    for (std::size_t i = 0; i < c.conversions.size(); ++i)
      store_line("DATACONVERSION= " + std::to_string(i + 1) + ", " + c.conversions[i] +
                 (renames ? ", kPa, Conus, 102" : ""));
    EXPECT_EQ(volt2phys(), c.result);
    for (int s = 1; s <= 5; ++s) EXPECT_NEAR(get_data(1, s), c.target[s - 1], 1e-12) << s;
    for (int i = 0; i < 250; ++i)
      EXPECT_EQ(entry_of(KW_DATACONVERSION, i).present, i == 0 && c.kept ? 1 : 0) << i;
    const bool illegal = c.result == 0 && !c.kept;
    const std::vector<ErrorEntry> note = {{GEF_E_NOTE, kTextSubject, 0, 0, 4}};
    EXPECT_EQ(errors(), illegal ? note : std::vector<ErrorEntry>{});
    const bool applied = renames && !c.kept && !illegal;
    EXPECT_EQ(stored(KW_COLUMNINFO, 0), applied ? "7: kPa, Conus, 102" : "7: V, raw, 2");
    if (applied) {
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
