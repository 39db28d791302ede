// Code-text files, code splitting, the expansion of description codes and additional strings.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>

#ifdef _WIN32
#include <process.h>
#define GEF_TEST_PID _getpid()
#else
#include <unistd.h>
#define GEF_TEST_PID getpid()
#endif

#include "borecodes/code_table.h"
#include "support/document_fixture.h"

namespace gef::test {
namespace {

// Test processes run in parallel: each file name carries the test's name and the process id.
std::string write_file(const std::string& name, const std::string& bytes) {
  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
  const std::string unique = std::string(test != nullptr ? test->name() : "none") + "_" +
                             std::to_string(GEF_TEST_PID) + "_" + name;
  const std::string path = (std::filesystem::temp_directory_path() / unique).string();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  EXPECT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}

class CodeTextTest : public DocumentTest {
protected:
  void TearDown() override {
    DocumentTest::TearDown();
    for (const std::string& p : files_) std::remove(p.c_str());
  }
  int load(const std::string& bytes) {
    files_.push_back(write_file("gef_codes_" + std::to_string(files_.size()) + ".txt", bytes));
    return load_codetexts(files_.back().c_str());
  }
  std::vector<std::string> files_;
};

TEST_F(CodeTextTest, EveryLineRule) {
  const std::string long_description(3000, 'x');
  ASSERT_EQ(load("ZS1;sand slightly silty;\n"
                 "! comment only\n"
                 "S1\n"                         // no description
                 ";;H2;humic;;\r\n"             // leading ';' skipped, cut at the last ';'
                 "  G1  ;gravelly! a comment\n" // blanks around the code, comment cut
                 "K1;clayey[] not this\n"
                 "\n"
                 "[] bracket comment\n"
                 "Z3;;\n" // empty description
                 "Z4;\n"  // nothing after the code
                 "LONG;" +
                 long_description +
                 ";\n"
                 "last;no line end"),
            1);
  const CodeTable& t = *code_table();
  const std::vector<std::tuple<std::string, std::string, bool>> want = {
      {"ZS1", "sand slightly silty", true},
      {"S1", "", false},
      {"H2", "humic;", true},
      {"G1", "gravelly", true},
      {"K1", "clayey", true},
      {"Z3", "", true},
      {"Z4", "", false},
      {"LONG", long_description, true},
      {"last", "no line end", true}};
  ASSERT_EQ(t.entries.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(t.entries[i].code, std::get<0>(want[i])) << i;
    EXPECT_EQ(t.entries[i].description, std::get<1>(want[i])) << i;
    EXPECT_EQ(t.entries[i].has_description, std::get<2>(want[i])) << i;
  }
  EXPECT_TRUE(errors().empty());
}

TEST_F(CodeTextTest, TooManyCodesKeepsTheFirstAndUnreadableFilesKeepTheTable) {
  std::string many;
  for (int i = 1; i <= 1025; ++i)
    many += "C" + std::to_string(i) + ";code " + std::to_string(i) + ";\n";
  ASSERT_EQ(load(many), 1);
  EXPECT_EQ(code_table()->entries.size(), 1024u);
  EXPECT_EQ(code_table()->entries.back().code, "C1024");
  ASSERT_EQ(errors().size(), 1u);
  EXPECT_EQ(errors()[0][0], 42);
  EXPECT_EQ(errors()[0][4], 4);
  EXPECT_EQ(message(0), " GEF 100: Code-text file " + files_.back() +
                            ": only the first 1024 codes are kept.\n");

  EXPECT_EQ(load_codetexts("/nonexistent/codes.txt"), 0);
  EXPECT_EQ(load_codetexts(nullptr), 0);
  EXPECT_EQ(load_codetexts(""), 0);
  EXPECT_EQ(code_table()->entries.size(), 1024u); // a failed reload loses nothing
  ASSERT_EQ(errors().size(), 4u);
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(errors()[std::size_t(i)][4], 11);
  EXPECT_EQ(message(1), " GEF-BORE-Report 100: GEF BORE code file: /nonexistent/codes.txt could "
                        "not be read.\n");
  EXPECT_EQ(message(2), " GEF-BORE-Report 100: GEF BORE code file: Onbekend bestand could not be "
                        "read.\n");

  EXPECT_EQ(free_codetexts(), 1);
  EXPECT_EQ(free_codetexts(), 1);
  EXPECT_TRUE(code_table()->entries.empty());
  EXPECT_STREQ(gbr_code2text("C1", nullptr), "C1=???");
}

TEST_F(CodeTextTest, ReloadAndFreeInALoop) {
  for (int i = 0; i < 50; ++i) {
    ASSERT_EQ(load("Z;sand;\nS1;slightly silty;\n"), 1);
    if (i % 3 == 0) free_codetexts();
    if (i % 7 == 0) {
      free_gef();
      free_codetexts();
      ASSERT_EQ(init_gef_general(2, 2), 1);
    }
  }
  ASSERT_EQ(load("Z;sand;\nS1;slightly silty;\n"), 1);
  EXPECT_STREQ(gbr_code2text("zs1s1", " / "), "sand / slightly silty / slightly silty");
}

TEST(CodeSplitting, Schemes) {
  struct Case {
    const char* word;
    const char* scheme;
    const char* split;
  };
  const Case cases[] = {
      {"Zs1h2", "ODD", "Z s1 h2"},
      {"Vmg1", "EVEN", "Vm g1"},
      {"Vmg1h2", "1:2:4:6:8", "V m g1 h2"},
      {"Vmg1h2", "2:4:6", "Vm g1 h2"},
      {"abc", "single", "a b c"},
      {"ab", "EVEN", "ab"}, // insert at the end is removed
      {"abcd", "odd:ignored", "a bc d"},
      {"abcdef", "3", "abc def"},
      {"abcdef", "1:99:2", "a bcdef"}, // a position past the word inserts nothing
      {"abc", "NONE", "abc"},
      {"", "ODD", ""},
      {"ab", "0", " ab"},
  };
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
  void SetUp() override {
    columns_ = 4;
    scans_ = 3;
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

TEST(BoreCodesLifecycle, EveryCallIsSafeWithoutALibrary) {
  for (int round = 0; round < 2; ++round) {
    if (round == 1) {
      ASSERT_EQ(init_gef(), 1);
      free_gef();
    }
    EXPECT_EQ(load_codetexts("/nonexistent"), 0);
    EXPECT_EQ(free_codetexts(), 1);
    EXPECT_STREQ(gbr_code2text("Zs1h2", nullptr), "Z=???, S1=???, H2=???");
    char code[] = "Zs1";
    EXPECT_STREQ(gbr_NEN5104_splits(code), "Z s1");
    EXPECT_EQ(gbr_get_nr_additional_strings(1), 0);
    char* text = gbr_get_additional_string(1, 1);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "");
    std::free(text);
    EXPECT_EQ(gbr_is_gbr(), 0);
  }
}

} // namespace
} // namespace gef::test
