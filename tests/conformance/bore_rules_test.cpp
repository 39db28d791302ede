// SPDX-License-Identifier: MIT
// test_gef "GEF-BORE-Report": recognition and the exact findings of each of the five groups.
#include <array>
#include <cmath>
#include <sstream>
#include <string>

#include "borecodes/code_table.h"
#include "conformance/bore_rules.h"
#include "conformance/findings.h"

namespace gef::test {
namespace {

class BoreRulesTest : public DocumentTest {
protected:
  BoreRulesTest() : DocumentTest(2, 3) {}
  // A new boring of three layers that every group accepts.
  void valid_boring() {
    free_gef();
    ASSERT_EQ(init_gef_general(2, 3), 1);
    std::istringstream lines(
        "FILEOWNER= Lab\nFILEDATE= 2024, 2, 6\nPROJECTID= B, 24-011, 1\nTESTID= B1\n"
        "REPORTCODE= GEF-BORE-Report, 1, 0, 0, -\nMEASUREMENTCODE= NEN 5104, 1, 0, 0, -\n"
        "COMPANYID= Lab, 123, 31\nXYID= 31000, 1, 2\nZID= 31000, 1.4\nCOLUMNTEXT= 1\n"
        "COLUMNINFO= 1, m, top, 1\nCOLUMNINFO= 2, m, bottom, 2\nCOLUMNSEPARATOR= ;\n"
        "RECORDSEPARATOR= !\nMEASUREMENTTEXT= 3, Delft\nMEASUREMENTTEXT= 5, 2024-02-06\n"
        "MEASUREMENTTEXT= 6, J. Jansen\nMEASUREMENTTEXT= 9, NAP\nMEASUREMENTTEXT= 13, Boor BV\n"
        "MEASUREMENTTEXT= 16, 2024-02-05\nMEASUREMENTTEXT= 31, edelman\n"
        "MEASUREMENTVAR= 31, 3.0, m\nMEASUREMENTVAR= 32, 0.07, m\nMEASUREMENTVAR= 16, 3.0, m");
    for (std::string line; std::getline(lines, line);) ASSERT_EQ(store_line(line), 1) << line;
    for (int s = 1; s <= 3; ++s) { // layers 0-1, 1-2, 2-3
      set_data(1, s, s - 1);
      set_data(2, s, s);
      set_columntext_text(s, std::array{"'Zs1h2';'GR'", ";'Kz3'", "'NBE'"}[std::size_t(s - 1)]);
    }
  }
};

TEST_F(BoreRulesTest, ValidBoringPassesEveryGroupAndOthersAreNoBoring) {
  valid_boring();
  EXPECT_EQ(gbr_is_gbr(), 1);
  EXPECT_EQ(test_gef("gef-bore-report"), 1);
  EXPECT_EQ(findings(), std::vector<Finding>{});
  EXPECT_EQ(is_plotable(), 1);
  store_line("REPORTCODE= gef_bore_report, 1, 0, 0");
  EXPECT_EQ(gbr_is_gbr(), 1);
  store_line("REPORTCODE= GEF-CPT-Report, 1, 0, 0");
  EXPECT_EQ(gbr_is_gbr(), 0);
  EXPECT_EQ(test_gef("GEF-BORE-REPORT"), 0);
  EXPECT_EQ(findings(),
            (std::vector<Finding>{{GEF_E_BORE_NOTE, "This is not a Bore Report", 0, 0, 11}}));
  valid_boring();
  store_line("DATAFORMAT= BINARY"); // without DATATYPE and OS
  EXPECT_EQ(check_bore_header(document()), false);
  EXPECT_EQ(std::get<0>(findings().front()), GEF_E_BINARY_NEEDS_TYPE_AND_OS);
}

TEST_F(BoreRulesTest, ReportHeaderFindingsInOrder) {
  reset_document(document());
  for (const char* line :
       {"GEFID= 1, 1, 0", "COLUMN= 2", "FILEOWNER= Lab", "FILEDATE= 2024, 2, 6", "PROJECTID= B",
        "COLUMNINFO= 1, m, top, 5", "COLUMNINFO= 2, m, bottom",
        "PROCEDURECODE= GEF-GBR-Report, 2, 0, 0", "REPORTCODE= gef-bore-report, 1, 1",
        "COLUMNTEXT= 2", "RECORDSEPARATOR= ;", "COMPANYID= Lab", "TESTID=", "ZID= 31000"})
    store_line(line);
  const std::size_t before = errors().size();
  EXPECT_EQ(check_bore_header(document()), false);
  const auto found = findings(before);
  // The completeness check names the missing quantity number first.
  EXPECT_EQ(found.front(), (Finding{GEF_E_REQUIRED_MISSING, "COLUMNINFO", 2, 3, 5}));
  EXPECT_EQ(
      std::vector<Finding>(found.begin() + 1, found.end()),
      (std::vector<Finding>{
          {GEF_E_BORE_TEXT, "Procedurecode release 2 version 0 update 0 does not exist", 0, 0, 11},
          {GEF_E_BORE_TEXT, "Reportcode release 1 version 1 update 0 does not exist", 0, 0, 11},
          {GEF_E_BORE_MISSING, "COLUMNINFO", 2, 3, 11},
          {GEF_E_BORE_NOTE, "Column with top height of layers is missing.\n", 0, 0, 12},
          {GEF_E_BORE_NOTE, "Column with bottom height of layers is missing.\n", 0, 0, 12},
          {GEF_E_BORE_COLUMNTEXT_NOT_1, "", 0, 0, 11},
          {GEF_E_BORE_NOTE, "Field of recordseparator is not equal to '!'.", 0, 0, 11},
          {GEF_E_BORE_NOTE, "Keyword columnseparator is missing.", 0, 0, 12},
          {GEF_E_BORE_MISSING, "COMPANYID", 0, 2, 12},
          {GEF_E_BORE_MISSING, "COMPANYID", 0, 3, 12},
          {GEF_E_BORE_MISSING, "REPORTCODE", 0, 4, 11},
          {GEF_E_BORE_NOTE, "keyword measurementcode is missing.", 0, 0, 12},
          {GEF_E_BORE_NOTE, "field of keyword testid is missing.", 0, 0, 12},
          {GEF_E_BORE_MISSING, "ZID", 0, 2, 12},
          {GEF_E_BORE_NOTE, "Measurementtext 9 (Fixed horizontal level) is missing.", 0, 0, 12}}));
}

// The samples and NEN5104 groups over documents of a few lines: what each holds, in order.
TEST_F(BoreRulesTest, SamplesAndNen5104Groups) {
  const auto samples = check_bore_samples, nen5104 = check_nen5104_header;
  struct Case {
    bool (*check)(Document&);
    bool valid; // the lines are stored over the valid boring, else over nothing
    std::vector<const char*> lines;
    std::vector<Finding> want; // none: the group holds
  };
  // clang-format off
  const Case cases[] = {
      {samples, false, {"MEASUREMENTTEXT= 4, nee", "SPECIMENVAR= 1, 5, -"}, {}},
      {samples, false, {"MEASUREMENTTEXT= 4, Ja", "SPECIMENVAR= 1, 2, -", "SPECIMENVAR= 11, 1.0, m",
                        "SPECIMENTEXT= 11, A", "SPECIMENTEXT= 18, B"},
       {{GEF_E_NEN5119_SAMPLE_VAR, "depth of its top", 2, 18, 12}}},
      {samples, false, {"MEASUREMENTTEXT= 4, misschien", "SPECIMENVAR= 1, 0.95, -"},
       {{GEF_E_BORE_MEASUREMENTTEXT, "Ja or Nee expected.", 4, 0, 13},
        {GEF_E_BORE_NOTE, "Number of samples should be between 1 and 200.", 0, 0, 13},
        {GEF_E_NEN5119_SAMPLE_VAR, "depth of its top", 1, 11, 12},
        {GEF_E_NEN5119_SAMPLE_TEXT, "sample code", 1, 11, 12}}},
      {samples, false, {"MEASUREMENTTEXT= 4", "SPECIMENVAR= 1, 1, -", "SPECIMENVAR= 11, 1.0, m",
                        "SPECIMENTEXT= 11, A"},
       {{GEF_E_BORE_MEASUREMENTTEXT, "Ja or Nee expected.", 4, 0, 13}}},
      {samples, false, {"MEASUREMENTTEXT= 4, JA"},
       {{GEF_E_NEN5119_NOTE, "Number of samples is required.", 0, 0, 12}}},
      {nen5104, false, {}, {}}, // no NEN5104 measurement code
      {nen5104, true, {"MEASUREMENTTEXT= 16, 20010503"},
       {{GEF_E_NEN5104_NOTE, "Format of date not compatible with yyyy-mm-dd.", 0, 0, 13}}},
      // A missing date of boring alone fails the group.
      {nen5104, false, {"MEASUREMENTCODE= NEN5104", "XYID= 1, 2, 3", "MEASUREMENTTEXT= 3, a",
                        "MEASUREMENTTEXT= 13, b", "MEASUREMENTTEXT= 5, c", "MEASUREMENTTEXT= 6, d",
                        "MEASUREMENTTEXT= 31, e", "MEASUREMENTVAR= 31, 1, m",
                        "MEASUREMENTVAR= 32, 1, m"},
       {{GEF_E_NEN5104_NOTE, "Measurementtext 16 (date boring) is missing.", 0, 0, 12}}},
      {nen5104, false, {"MEASUREMENTCODE= Boring nen 5104, 1, 0, 0", "XYID= 31000, 1",
                        "MEASUREMENTTEXT= 13", "MEASUREMENTTEXT= 16, 05-03-2001",
                        "MEASUREMENTTEXT= 32, edelman",
                        "MEASUREMENTVAR= 33, 2.0, m", "MEASUREMENTVAR= 34, 0.1"},
       {{GEF_E_NEN5104_MISSING, "XYID", 0, 3, 12},
        {GEF_E_NEN5104_NOTE, "Measurementtext 3 (name location) is missing.", 0, 0, 12},
        {GEF_E_NEN5104_NOTE, "Date is not Y2k compliant.", 0, 0, 12},
        {GEF_E_NEN5104_MISSING, "MEASUREMENTTEXT", 13, 1, 12},
        {GEF_E_NEN5104_NOTE, "At least one core method is required.", 0, 0, 12},
        {GEF_E_NEN5104_CORE_METHOD, "unit of diameter boring tube", 2, 0, 12},
        {GEF_E_NEN5104_NOTE, "Measurementtext 5 (date description) is missing.", 0, 0, 12},
        {GEF_E_NEN5104_NOTE, "Measurementtext 6 (name desciber) is missing.", 0, 0, 12}}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines.empty() ? "" : c.lines[0]);
    if (c.valid) {
      valid_boring();
    } else {
      reset_document(document());
    }
    for (const char* line : c.lines) store_line(line);
    EXPECT_EQ(c.check(document()), c.want.empty());
    EXPECT_EQ(findings(), c.want);
  }
}

TEST_F(BoreRulesTest, SampleCountsBeyondTheStorageOrNotANumber) {
  set_measurementtext(4, "JA", "");
  set_specimenvar(1, 250.0f, "-", "");
  EXPECT_FALSE(check_bore_samples(document()));
  auto found = findings();
  ASSERT_EQ(found.size(), 1u + 2 * 213);
  EXPECT_EQ(std::get<1>(found[0]), "Number of samples should be between 1 and 200.");
  EXPECT_EQ(found.back(), (Finding{GEF_E_NEN5119_SAMPLE_TEXT, "sample code", 213, 1495, 12}));

  reset_document(document());
  set_measurementtext(4, "JA", "");
  set_specimenvar(1, std::nanf(""), "-", "");
  EXPECT_FALSE(check_bore_samples(document()));
  EXPECT_EQ(findings(),
            (std::vector<Finding>{
                {GEF_E_BORE_NOTE, "Number of samples should be between 1 and 200.", 0, 0, 13}}));
}

TEST_F(BoreRulesTest, Descriptions) {
  for (const char* word : {"Zs1", "Zs1h2", "Zs1g2h3", "Vmg1", "Vm", "Kz2", "NBE", "gm", "Gs",
                           "Gsh1", "Gz1h2", "Lz1", "Vk1g2", "Zk", "Zkg1h2", "Ks1g1h1"})
    EXPECT_TRUE(valid_description(word)) << word;
  for (const char* word : {"Zs1h2g3", "Xs1", "Gsh4", "Gz5", "Lz2", "Vk2", "Zkh1g1", "Zk1", "Zm",
                           "Z", "Ks1g1h1h2", "Zs1s1s1s1s1s1s1s1s1s1"})
    EXPECT_FALSE(valid_description(word)) << word;

  reset_document(document());
  EXPECT_FALSE(check_bore_descriptions(document())); // no separators: fails silently
  EXPECT_EQ(findings(), std::vector<Finding>{});
  valid_boring();
  set_columntext_text(1, nullptr);
  set_columntext_text(2, ";;' ';'Zs1'");
  set_columntext_text(3, "'Zs1h2g3';'Zs1'");
  EXPECT_FALSE(check_bore_descriptions(document()));
  EXPECT_EQ(findings(), (std::vector<Finding>{{GEF_E_NEN5104_SCAN_MISSING, "description", 1, 0, 11},
                                              {GEF_E_NEN5104_SCAN_MISSING, "description", 2, 0, 11},
                                              {GEF_E_NEN5104_DESCRIPTION, "Zs1h2g3", 3, 0, 12}}));
}

TEST_F(BoreRulesTest, LayersFindingsInOrder) {
  valid_boring();
  const double tops[] = {0.0, 1.0, 2.5}, bottoms[] = {1.0, 2.4, 3.0};
  for (int s = 1; s <= 3; ++s) {
    set_data(1, s, tops[s - 1]);
    set_data(2, s, bottoms[s - 1]);
  }
  for (const char* line :
       {"MEASUREMENTVAR= 16, 3.5, m", "MEASUREMENTTEXT= 14, misschien",
        "MEASUREMENTTEXT= 15, 2001/05/03", "MEASUREMENTTEXT= 19, 01-05-03",
        "MEASUREMENTTEXT= 18, ja", "MEASUREMENTTEXT= 21, x", "MEASUREMENTTEXT= 17, vochtig"})
    store_line(line);
  EXPECT_FALSE(check_bore_layers(document()));
  EXPECT_EQ(findings(), (std::vector<Finding>{
                            {GEF_E_BORE_NOTE, "Last layer does not end at bottom depth.", 0, 0, 12},
                            {GEF_E_BORE_LAYER_GAP, "", 2, 3, 12},
                            {GEF_E_BORE_MEASUREMENTTEXT, "Ja or Nee expected.", 14, 0, 12},
                            {GEF_E_BORE_MEASUREMENTTEXT,
                             "format of date not compatible with yyyy-mm-dd.", 15, 0, 13},
                            {GEF_E_BORE_MEASUREMENTTEXT, "date is not Y2k compliant.", 19, 0, 12},
                            {GEF_E_BORE_MEASUREMENTTEXT, "Ja or Nee expected.", 21, 0, 12},
                            {GEF_E_BORE_MEASUREMENTTEXT, "Nat or Droog expected.", 17, 0, 12}}));

  // Without layers there is no last layer to compare.
  free_gef();
  ASSERT_EQ(init_gef_general(2, 0), 1);
  valid_boring();
  EXPECT_TRUE(check_bore_layers(document()));
}

// Every code word the description grammar accepts expands with the shipped code texts, English
// and Dutch.
TEST(ShippedCodeTexts, ExpandEveryAcceptedWord) {
  ASSERT_EQ(init_gef(), 1);
  std::vector<std::string> parts = {""}, words = {"NBE", "GM"};
  for (char letter : std::string("SZKGH"))
    for (char digit = '1'; digit <= '5'; ++digit) parts.push_back(std::string{letter, digit});
  for (const char* head : {"G", "K", "L", "V", "Z", "GS", "VM", "ZK"})
    for (const std::string& a : parts)
      for (const std::string& b : a.empty() ? std::vector<std::string>{""} : parts)
        for (const std::string& c : b.empty() ? std::vector<std::string>{""} : parts)
          if (valid_description(head + a + b + c)) words.push_back(head + a + b + c);
  EXPECT_GT(words.size(), 200u);
  for (const char* file :
       {GEF_SOURCE_DIR "/data/soil_codes.txt", GEF_SOURCE_DIR "/data/soil_codes_nl.txt"}) {
    ASSERT_EQ(load_codetexts(file), 1);
    for (const std::string& word : words) {
      const std::string text = gbr_code2text(word.c_str(), ", ");
      EXPECT_EQ(text.find("=???"), std::string::npos) << file << " " << word << ": " << text;
    }
  }
  free_gef();
}

} // namespace
} // namespace gef::test
