// SPDX-License-Identifier: MIT
// Cone-penetration computations against small hand-computed tables.
#include <algorithm>
#include <cmath>
#include <limits>

#include "gef/error_codes.h"
#include "support/document_fixture.h"
#include "support/files.h"

namespace gef::test {
namespace {

constexpr double kVoid = -10000000.0;

class CptCorrectionsTest : public DocumentTest {
protected:
  // A fresh document with one column per entry of `qns` holding `values[k]`.
  void make(const std::vector<int>& qns, const std::vector<std::vector<double>>& values) {
    restart(int(qns.size()), int(values[0].size()));
    for (std::size_t c = 0; c < qns.size(); ++c) {
      set_columninfo(int(c) + 1, "u", "q", qns[c]);
      for (std::size_t s = 0; s < values[c].size(); ++s)
        set_data(int(c) + 1, int(s) + 1, values[c][s]);
    }
    reset_error_list(document());
  }
  void expect_column(int c, const std::vector<double>& expected) {
    ASSERT_EQ(document().scan_count, int(expected.size()));
    for (int s = 1; s <= document().scan_count; ++s)
      EXPECT_NEAR(get_data(c, s), expected[s - 1], 1e-12) << "scan " << s;
  }
};

const std::vector<double> kLength = {0, 0.1, 0.2, 0.3, 0.4, 0.5};
const std::vector<double> kCone = {1, 2, 3, kVoid, 5, 6};
const std::vector<double> kFriction = {0.1, 0.2, -1, 0.5, 1.1, 0.6};

TEST_F(CptCorrectionsTest, FrictionRatioAveragesTheWindowAndWritesZeros) {
  // Sleeve of about 0.1338 m: each window holds the two cone readings around the scan.
  const std::vector<double> ratios[] = {{0, 8, 0, 10, 20, 0}, {0, 0, 0, 50.0 / 3, 22, 60 / 5.5}};
  for (int shift : {0, 1}) {
    make({1, 2, 3}, {kLength, kCone, kFriction});
    set_measurementvar(1, 1000, "mm2", "");
    set_measurementvar(2, 15000, "mm2", "");
    EXPECT_EQ(calc_rf(shift), 1);
    expect_column(4, ratios[shift]);
    EXPECT_EQ(stored(KW_COLUMNINFO, 3), "7: %, Wrijvingsgetal, 4");
    EXPECT_EQ(entry_of(KW_COLUMNVOID, 3).field[0].d, 0.0);
    EXPECT_EQ(entry_of(KW_COLUMNMINMAX, 3).field[0].d, 0.0); // a void of 0 never matches
    for (int col = 0; col < 3; ++col) EXPECT_EQ(entry_of(KW_COLUMNVOID, col).field[0].d, kVoid);
    EXPECT_EQ(stored(KW_MEASUREMENTVAR, 4),
              shift ? "7: 100, mm, afstand van de tip tot midden wrijvingsmantel" : "absent");
    EXPECT_EQ(calc_rf(shift), 0); // the ratio column is there now
  }
  make({1, 2, 3}, {kLength, kCone, {999.999, 0.2, 0.3, 0.5, 1.1, 0.6}});
  set_columnvoid(3, 999.999); // a positive void friction reading gives no ratio
  set_measurementvar(1, 0, "mm2", "");
  set_measurementvar(2, 15000, "mm2", ""); // an area of 0: the default sleeve length
  EXPECT_EQ(calc_rf(0), 1);
  expect_column(4, {0, 8, 10, 10, 20, 0});
  make({1, 3}, {kLength, kFriction});
  EXPECT_EQ(calc_rf(0), 2); // no cone resistance: the lookup reports it
  EXPECT_EQ(error_codes(), std::vector<int>{GEF_E_COLUMN_OUT_OF_RANGE});
  make({1, 2}, {kLength, kCone});
  EXPECT_EQ(calc_rf(0), 0);
  std::vector<int> qns(250, 20);
  qns[0] = 1, qns[1] = 2, qns[2] = 3;
  make(qns, std::vector<std::vector<double>>(250, kLength));
  EXPECT_EQ(calc_rf(0), 2); // a 251st column is refused
  EXPECT_EQ(error_codes(), std::vector<int>{GEF_E_TOO_MANY_COLUMNS});
}

TEST_F(CptCorrectionsTest, DepthFollowsTheInclination) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), r = std::sqrt(0.5),
               t = std::sqrt(1 / 3.0);
  const std::vector<double> steps = {0, 1, 2, 3};
  const struct {
    std::vector<int> qns;
    std::vector<std::vector<double>> columns;
    std::vector<double> depth;
  } cases[] = {
      // clang-format off
      {{1, 8}, {steps, {0, 0, 0, 0}}, {0, 1, 2, 3}},
      {{1, 8}, {steps, {60, 60, nan, 60}}, {0, 0.5, 1.5, 2.0}},
      {{1, 9, 10}, {steps, {45, 0, 45, 0}, {0, 45, 45, 0}}, {0, r, r + t, 1 + r + t}},
      {{1, 8, 9}, {steps, {60, 60, 60, 60}, {45, 45, 45, 45}}, {0, 0.5, 1.0, 1.5}}, // the resultant
      // clang-format on
  };
  for (const auto& c : cases) {
    make(c.qns, c.columns);
    EXPECT_EQ(gca_add_diepte(), 1);
    const int added = int(c.qns.size()) + 1;
    expect_column(added, c.depth);
    EXPECT_EQ(entry_of(KW_COLUMNINFO, added - 1).field[2].i, 11);
    EXPECT_EQ(gca_add_diepte(), 1);
    EXPECT_EQ(get_column(), added); // nothing added the second time
  }
  make({1, 2}, {{0, 1}, {0, 0}});
  EXPECT_EQ(gca_add_diepte(), 0);
  // Void lengths are carried, and are no minimum.
  make({1, 8}, {{0, 1, -9999, 3, 4}, {60, 60, 60, 60, 60}});
  set_columnvoid(1, -9999);
  EXPECT_EQ(gca_add_diepte(), 1);
  expect_column(3, {0, 0.5, -9999, 2.5, 3.0});
  EXPECT_EQ(entry_of(KW_COLUMNVOID, 2).field[0].d, -9999);
  EXPECT_EQ(entry_of(KW_COLUMNMINMAX, 2).field[0].d, 0.0);
  EXPECT_EQ(entry_of(KW_COLUMNMINMAX, 2).field[1].d, 3.0);
}

TEST_F(CptCorrectionsTest, PreExcavationFollowsTheDirectionAndKeepsVoids) {
  const struct {
    std::vector<double> length;
    bool keep_sign;
    std::vector<double> shifted;
  } cases[] = {
      {{1, 2, -9999, 3}, false, {2.5, 3.5, -9999, 4.5}},
      {{1, 2, -9999, 3}, true, {-0.5, 0.5, -9999, 1.5}},
      {{-1, -2, -9999, -3}, false, {-2.5, -3.5, -9999, -4.5}},
      {{-9999, 1, 2, 3}, false, {-9999, 2.5, 3.5, 4.5}}, // direction from valid readings
  };
  for (const auto& c : cases) {
    make({1}, {c.length});
    set_columnvoid(1, -9999);
    set_measurementvar(13, -1.5f, "m", "");
    EXPECT_EQ(c.keep_sign ? gca_pre_excavate_corr() : gca_pre_excavate(), 1);
    expect_column(1, c.shifted);
  }
  make({1}, {{1, 2}});
  EXPECT_EQ(gca_pre_excavate(), 0); // no pre-excavation depth
  set_measurementvar(13, 0.0f, "m", "");
  EXPECT_EQ(gca_pre_excavate(), 1);
  make({1}, {{1}});
  set_measurementvar(13, 1.0f, "m", "");
  EXPECT_EQ(gca_pre_excavate(), 0); // one scan
  expect_column(1, {1});
}

TEST_F(CptCorrectionsTest, ShiftToTheConeTipByFiveScans) {
  std::vector<double> length, friction;
  for (int s = 0; s < 10; ++s) length.push_back(0.02 * s), friction.push_back(s);
  for (double w : {0.0, -9999.0}) {
    make({1, 3}, {length, friction});
    if (w != 0) set_columnvoid(2, w);
    set_columnminmax(2, 0, 9);
    EXPECT_EQ(gca_shift_friction(), 1);
    const double v = w != 0 ? w : kVoid;
    expect_column(2, {5, 6, 7, 8, 9, v, v, v, v, v});
    EXPECT_EQ(stored(KW_COLUMNMINMAX, 1), "3: 5, 9");
    EXPECT_STREQ(entry_of(KW_MEASUREMENTVAR, 4).field[2].s,
                 "Verstekwaarde afstand van de tip tot midden wrijvingsmantel");
  }
  make({2, 4}, {length, friction});
  EXPECT_EQ(gca_shift_rf(), 0); // no penetration length
  EXPECT_EQ(error_codes(), std::vector<int>{GEF_E_COLUMN_OUT_OF_RANGE});
  expect_column(2, friction);
}

TEST_F(CptCorrectionsTest, ReorderMovesFormatsBitsAndReferences) {
  make({3, 1, 2}, {{30, 31}, {10, 11}, {20, 21}});
  set_reportdataformat("F5.0 F6.1 F7.2");
  set_columnvoid(1, -1);
  set_timecolumn(1, 1, "s");
  EXPECT_EQ(gcr_shift_columns(), 1);
  expect_column(1, {10, 11});
  expect_column(3, {30, 31});
  for (int c = 1; c <= 3; ++c) EXPECT_EQ(entry_of(KW_COLUMNINFO, c - 1).field[2].i, c);
  EXPECT_EQ(stored(KW_COLUMNVOID, 2), "1: -1");
  EXPECT_EQ(stored(KW_COLUMNVOID, 0), "absent");
  EXPECT_STREQ(entry_of(KW_REPORTDATAFORMAT).field[0].s, "F6.1 F7.2 F5.0");
  EXPECT_EQ(entry_of(KW_TIMECOLUMN).field[0].i, 3);
  make({2, 1}, {{1}, {2}});
  entry_of(KW_COLUMNINFO, 1).bits = 3; // quantity number never given
  EXPECT_EQ(gcr_shift_columns(), 0);
  expect_column(1, {1});
}

// Real files against an independent recomputation: of whole columns (scan 0: their sums) and of
// single scans; one file has an inclination in two components, the other the resultant.
TEST(CptCorpusTest, FrictionRatioAndDepthOfRealFiles) {
  const struct {
    const char* file;
    int scan;
    double rf, depth;
  } cases[] = {
      {"leveelogic_old/02.gef", 0, 1986.5909887285102, 31256.930656162396},
      {"leveelogic_old/02.gef", 100, 0.89858106714142705, 0.98988093781096176},
      {"leveelogic_old/02.gef", 1000, 0.39089164899525408, 9.9888306603302688},
      {"leveelogic_old/02.gef", 2501, 0, 24.990424469278015},
      {"leveelogic_old/C02-320.GEF", 0, 3479.0612744494201, 14458.499782618799},
      {"leveelogic_old/C02-320.GEF", 100, 0.2443852262769402, 0.98999998606780082},
      {"leveelogic_old/C02-320.GEF", 1000, 2.3864932495344502, 9.98999984072268},
      {"leveelogic_old/C02-320.GEF", 1701, 0, 16.99999972437125},
  };
  for (const auto& c : cases) {
    const std::filesystem::path file = corpus_dir() / c.file;
    if (!std::filesystem::is_regular_file(file)) GTEST_SKIP() << "no corpus file " << file;
    SCOPED_TRACE(std::string(c.file) + " scan " + std::to_string(c.scan));
    ASSERT_EQ(init_gef(), 1);
    ASSERT_EQ(read_gef(file.string().c_str()), 1);
    const int columns = get_column();
    ASSERT_EQ(calc_rf(0), 1);
    ASSERT_EQ(gca_add_diepte(), 1);
    double rf = 0, depth = 0;
    for (int s = std::max(c.scan, 1); s <= (c.scan > 0 ? c.scan : get_nr_scans()); ++s) {
      rf += get_data(columns + 1, s);
      depth += get_data(columns + 2, s);
    }
    EXPECT_NEAR(rf, c.rf, 1e-9 * c.rf);
    EXPECT_NEAR(depth, c.depth, 1e-9 * c.depth);
    free_gef();
  }
}

// Every operation on every corpus file after a fresh read: no crash, no write outside the block.
TEST(CptCorpusTest, EveryOperationOnEveryFile) {
  if (corpus_files().empty()) GTEST_SKIP() << "no corpus";
  int (*const operations[])() = {[] { return calc_rf(0); },
                                 [] { return calc_rf(1); },
                                 gca_add_diepte,
                                 gca_pre_excavate,
                                 gca_pre_excavate_corr,
                                 gca_shift_friction,
                                 gca_shift_rf,
                                 gcr_shift_columns,
                                 volt2phys};
  for (const auto& path : corpus_files())
    for (auto operation : operations) {
      ASSERT_EQ(init_gef(), 1);
      read_gef(path.string().c_str());
      const int result = operation();
      EXPECT_TRUE(result >= 0 && result <= 2) << path;
      free_gef();
    }
}

} // namespace
} // namespace gef::test
