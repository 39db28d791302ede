// SPDX-License-Identifier: MIT
// The rule sets over every real-world file: no crash, each run leaves a consistent list, and every
// layer of the corpus borings expands, splits and yields its additional strings.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

#include "reader/reader_fixture.h"
#include "support/files.h"

namespace gef::test {
namespace {

namespace fs = std::filesystem;

using CorpusRulesTest = ReaderTest;

// Runs `category` on the document read last; a failing run names at least one problem unless
// the list is full, and every message formats. Returns the result.
int run_checked(const char* category, const fs::path& path) {
  const std::size_t before = errors().size();
  const int result = test_gef(category);
  if (result == 0 && before < std::size_t(kMaxErrors)) {
    EXPECT_GT(errors().size(), before) << category << " " << path;
  }
  for (std::size_t i = before; i < errors().size(); ++i)
    EXPECT_FALSE(message(int(i)).empty()) << path;
  return result;
}

// Whether the codes name a CPT report, recognised or not.
bool names_cpt_report() {
  for (const char* raw : {get_procedurecode_Code(), get_reportcode_Code()}) {
    std::string code(raw != nullptr ? raw : "");
    for (char& c : code) c = char(std::toupper(static_cast<unsigned char>(c)));
    if (code.find("CPT-REPORT") != std::string::npos ||
        code.find("CPT_REPORT") != std::string::npos)
      return true;
  }
  return false;
}

TEST_F(CorpusRulesTest, RuleSetsRunOnEveryFile) {
  const fs::path corpus = corpus_dir();
  if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  std::set<std::string> borings, seen;
  std::ifstream catalogue(corpus / "CATALOGUE.tsv");
  for (std::string line; std::getline(catalogue, line);)
    if (line.find("\tGEF-BORE-Report") != std::string::npos)
      borings.insert(line.substr(0, line.find('\t')));
  ASSERT_EQ(load_codetexts(GEF_SOURCE_DIR "/data/soil_codes.txt"), 1);
  // Passes are counted over the files that read, as geftool check counts them.
  int files = 0, readable = 0, header = 0, data = 0, reports = 0, cpt = 0, layers = 0;
  for (const fs::path& path : corpus_files()) {
    ++files;
    const int read = read_gef(path.string().c_str());
    readable += read;
    header += read * run_checked("HEADER", path);
    EXPECT_EQ(is_plotable(), document().plotable) << path;
    data += read * run_checked("DATA", path);
    if (names_cpt_report()) {
      reports += read;
      cpt += read * run_checked("GEF-CPT-Report", path);
    }
    run_checked("GEF-BORE-Report", path);
    const std::string relative = fs::relative(path, corpus).generic_string();
    if (borings.count(relative) == 0) continue;
    seen.insert(relative);
    if (read != 1) continue; // a boring the reader refuses has no layers to expand
    EXPECT_EQ(gbr_is_gbr(), 1) << relative;
    for (int s = 1; s <= get_nr_scans(); ++s, ++layers) {
      char* description = get_columntext_text_field(s, 1);
      ASSERT_NE(description, nullptr) << relative << " scan " << s;
      EXPECT_STRNE(gbr_code2text(description, ", "), "") << relative;
      EXPECT_STRNE(gbr_NEN5104_splits(description), nullptr);
      for (int k = 1; k <= gbr_get_nr_additional_strings(s) + 1; ++k) {
        char* text = gbr_get_additional_string(s, k);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(*text == '\0', k > gbr_get_nr_additional_strings(s)) << relative;
        std::free(text);
      }
      std::free(description);
    }
  }
  std::printf("corpus: %d files, %d read; of these HEADER %d pass, DATA %d pass, %d CPT reports "
              "of which %d pass\n",
              files, readable, header, data, reports, cpt);
  EXPECT_GT(files, 0);
  EXPECT_GT(header, 0); // real files mostly obey the header rules
  EXPECT_GT(reports, 0);
  EXPECT_EQ(seen, borings);
  EXPECT_GT(layers, 100);
}

} // namespace
} // namespace gef::test
