// SPDX-License-Identifier: MIT
// Code-text files, code splitting, the expansion of description codes and additional strings.
#include <cmath>
#include <cstdlib>
#include <string>

#include "borecodes/code_table.h"
#include "gef/error_codes.h"
#include "support/document_fixture.h"
#include "support/files.h"

namespace gef::test {
namespace {

class CodeTextTest : public DocumentTest {
protected:
  int load(const std::string& bytes) {
    last_ = scratch_.write("codes" + std::to_string(++files_) + ".txt", bytes);
    return load_codetexts(last_.c_str());
  }
  ScratchDir scratch_;
  std::string last_;
  int files_ = 0;
};

TEST_F(CodeTextTest, EveryLineRule) {
  const std::string long_description(3000, 'x');
  ASSERT_EQ(load("ZS1;sand slightly silty;\n! comment only\nS1\n"
                 ";;H2;humic;;\r\n"             // leading ';' skipped, cut at the last ';'
                 "  G1  ;gravelly! a comment\n" // blanks around the code, comment cut
                 "K1;clayey[] not this\n\n[] bracket comment\nZ3;;\nZ4;\nLONG;" +
                 long_description + ";\nlast;no line end"),
            1);
  std::vector<std::string> got;
  for (const CodeText& e : code_table()->entries)
    got.push_back(e.code + "=" + e.description + (e.has_description ? "" : " (none)"));
  EXPECT_EQ(got, (std::vector<std::string>{"ZS1=sand slightly silty", "S1= (none)", "H2=humic;",
                                           "G1=gravelly", "K1=clayey", "Z3=", "Z4= (none)",
                                           "LONG=" + long_description, "last=no line end"}));
  EXPECT_TRUE(errors().empty());
}

TEST_F(CodeTextTest, TooManyCodesKeepsTheFirstAndUnreadableFilesKeepTheTable) {
  std::string many;
  for (int i = 1; i <= 1025; ++i) many += "C" + std::to_string(i) + ";code;\n";
  ASSERT_EQ(load(many), 1);
  EXPECT_EQ(code_table()->entries.back().code, "C1024");
  EXPECT_EQ(errors(), (std::vector<ErrorEntry>{{GEF_E_NOTE, errors()[0].subject, 0, 0, 4}}));
  EXPECT_EQ(message(0),
            " GEF 100: Code-text file " + last_ + ": only the first 1024 codes are kept.\n");

  for (const char* name : {"/nonexistent/codes.txt", static_cast<const char*>(nullptr), ""})
    EXPECT_EQ(load_codetexts(name), 0);
  EXPECT_EQ(code_table()->entries.size(), 1024u); // a failed reload loses nothing
  EXPECT_EQ(error_codes(),
            (std::vector<int>{GEF_E_NOTE, GEF_E_BORE_CODE_FILE_UNREADABLE,
                              GEF_E_BORE_CODE_FILE_UNREADABLE, GEF_E_BORE_CODE_FILE_UNREADABLE}));
  EXPECT_EQ(errors()[3].level, 11);
  EXPECT_EQ(message(1), " GEF-BORE-Report 100: GEF BORE code file: /nonexistent/codes.txt could "
                        "not be read.\n");
  EXPECT_EQ(message(2), " GEF-BORE-Report 100: GEF BORE code file: Onbekend bestand could not be "
                        "read.\n");

  // Reloads and frees in any order leak nothing (the sanitizer build checks).
  EXPECT_EQ(free_codetexts() + free_codetexts(), 2);
  EXPECT_STREQ(gbr_code2text("C1", nullptr), "C1=???");
  for (int i = 0; i < 3; ++i) ASSERT_EQ(load("Z;sand;\nS1;slightly silty;\n"), 1);
  free_gef();
  ASSERT_EQ(init_gef_general(2, 2), 1);
  ASSERT_EQ(load("Z;sand;\nS1;slightly silty;\n"), 1);
  EXPECT_STREQ(gbr_code2text("zs1s1", " / "), "sand / slightly silty / slightly silty");
}

TEST(CodeSplitting, Schemes) {
  struct Case {
    const char* word;
    const char* scheme;
    const char* split;
  };
  // clang-format off
  const Case cases[] = {
      {"Zs1h2", "ODD", "Z s1 h2"}, {"Vmg1", "EVEN", "Vm g1"}, {"Vmg1h2", "1:2:4:6:8", "V m g1 h2"},
      {"Vmg1h2", "2:4:6", "Vm g1 h2"}, {"abc", "single", "a b c"}, {"abcdef", "3", "abc def"},
      {"ab", "EVEN", "ab"}, // insert at the end is removed
      {"abcd", "odd:ignored", "a bc d"}, {"abc", "NONE", "abc"}, {"", "ODD", ""},
      {"ab", "0", " ab"},
      {"abcdef", "1:99:2", "a bcdef"}, // a position past the word inserts nothing
  };
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(split_code(c.word, c.scheme, ' '), c.split) << c.word;
  const std::string word(1024, 'a');
  EXPECT_EQ(split_code(word, "SINGLE", '.').size(), 2047u);
}

TEST_F(CodeTextTest, Expansion) {
  ASSERT_EQ(load("Z;sand;\nS1;slightly silty;\nH2;moderately humic;\nVM;peat poor in minerals;\n"
                 "G1;slightly gravelly;\nNBE;not described;\nQUIET\nGR;grey;\n"),
            1);
  struct Case {
    const char* code;
    const char* separator;
    const char* text;
  };
  const Case cases[] = {
      {"zs1h2", " / ", "sand / slightly silty / moderately humic"},
      {"'Zs1h2' 'GR',", nullptr, "sand, slightly silty, moderately humic, grey, ,=???"},
      {"Zs1h3", "|", "sand|slightly silty|H3=???"},
      {"Vmg1", nullptr, "peat poor in minerals, slightly gravelly"},
      {"nbe", nullptr, "not described"},
      {"zs1", nullptr, "ZS1=???"}, // three characters are looked up whole
      {"quiet", nullptr, "Text is empty or contains unknown code"},
      {"", nullptr, "Text is empty or contains unknown code"},
      {nullptr, nullptr, "Text is empty or contains unknown code"},
      {"Xs1h2 quiet gr", "", "XS1H2=???grey"}, // X does not split
  };
  for (const Case& c : cases)
    EXPECT_STREQ(gbr_code2text(c.code, c.separator), c.text) << (c.code ? c.code : "null");
  // Words beyond 128 are ignored; a separator of any length is taken.
  std::string words;
  for (int i = 0; i < 200; ++i) words += "GR ";
  const std::string sep(300, '-');
  EXPECT_EQ(std::string(gbr_code2text(words.c_str(), sep.c_str())).size(),
            128 * 4 + 127 * sep.size());
}

TEST(NenSplits, LetterCaseChoosesTheScheme) {
  struct Case {
    const char* code;
    const char* split;
  };
  const Case cases[] = {{"Gs", "G s"},           {"GS", "G S"},        {"NBE", "NBE"}, {"gm", "gm"},
                        {"Vmg1h2", "V m g1 h2"}, {"Zs1h2", "Z s1 h2"}, {"", ""}};
  for (const Case& c : cases) {
    std::string arg = c.code;
    EXPECT_STREQ(gbr_NEN5104_splits(arg.data()), c.split);
    EXPECT_EQ(arg, c.code); // the argument is left alone
  }
  EXPECT_STREQ(gbr_NEN5104_splits(nullptr), "");
}

class AdditionalStringsTest : public DocumentTest {
protected:
  AdditionalStringsTest() : DocumentTest(4, 3) {}
  void SetUp() override {
    DocumentTest::SetUp();
    set_columninfo(1, "m", "top", 1);
    set_columninfo(2, "%", "clay", 3);
    set_columninfo(3, "mm", "median", 8);
    set_columninfo(4, "%", "humus", 7);
    set_columnvoid(2, -1.0);
    set_columnvoid(4, 0.0);
    const double values[3][4] = {
        {0, 12.7, 0.21, 0.0}, {1, -1.0, 0.5, 1e-16}, {2, 1e12, std::nan(""), -3.9}};
    for (int s = 1; s <= 3; ++s)
      for (int c = 1; c <= 4; ++c) set_data(c, s, values[s - 1][c - 1]);
  }
  std::string additional(int s, int k) {
    char* text = gbr_get_additional_string(s, k);
    EXPECT_NE(text, nullptr);
    std::string out = text != nullptr ? text : "";
    std::free(text);
    return out;
  }
};

TEST_F(AdditionalStringsTest, VoidsFormatsAndBounds) {
  // Scan 1: quantity 7 reads exactly its void 0; scan 2: quantity 3 is void, 7 within 1e-15.
  EXPECT_EQ(gbr_get_nr_additional_strings(1), 2);
  EXPECT_EQ(additional(1, 1), "K%=12");
  EXPECT_EQ(additional(1, 2), "ZM=0.210 mm");
  EXPECT_EQ(additional(1, 3), "");
  EXPECT_EQ(gbr_get_nr_additional_strings(2), 1);
  EXPECT_EQ(additional(2, 1), "ZM=0.500 mm");
  EXPECT_EQ(gbr_get_nr_additional_strings(3), 3);
  EXPECT_EQ(additional(3, 1), "K%=1000000000000");
  EXPECT_EQ(additional(3, 2), "H%=-3");
  EXPECT_EQ(additional(3, 3).substr(0, 3), "ZM="); // not a number: as the C library prints it
  for (int s : {0, 4, -1}) {
    EXPECT_EQ(gbr_get_nr_additional_strings(s), 0);
    EXPECT_EQ(additional(s, 1), "");
  }
  EXPECT_EQ(additional(1, 0), "");
}

} // namespace
} // namespace gef::test
