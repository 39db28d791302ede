// The header rules over every real-world file: no crash, and each run leaves a consistent list.
#include <filesystem>

#include "reader/reader_fixture.h"

namespace gef::test {
namespace {

namespace fs = std::filesystem;

using CorpusHeaderTest = ReaderTest;

TEST_F(CorpusHeaderTest, HeaderRulesRunOnEveryFile) {
  const fs::path corpus(GEF_SOURCE_DIR "/../shared/corpus");
  if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  int files = 0, passed = 0;
  for (const auto& item : fs::recursive_directory_iterator(corpus)) {
    if (!item.is_regular_file() || item.path().extension() == ".tsv") continue;
    ++files;
    read_gef(item.path().string().c_str());
    const std::size_t before = errors().size();
    const int result = test_gef("HEADER");
    passed += result;
    // A failing run names at least one problem, and every message formats.
    if (result == 0 && before < std::size_t(kMaxErrors)) {
      EXPECT_GT(errors().size(), before) << item.path();
    }
    for (std::size_t i = before; i < errors().size(); ++i)
      EXPECT_FALSE(message(int(i)).empty()) << item.path();
    EXPECT_EQ(is_plotable(), g_document.plotable) << item.path();
  }
  EXPECT_GT(files, 0);
  EXPECT_GT(passed, 0); // real files mostly obey the header rules
}

} // namespace
} // namespace gef::test
