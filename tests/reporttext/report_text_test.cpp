// SPDX-License-Identifier: MIT
// Report text items: the text form, escaping and trimming, the two tag tests, free numbers.
#include <clocale>
#include <random>

#include "gef/error_codes.h"
#include "support/document_fixture.h"

namespace gef::test {
namespace {

using ReportTextTest = DocumentTest;

TEST_F(ReportTextTest, NextFreeSerialNumber) {
  EXPECT_EQ(get_reptxt_nextnr(1), 1);
  set_reporttext(1, "a", "pi");
  set_reporttext(2, "b", "pi");
  set_reporttext(1499, "c", "x");
  const int want[][2] = {{1, 3}, {0, 3}, {5, 5}, {1498, 1498}, {1499, -1}, {1500, -1}};
  for (const auto& w : want) EXPECT_EQ(get_reptxt_nextnr(w[0]), w[1]) << w[0];
}

// The text form is byte-exact output; reading each part back is the random test's.
TEST_F(ReportTextTest, AnItemIsStoredInItsTextForm) {
  put_pi(3, 10.5, 20.25, "Label 1", "A4", "Arial", "12", "0");
  EXPECT_STREQ(get_reporttext_Text(3),
               "10.500000; 20.250000; \"Label 1\"; \"A4\"; \"Arial\"; \"12\"; \"0\"");
  EXPECT_STREQ(get_reporttext_Information(3), "pi");
  put_pi(4, 0, 0, "a,b#c", nullptr, "  x\t", "", "q\"uote");
  EXPECT_STREQ(get_reporttext_Text(4),
               "0.000000; 0.000000; \"a\\,b\\#c\"; \"\"; \"  x\t\"; \"\"; \"q\\\"uote\"");
  EXPECT_TRUE(errors().empty());

  // Older items: \t is a tab, \n stays as written, an unescaped text reads as it is.
  set_reporttext(5, "1; 2; \"a\\tb\"; \"c\\nd\"; \"e\"", "pi");
  EXPECT_STREQ(get_pi_tekst(5), "a\tb");
  EXPECT_STREQ(get_pi_velinfo(5), "c\\nd");
  EXPECT_STREQ(get_pi_fontsize(5), ""); // missing texts are empty
}

TEST_F(ReportTextTest, NumbersOutOfRangeAndUnreadableItems) {
  put_pi(1501, 1, 2, "a", "b", "c", "d", "e");
  EXPECT_EQ(errors(),
            (std::vector<ErrorEntry>{{GEF_E_NUMBER_OUTSIDE_INTERVAL, KW_REPORTTEXT, 1, 1500, 3}}));
  set_reporttext(6, "no numbers here", "pi");
  for (int n : {0, -1, 1501, 6, 7}) {
    EXPECT_EQ(get_pi_x(n) + get_pi_y(n), 0.0) << n;
    EXPECT_STREQ(get_pi_tekst(n), "") << n;
    EXPECT_STREQ(get_pi_hoek(n), "") << n;
  }
  reset_error_list(document());
  put_pi(2, 0, 0, std::string(1024, ',').c_str(), "", "", "", ""); // 2048 when escaped
  EXPECT_EQ(error_codes(), std::vector<int>{GEF_E_NOTE});
  EXPECT_EQ(get_reporttext_flag(2), 0);
  put_pi(2, 0, 0, std::string(1500, 'a').c_str(), "", "", "", "");
  EXPECT_EQ(std::string(get_pi_tekst(2)), std::string(1023, 'a'));
}

TEST_F(ReportTextTest, RandomTextsComeBackTrimmed) {
  std::mt19937 rng(9);
  const std::string alphabet = "ab \"\\,#\t;x";
  for (int round = 0; round < 200; ++round) {
    std::string texts[5];
    for (std::string& t : texts)
      for (int i = int(rng() % 12); i > 0; --i) t += alphabet[rng() % alphabet.size()];
    const double x = double(int(rng() % 20000) - 10000) / 64, y = double(rng() % 1000) / 8;
    put_pi(7, x, y, texts[0].c_str(), texts[1].c_str(), texts[2].c_str(), texts[3].c_str(),
           texts[4].c_str());
    const char* got[] = {get_pi_tekst(7), get_pi_velinfo(7), get_pi_fontinfo(7), get_pi_fontsize(7),
                         get_pi_hoek(7)};
    for (int k = 0; k < 5; ++k) {
      std::string want = texts[k];
      want.erase(0, want.find_first_not_of(" \t"));
      want.erase(want.find_last_not_of(" \t") + 1);
      EXPECT_EQ(got[k], want) << texts[k];
    }
    EXPECT_EQ(get_pi_x(7), x);
    EXPECT_EQ(get_pi_y(7), y);
  }
}

TEST_F(ReportTextTest, TheTwoTagTests) {
  put_pi(2, 0, 0, "", "", "", "", "");
  put_pi(7, 0, 0, "", "", "", "", "");
  set_reporttext(4, "plain", "other");
  set_reporttext(5, "tagged", "pie"); // begins with "pi": found, not cleared
  set_reporttext(6, "upper", "PI");   // "pi" in another case: cleared, not found
  for (const auto& [from, next] : {std::pair{1, 2}, {3, 5}, {6, 7}, {8, -1}, {-5, 2}})
    EXPECT_EQ(get_pi_nextnr(from), next) << from;
  clear_all_reptxt_pi();
  EXPECT_EQ(get_reporttext_flag(2) + get_reporttext_flag(6) + get_reporttext_flag(7), 0);
  EXPECT_EQ(get_reporttext_flag(4) + get_reporttext_flag(5), 2);
  EXPECT_STREQ(get_reporttext_Text(4), "plain");
}

TEST_F(ReportTextTest, ADecimalCommaLocaleChangesNothing) {
  const char* dutch = std::setlocale(LC_ALL, "nl_NL.UTF-8");
  if (dutch == nullptr) dutch = std::setlocale(LC_ALL, "nl_NL");
  if (dutch == nullptr) GTEST_SKIP() << "no Dutch locale";
  put_pi(1, 1.5, -2.25, "t", "", "", "", "");
  const std::string form = get_reporttext_Text(1);
  const double x = get_pi_x(1), y = get_pi_y(1);
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(form.rfind("1.500000; -2.250000;", 0), 0u);
  EXPECT_EQ(x, 1.5);
  EXPECT_EQ(y, -2.25);
}

} // namespace
} // namespace gef::test
