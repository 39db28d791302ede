// test_gef "GEF-BORE-Report": recognition and the exact findings of each of the five groups.
#include <cmath>
#include <string>
#include <tuple>

#include "borecodes/code_table.h"
#include "conformance/bore_rules.h"
#include "support/document_fixture.h"

namespace gef::test {
namespace {

// An entry with its subject shown as the keyword name or the text it carries.
using Finding = std::tuple<int, std::string, int, int, int>;

std::vector<Finding> findings(std::size_t from = 0) {
  std::vector<Finding> out;
  const auto all = errors();
  for (std::size_t i = from; i < all.size(); ++i) {
    const ErrorEntry& e = all[i];
    out.emplace_back(e[0], subject_text(*g_document.errors, e[1]), e[2], e[3], e[4]);
  }
  return out;
}

class BoreRulesTest : public DocumentTest {
protected:
  void SetUp() override {
    columns_ = 2;
    scans_ = 3;
    DocumentTest::SetUp();
  }
  // A new boring of three layers that every group accepts.
  void valid_boring() {
    free_gef();
    ASSERT_EQ(init_gef_general(2, 3), 1);
    for (const char* line : {"FILEOWNER= Lab",
                             "FILEDATE= 2024, 2, 6",
                             "PROJECTID= B, 24-011, 1",
                             "REPORTCODE= GEF-BORE-Report, 1, 0, 0, -",
                             "MEASUREMENTCODE= NEN 5104, 1, 0, 0, -",
                             "COMPANYID= Lab, 123, 31",
                             "TESTID= B1",
                             "XYID= 31000, 1, 2",
                             "ZID= 31000, 1.4",
                             "COLUMNINFO= 1, m, top, 1",
                             "COLUMNINFO= 2, m, bottom, 2",
                             "COLUMNSEPARATOR= ;",
                             "RECORDSEPARATOR= !",
                             "COLUMNTEXT= 1",
                             "MEASUREMENTTEXT= 3, Delft",
                             "MEASUREMENTTEXT= 5, 2024-02-06",
                             "MEASUREMENTTEXT= 6, J. Jansen",
                             "MEASUREMENTTEXT= 9, NAP",
                             "MEASUREMENTTEXT= 13, Boor BV",
                             "MEASUREMENTTEXT= 16, 2024-02-05",
                             "MEASUREMENTTEXT= 31, edelman",
                             "MEASUREMENTVAR= 31, 3.0, m",
                             "MEASUREMENTVAR= 32, 0.07, m",
                             "MEASUREMENTVAR= 16, 3.0, m"})
      ASSERT_EQ(store_line(line), 1) << line;
    const double layers[3][2] = {{0, 1}, {1, 2}, {2, 3}};
    for (int s = 1; s <= 3; ++s)
      for (int c = 1; c <= 2; ++c) set_data(c, s, layers[s - 1][c - 1]);
    for (int s = 1; s <= 3; ++s)
      set_columntext_text(s, std::array{"'Zs1h2';'GR'", ";'Kz3'", "'NBE'"}[std::size_t(s - 1)]);
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
  EXPECT_EQ(findings(), (std::vector<Finding>{{3033, "This is not a Bore Report", 0, 0, 11}}));
}

TEST_F(BoreRulesTest, ReportHeaderFindingsInOrder) {
  reset_document(g_document);
  for (const char* line :
       {"GEFID= 1, 1, 0", "COLUMN= 2", "FILEOWNER= Lab", "FILEDATE= 2024, 2, 6", "PROJECTID= B",
        "COLUMNINFO= 1, m, top, 5", "COLUMNINFO= 2, m, bottom",
        "PROCEDURECODE= GEF-GBR-Report, 2, 0, 0", "REPORTCODE= gef-bore-report, 1, 1",
        "COLUMNTEXT= 2", "RECORDSEPARATOR= ;", "COMPANYID= Lab", "TESTID=", "ZID= 31000"})
    store_line(line);
  const std::size_t before = errors().size();
  EXPECT_EQ(check_bore_header(g_document), false);
  const auto found = findings(before);
  // The completeness check names the missing quantity number first.
  EXPECT_EQ(found.front(), (Finding{43, "COLUMNINFO", 2, 3, 5}));
  EXPECT_EQ(std::vector<Finding>(found.begin() + 1, found.end()),
            (std::vector<Finding>{
                {3037, "Procedurecode release 2 version 0 update 0 does not exist", 0, 0, 11},
                {3037, "Reportcode release 1 version 1 update 0 does not exist", 0, 0, 11},
                {3034, "COLUMNINFO", 2, 3, 11},
                {3033, "Column with top height of layers is missing.\n", 0, 0, 12},
                {3033, "Column with bottom height of layers is missing.\n", 0, 0, 12},
                {3032, "", 0, 0, 11},
                {3033, "Field of recordseparator is not equal to '!'.", 0, 0, 11},
                {3033, "Keyword columnseparator is missing.", 0, 0, 12},
                {3034, "COMPANYID", 0, 2, 12},
                {3034, "COMPANYID", 0, 3, 12},
                {3034, "REPORTCODE", 0, 4, 11},
                {3033, "keyword measurementcode is missing.", 0, 0, 12},
                {3033, "field of keyword testid is missing.", 0, 0, 12},
                {3034, "ZID", 0, 2, 12},
                {3033, "Measurementtext 9 (Fixed horizontal level) is missing.", 0, 0, 12}}));
  EXPECT_EQ(message(int(before) + 2),
            " GEF-BORE-Report 100: Reportcode release 1 version 1 update 0 does not exist.\n");
}

TEST_F(BoreRulesTest, BinaryDataWithoutTypeFailsTheHeaderGroup) {
  valid_boring();
  store_line("DATAFORMAT= BINARY");
  EXPECT_EQ(check_bore_header(g_document), false);
  EXPECT_EQ(std::get<0>(findings().front()), 44);
}

TEST_F(BoreRulesTest, Samples) {
  struct Case {
    std::vector<const char*> lines;
    bool held;
    std::vector<Finding> want;
  };
  const Case cases[] = {
      {{"MEASUREMENTTEXT= 4, nee", "SPECIMENVAR= 1, 5, -"}, true, {}},
      {{"MEASUREMENTTEXT= 4, Ja", "SPECIMENVAR= 1, 2, -", "SPECIMENVAR= 11, 1.0, m",
        "SPECIMENTEXT= 11, A", "SPECIMENTEXT= 18, B"},
       false,
       {{3200, "depth of its top", 2, 18, 12}}},
      {{"MEASUREMENTTEXT= 4, misschien", "SPECIMENVAR= 1, 0.95, -"},
       false,
       {{3036, "Ja or Nee expected.", 4, 0, 13},
        {3033, "Number of samples should be between 1 and 200.", 0, 0, 13},
        {3200, "depth of its top", 1, 11, 12},
        {3201, "sample code", 1, 11, 12}}},
      {{"MEASUREMENTTEXT= 4", "SPECIMENVAR= 1, 1, -", "SPECIMENVAR= 11, 1.0, m",
        "SPECIMENTEXT= 11, A"},
       false,
       {{3036, "Ja or Nee expected.", 4, 0, 13}}},
      {{"MEASUREMENTTEXT= 4, JA"}, false, {{3202, "Number of samples is required.", 0, 0, 12}}},
  };
  for (const Case& c : cases) {
    reset_document(g_document);
    for (const char* line : c.lines) store_line(line);
    EXPECT_EQ(check_bore_samples(g_document), c.held) << c.lines[0];
    EXPECT_EQ(findings(), c.want) << c.lines[0];
  }
}

TEST_F(BoreRulesTest, SampleCountsBeyondTheStorageOrNotANumber) {
  set_measurementtext(4, "JA", "");
  set_specimenvar(1, 250.0f, "-", "");
  EXPECT_FALSE(check_bore_samples(g_document));
  auto found = findings();
  ASSERT_EQ(found.size(), 1u + 2 * 213);
  EXPECT_EQ(std::get<1>(found[0]), "Number of samples should be between 1 and 200.");
  EXPECT_EQ(found.back(), (Finding{3201, "sample code", 213, 1495, 12}));

  reset_document(g_document);
  set_measurementtext(4, "JA", "");
  set_specimenvar(1, std::nanf(""), "-", "");
  EXPECT_FALSE(check_bore_samples(g_document));
  EXPECT_EQ(findings(), (std::vector<Finding>{
                            {3033, "Number of samples should be between 1 and 200.", 0, 0, 13}}));
}

TEST_F(BoreRulesTest, Nen5104HeaderFindingsInOrder) {
  reset_document(g_document);
  EXPECT_TRUE(check_nen5104_header(g_document)); // no NEN5104 measurement code
  for (const char* line :
       {"MEASUREMENTCODE= Boring nen 5104, 1, 0, 0", "XYID= 31000, 1", "MEASUREMENTTEXT= 13",
        "MEASUREMENTTEXT= 16, 05-03-2001", "MEASUREMENTTEXT= 32, edelman",
        "MEASUREMENTVAR= 33, 2.0, m", "MEASUREMENTVAR= 34, 0.1"})
    store_line(line);
  EXPECT_FALSE(check_nen5104_header(g_document));
  EXPECT_EQ(findings(), (std::vector<Finding>{
                            {3134, "XYID", 0, 3, 12},
                            {3133, "Measurementtext 3 (name location) is missing.", 0, 0, 12},
                            {3133, "Date is not Y2k compliant.", 0, 0, 12},
                            {3134, "MEASUREMENTTEXT", 13, 1, 12},
                            {3133, "At least one core method is required.", 0, 0, 12},
                            {3135, "unit of diameter boring tube", 2, 0, 12},
                            {3133, "Measurementtext 5 (date description) is missing.", 0, 0, 12},
                            {3133, "Measurementtext 6 (name desciber) is missing.", 0, 0, 12}}));
  EXPECT_EQ(message(5), " GEF-BORE-Report 100 NEN5104: In core method 2 the unit of diameter "
                        "boring tube is missing.\n");

  valid_boring();
  store_line("MEASUREMENTTEXT= 16, 20010503");
  EXPECT_FALSE(check_nen5104_header(g_document));
  EXPECT_EQ(findings().back(),
            (Finding{3133, "Format of date not compatible with yyyy-mm-dd.", 0, 0, 13}));
}

TEST_F(BoreRulesTest, MissingDateOfBoringFailsTheGroup) {
  reset_document(g_document);
  for (const char* line :
       {"MEASUREMENTCODE= NEN5104", "XYID= 1, 2, 3", "MEASUREMENTTEXT= 3, a",
        "MEASUREMENTTEXT= 13, b", "MEASUREMENTTEXT= 5, c", "MEASUREMENTTEXT= 6, d",
        "MEASUREMENTTEXT= 31, e", "MEASUREMENTVAR= 31, 1, m", "MEASUREMENTVAR= 32, 1, m"})
    store_line(line);
  EXPECT_FALSE(check_nen5104_header(g_document));
  EXPECT_EQ(findings(), (std::vector<Finding>{
                            {3133, "Measurementtext 16 (date boring) is missing.", 0, 0, 12}}));
}

TEST_F(BoreRulesTest, Descriptions) {
  for (const char* word : {"Zs1", "Zs1h2", "Zs1g2h3", "Vmg1", "Vm", "Kz2", "NBE", "gm", "Gs",
                           "Gsh1", "Gz1h2", "Lz1", "Vk1g2", "Zk", "Zkg1h2", "Ks1g1h1"})
    EXPECT_TRUE(valid_description(word)) << word;
  for (const char* word : {"Zs1h2g3", "Xs1", "Gsh4", "Gz5", "Lz2", "Vk2", "Zkh1g1", "Zk1", "Zm",
                           "Z", "Ks1g1h1h2", "Zs1s1s1s1s1s1s1s1s1s1"})
    EXPECT_FALSE(valid_description(word)) << word;

  reset_document(g_document);
  EXPECT_FALSE(check_bore_descriptions(g_document)); // no separators: fails silently
  EXPECT_EQ(findings(), std::vector<Finding>{});
  valid_boring();
  set_columntext_text(1, nullptr);
  set_columntext_text(2, ";;' ';'Zs1'");
  set_columntext_text(3, "'Zs1h2g3';'Zs1'");
  EXPECT_FALSE(check_bore_descriptions(g_document));
  EXPECT_EQ(findings(), (std::vector<Finding>{{3136, "description", 1, 0, 11},
                                              {3136, "description", 2, 0, 11},
                                              {3137, "Zs1h2g3", 3, 0, 12}}));
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
  EXPECT_FALSE(check_bore_layers(g_document));
  EXPECT_EQ(findings(), (std::vector<Finding>{
                            {3033, "Last layer does not end at bottom depth.", 0, 0, 12},
                            {3035, "", 2, 3, 12},
                            {3036, "Ja or Nee expected.", 14, 0, 12},
                            {3036, "format of date not compatible with yyyy-mm-dd.", 15, 0, 13},
                            {3036, "date is not Y2k compliant.", 19, 0, 12},
                            {3036, "Ja or Nee expected.", 21, 0, 12},
                            {3036, "Nat or Droog expected.", 17, 0, 12}}));
  EXPECT_EQ(message(1), " GEF-BORE-Report 100: Gap/Overlap between layers 2 and 3.\n");

  // Without layers there is no last layer to compare.
  free_gef();
  ASSERT_EQ(init_gef_general(2, 0), 1);
  valid_boring();
  EXPECT_TRUE(check_bore_layers(g_document));
}

// Every code word the description grammar accepts expands with the shipped code texts.
TEST(ShippedCodeTexts, ExpandEveryAcceptedWord) {
  ASSERT_EQ(init_gef(), 1);
  ASSERT_EQ(load_codetexts(GEF_SOURCE_DIR "/data/soil_codes.txt"), 1);
  const std::vector<std::string> heads = {"G", "K", "L", "V", "Z", "GS", "VM", "ZK"};
  std::vector<std::string> parts = {""};
  for (char letter : std::string("SZKGH"))
    for (char digit = '1'; digit <= '5'; ++digit) parts.push_back(std::string{letter, digit});
  int accepted = 0;
  for (const std::string& head : heads)
    for (const std::string& a : parts)
      for (const std::string& b : a.empty() ? std::vector<std::string>{""} : parts)
        for (const std::string& c : b.empty() ? std::vector<std::string>{""} : parts) {
          const std::string word = head + a + b + c;
          if (!valid_description(word)) continue;
          ++accepted;
          const std::string text = gbr_code2text(word.c_str(), ", ");
          EXPECT_EQ(text.find("=???"), std::string::npos) << word << ": " << text;
        }
  for (const char* word : {"NBE", "GM"})
    EXPECT_EQ(std::string(gbr_code2text(word, ", ")).find("=???"), std::string::npos);
  EXPECT_GT(accepted, 200);
  free_gef();
}

TEST(BoringExample, PassesEveryGroupAndExpands) {
  ASSERT_EQ(init_gef(), 1);
  ASSERT_EQ(read_gef(GEF_SOURCE_DIR "/examples/boring_layers.gef"), 1);
  const std::size_t before = errors().size();
  EXPECT_EQ(test_gef("GEF-BORE-Report"), 1);
  EXPECT_EQ(findings(before), std::vector<Finding>{});
  ASSERT_EQ(load_codetexts(GEF_SOURCE_DIR "/data/soil_codes.txt"), 1);
  const std::string first = g_library.column_texts.at(0);
  EXPECT_STREQ(gbr_code2text(first.substr(0, first.find(';')).c_str(), ", "),
               "sand, slightly silty, moderately humic");
  free_gef();
}

} // namespace
} // namespace gef::test
