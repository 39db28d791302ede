// The boring rules and the code expansion over every real-world file: no crash, and every layer
// of the corpus borings expands, splits and yields its additional strings.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#include "reader/reader_fixture.h"

namespace gef::test {
namespace {

namespace fs = std::filesystem;

using CorpusBoreTest = ReaderTest;

TEST_F(CorpusBoreTest, BoreRulesRunOnEveryFileAndEveryLayerExpands) {
  const fs::path corpus(GEF_SOURCE_DIR "/../shared/corpus");
  if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  std::set<std::string> borings;
  std::ifstream catalogue(corpus / "CATALOGUE.tsv");
  for (std::string line; std::getline(catalogue, line);) {
    const std::size_t tab = line.find('\t');
    if (line.find("\tGEF-BORE-Report") != std::string::npos) borings.insert(line.substr(0, tab));
  }
  ASSERT_EQ(load_codetexts(GEF_SOURCE_DIR "/data/soil_codes.txt"), 1);

  int files = 0, layers = 0;
  std::set<std::string> seen;
  for (const auto& item : fs::recursive_directory_iterator(corpus)) {
    if (!item.is_regular_file() || item.path().extension() == ".tsv") continue;
    ++files;
    const int read = read_gef(item.path().string().c_str());
    const std::size_t before = errors().size();
    const int result = test_gef("GEF-BORE-Report");
    if (result == 0 && before < std::size_t(kMaxErrors)) {
      EXPECT_GT(errors().size(), before) << item.path();
    }
    const std::string relative = fs::relative(item.path(), corpus).generic_string();
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
  EXPECT_GT(files, 0);
  EXPECT_EQ(seen, borings);
  EXPECT_GT(layers, 100);
}

} // namespace
} // namespace gef::test
