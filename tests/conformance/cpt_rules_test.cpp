// SPDX-License-Identifier: MIT
// The CPT report rules and the data rules: recognition, exact findings per group, and documents
// built to lead the rules outside the data block.
#include <cstdio>

#include "conformance/findings.h"
#include "conformance/report_rules.h"

namespace gef::test {
namespace {

class CptRulesTest : public DocumentTest {
protected:
  // A complete 1.1.0 report: penetration length in column 1, cone resistance in column 2.
  void report(const std::vector<double>& depths) {
    ASSERT_EQ(init_gef_general(2, int(depths.size())), 1);
    for (const char* line :
         {"REPORTCODE= GEF-CPT-Report, 1, 1, 0", "PROCEDURECODE= GEF-CPT-Report, 1, 1, 0",
          "COLUMNINFO= 1, m, penetration length, 1", "COLUMNINFO= 2, MPa, cone resistance, 2",
          "COLUMNVOID= 1, -9999", "COLUMNVOID= 2, -9999", "COMPANYID= Lab, 1, 31", "TESTID= S1",
          "ZID= 31000, 1.5", "MEASUREMENTTEXT= 9, NAP"})
      ASSERT_EQ(store_line(line), 1) << line;
    for (std::size_t s = 0; s < depths.size(); ++s) {
      set_data(1, int(s + 1), depths[s]);
      set_data(2, int(s + 1), 1.0);
    }
    before_ = errors().size();
  }
  std::vector<ErrorEntry> found() const { return entries_since(before_); }
  std::string text(std::size_t i) const { return message(int(before_ + i)); }
  std::size_t before_ = 0;
};

TEST_F(CptRulesTest, RecognitionTable) {
  struct Case {
    const char *procedure, *report;
    int release, version, update; // -1 when not recognised
  };
  const Case cases[] = {
      {"", "GEF-CPT-Report, 1, 1, 0", 1, 1, 0},
      {"", "gef_cpt_report, 1, 1, 2", 1, 1, 2},
      {"", "GEF-CPT-Report, 1, 0, 0", -1, -1, -1},
      {"", "GEF-CPT-Report, 1, 2, 0", -1, -1, -1},
      {"", "GEF-CPT-Report, 1, 1", -1, -1, -1},
      {"Our-CPT-Report, 1, 0, 0", "", 1, 0, 0},
      {"Our-CPT-Report, 1, 1, 0", "", -1, -1, -1},
      {"gef-cpt-report, 1, 1, 1", "", 1, 1, 1},
      {"GEF-CPT-Report, 1, 0, 0", "GEF-CPT-Report, 1, 1, 2", 1, 0, 0},
      {"GEF-CPT-Report, 1, 1, 0", "GEF-CPT-Report, 1, 0, 0", -1, -1, -1},
      {"GEF-BORE-Report, 1, 0, 0", "", -1, -1, -1},
      // Parts beyond two digits make a code unusable rather than alias 1.1.0.
      {"", "GEF-CPT-Report, 1, 0, 100", -1, -1, -1},
      {"GEF-CPT-Report, 1, 1, 0", "GEF-CPT-Report, 1, 0, 100", 1, 1, 0},
  };
  for (const Case& c : cases) {
    reset_document(document());
    if (*c.procedure) store_line(std::string("PROCEDURECODE= ") + c.procedure);
    if (*c.report) store_line(std::string("REPORTCODE= ") + c.report);
    SCOPED_TRACE(std::string(c.procedure) + " | " + c.report);
    EXPECT_EQ(gcr_is_gcr(), c.release >= 0 ? 1 : 0);
    EXPECT_EQ(gcr_is_legal(), gcr_is_gcr());
    EXPECT_EQ(gcr_get_release(), c.release);
    EXPECT_EQ(gcr_get_version(), c.version);
    EXPECT_EQ(gcr_get_update(), c.update);
  }
  reset_document(document());
  EXPECT_EQ(test_gef("GEF-CPT-Report"), 0);
  EXPECT_EQ(errors().back(), (ErrorEntry{GEF_E_CPT_NOTE, errors().back().subject, 0, 0, 11}));
  EXPECT_EQ(message(int(errors().size() - 1)), " GEF-CPT-Report 110: This is not a CPT Report\n");
}

TEST_F(CptRulesTest, CompleteReportPassesAndEachBrokenRequirementIsNamed) {
  struct Case {
    const char* line; // stored over the complete report, which passes as it is
    std::vector<ErrorEntry> expected;
  };
  const Case cases[] = {
      {"", {}},
      {"COLUMNINFO= 2, MPa, cone resistance",
       {{GEF_E_CPT_MANDATORY, KW_COLUMNINFO, 2, 3, 11},
        {GEF_E_CPT_COLUMNS_1_2, KW_COLUMN, 1, 2, 11}}},
      {"COLUMNINFO= 1, m, penetration length, 3", {{GEF_E_CPT_COLUMNS_1_2, KW_COLUMN, 1, 2, 11}}},
      {"COLUMNINFO= 1, m, corrected depth, 11", {}}, // corrected depth stands in
      {"COMPANYID= Lab, , 31", {{GEF_E_CPT_MANDATORY, KW_COMPANYID, 0, 2, 11}}},
      {"TESTID=", {{GEF_E_CPT_MANDATORY, KW_TESTID, 0, 1, 12}}},
      {"LASTSCAN= 7", {{GEF_E_CPT_LASTSCAN_MISMATCH, 0, 3, 7, 14}}},
      {"LASTSCAN=", {{GEF_E_CPT_MANDATORY, KW_LASTSCAN, 0, 1, 12}}},
      {"MEASUREMENTTEXT= 9", {{GEF_E_CPT_MANDATORY_110, KW_MEASUREMENTTEXT, 9, 1, 12}}},
      {"ZID= 31000", {{GEF_E_CPT_MANDATORY_110, KW_ZID, 0, 2, 12}}},
  };
  for (const Case& c : cases) {
    report({0.0, 0.02, 0.04});
    if (*c.line != '\0') store_line(c.line);
    before_ = errors().size();
    EXPECT_EQ(test_gef("gef-cpt-report"), c.expected.empty() ? 1 : 0) << c.line;
    EXPECT_EQ(found(), c.expected) << c.line;
  }
  // Absent keywords, columns swapped, and negatives named once for both columns.
  report({-0.02, 0.02, 0.04});
  store_line("COLUMNINFO= 1, MPa, cone resistance, 2");
  store_line("COLUMNINFO= 2, m, corrected depth, 11");
  document().entries[keyword_info(KW_ZID).entry_offset].present = 0;
  document().entries[keyword_info(KW_MEASUREMENTTEXT).entry_offset + 8].present = 0;
  set_data(2, 1, -1.0);
  before_ = errors().size();
  EXPECT_EQ(test_gef("GEF-CPT-Report"), 0);
  EXPECT_EQ(found(),
            (std::vector<ErrorEntry>{{GEF_E_CPT_LENGTH_NOT_COLUMN_1, 0, 0, 0, 11},
                                     {GEF_E_CPT_CONE_NOT_COLUMN_2, 0, 0, 0, 11},
                                     {GEF_E_CPT_MANDATORY_110, KW_MEASUREMENTTEXT, 9, 1, 12},
                                     {GEF_E_CPT_MANDATORY_110, KW_ZID, 0, 0, 12},
                                     {GEF_E_CPT_NOTE, 0, 0, 0, 13},
                                     {GEF_E_CPT_NOTE, 0, 0, 0, 14}})); // depths -1, 1, 1
  EXPECT_EQ(text(4),
            " GEF-CPT-Report 110: No negative depth allowed for version 1.1.0 and above.\n");
}

TEST_F(CptRulesTest, FirstReadingAndAscendingRules) {
  struct Case {
    bool ascending; // which group: ascending, else first reading (as 1.1.0)
    std::vector<double> depths;
    const char* line; // stored over the report, or null
    std::vector<std::string> texts;
  };
  const char* missed = "First reading does not coincide with pre-excavated depth";
  // clang-format off
  const Case cases[] = {
      {true, {0.0, 0.02, 0.02, 0.04}, nullptr,
       {"At scan 3 (= 0.020) a non-ascending penetration length is encountered."}},
      {true, {0.0, 0.02, 0.01, 0.01, 0.05}, nullptr,
       {"From scan 3 (= 0.010) until 4 (= 0.010) non-ascending penetration lengths are "
        "encountered."}},
      // Falling overall: a step that falls by too little is named with the same words.
      {true, {0.06, 0.04, 0.04, 0.02}, nullptr,
       {"At scan 3 (= 0.040) a non-ascending penetration length is encountered."}},
      {true, {0.0, -9999, 0.02, 0.04}, nullptr, {}}, // void steps are skipped
      {true, {10000.5, 10000.5, 10001.0, 10001.0, 10001.0}, nullptr,
       {"At scan 2 (= 1.00005e+04) a non-ascending penetration length is encountered.",
        "From scan 4 (= 1.00010e+04) until 5 (= 1.00010e+04) non-ascending penetration lengths "
        "are encountered."}},
      {false, {0.02, 0.04, 0.06}, nullptr, {}}, // 0.02 lies within 1.001 x the step of 0
      {false, {1.50, 1.52, 1.54}, nullptr, {missed}},
      {false, {1.50, 1.52, 1.54}, "MEASUREMENTVAR= 13, 1.51, m", {}},
      {false, {1.50, 1.52, 1.54}, "MEASUREMENTVAR= 13, 1.60, m", {missed}},
      // Voids: the first valid reading counts, and a void start is not a falling one.
      {false, {999.999, 0.0, 0.02}, "COLUMNVOID= 1, 999.999", {}},
      {false, {-9999, 0.0, 0.02}, nullptr, {}},
      {false, {-9999, -9999}, nullptr, {missed}},
      {false, {0.0, 0.0}, nullptr, {}}, // no step above the floor: an exact start passes
      {false, {0.04, 0.02, 0.06}, nullptr, {"Penetration length is negative", missed}},
  };
  // clang-format on
  for (const Case& c : cases) {
    report(c.depths);
    if (c.line) store_line(c.line);
    const bool held = c.ascending ? check_cpt_ascending(document())
                                  : check_cpt_first_reading(document(), {true, 1, 1, 0});
    EXPECT_EQ(held, c.texts.empty()) << c.depths[0];
    ASSERT_EQ(found().size(), c.texts.size()) << c.depths[0];
    for (std::size_t i = 0; i < c.texts.size(); ++i) {
      EXPECT_EQ(found()[i].level, c.ascending ? 14 : 13);
      EXPECT_EQ(text(i), " GEF-CPT-Report 110: " + c.texts[i] + "\n");
    }
  }
  // 1.0.0 reports have no first-reading rules.
  EXPECT_TRUE(check_cpt_first_reading(document(), CptReport{true, 1, 0, 0}));
}

TEST_F(CptRulesTest, DataRules) {
  struct Case {
    double declared_min, actual_min;
    int entries; // information entries on the minimum
  };
  const Case cases[] = {{1.0, 1.000009, 0}, {1.0, 1.000011, 1}, {0.0, 0.0, 0},
                        {0.0, 9e-6, 0},     {0.0, 2e-5, 1},     {-2.0, -2.00003, 1}};
  for (const Case& c : cases) {
    report({c.actual_min, 3.0});
    char line[96];
    std::snprintf(line, sizeof line, "COLUMNMINMAX= 1, %.9g, 3.0", c.declared_min);
    store_line(line);
    before_ = errors().size();
    EXPECT_EQ(test_gef("DATA"), 1) << c.actual_min;
    ASSERT_EQ(int(found().size()), c.entries) << c.actual_min;
    if (c.entries == 1) {
      EXPECT_EQ(found()[0].level, 5);
      EXPECT_EQ(text(0).rfind(" GEF-DATA: for column 1 the actual minimum", 0), 0u);
      EXPECT_EQ(text(0).substr(text(0).size() - 2), "\n\n"); // the format's own line end kept
    }
  }
  // An all-void column, LASTSCAN against the scans held, and no COLUMN.
  report({-9999, -9999});
  store_line("COLUMNMINMAX= 1, 0, 1");
  store_line("COLUMNMINMAX= 2, 0, 1");
  store_line("LASTSCAN= 100");
  before_ = errors().size();
  EXPECT_EQ(test_gef("DATA"), 0);
  // Column 2 declares a minimum of 0 but holds readings of 1.
  EXPECT_EQ(found(), (std::vector<ErrorEntry>{{GEF_E_LASTSCAN_MISMATCH, 0, 2, 100, 5},
                                              {GEF_E_NO_VALID_DATA, 0, 1, 0, 3},
                                              {GEF_E_DATA_NOTE, 0, 0, 0, 5}}));
  document().entries[keyword_info(KW_COLUMN).entry_offset].present = 0;
  before_ = errors().size();
  EXPECT_EQ(test_gef("DATA"), 0); // and no column is looked at
  EXPECT_EQ(found(), (std::vector<ErrorEntry>{{GEF_E_REQUIRED_MISSING, KW_COLUMN, 0, 0, 1},
                                              {GEF_E_LASTSCAN_MISMATCH, 0, 2, 100, 5}}));
  EXPECT_EQ(test_gef("GEF-CPT-Report"), 0); // no column of quantity 1 or 2 without COLUMN
}

TEST_F(CptRulesTest, HostileDocumentsStayInsideTheBlock) {
  // Each document is checked by both sets; ASan watches the reads, the results must still fail.
  report({0.0, 0.02, 0.04});
  store_line("COLUMNMINMAX= 1, 0, 0.04");
  store_line("COLUMN= 200"); // far beyond the block's two columns
  store_line("COLUMNINFO= 150, m, corrected depth, 11");
  store_line("COLUMNMINMAX= 150, 0, 1");
  EXPECT_EQ(test_gef("DATA"), 0); // column 150 holds nothing
  EXPECT_EQ(error_codes().back(), GEF_E_NO_VALID_DATA);
  EXPECT_EQ(test_gef("GEF-CPT-Report"), 0); // columns 3..200 lack quantity numbers
  EXPECT_EQ(error_codes().back(), GEF_E_CPT_MANDATORY);

  // A stale scan count: larger than the block, or no longer known.
  report({0.0, 0.02, 0.04});
  document().scan_count = 1000000;
  EXPECT_EQ(test_gef("GEF-CPT-Report"), 0); // LASTSCAN 3 against 1000000
  EXPECT_EQ(test_gef("DATA"), 0);
  document().scan_known = 0;
  EXPECT_EQ(test_gef("DATA"), 1);           // nothing to compare with
  EXPECT_EQ(test_gef("GEF-CPT-Report"), 0); // no first reading

  // No data block at all, and a single scan.
  report({0.5});
  EXPECT_EQ(test_gef("GEF-CPT-Report"), 0); // first reading 0.5 is not 0
  library().data.reset();
  document().value_capacity = 0;
  EXPECT_EQ(test_gef("DATA"), 1);
  EXPECT_EQ(test_gef("GEF-CPT-Report"), 0);

  // A full error list drops entries but not failures.
  report({0.0, 0.02, 0.02, 0.04});
  while (report_text(document(), GEF_E_NOTE, "filler", 0, 0, LEVEL_GEF_INFORMATION) == 1) {
  }
  store_line("LASTSCAN=");
  EXPECT_EQ(test_gef("GEF-CPT-Report"), 0);
  EXPECT_EQ(test_gef("DATA"), 0);
  EXPECT_EQ(check_cpt_ascending(document()), false);
}

} // namespace
} // namespace gef::test
