// Real-world files: every corpus file reads without a crash, and sampled values match the text.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "reader/reader_fixture.h"

namespace gef::test {
namespace {

namespace fs = std::filesystem;

fs::path corpus() { return fs::path(GEF_SOURCE_DIR "/../shared/corpus"); }

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// The data lines of a file as rows of numbers, split at blanks and the given separators: a
// deliberately simple reading to compare the reader with.
std::vector<std::vector<double>> naive_rows(const std::string& file, const std::string& seps) {
  std::vector<std::vector<double>> rows;
  std::size_t eoh = file.find("#EOH=");
  if (eoh == std::string::npos) return rows;
  std::istringstream lines(file.substr(file.find('\n', eoh) + 1));
  for (std::string line; std::getline(lines, line);) {
    for (char& c : line)
      if (seps.find(c) != std::string::npos || c == '\r' || c == '\t') c = ' ';
    std::istringstream words(line);
    std::vector<double> row;
    for (std::string w; words >> w;) row.push_back(std::strtod(w.c_str(), nullptr));
    if (!row.empty()) rows.push_back(row);
  }
  return rows;
}

using CorpusTest = ReaderTest;

TEST_F(CorpusTest, EveryFileReadsWithoutCrashing) {
  if (!fs::is_directory(corpus())) GTEST_SKIP() << "no corpus at " << corpus();
  int files = 0;
  for (const auto& item : fs::recursive_directory_iterator(corpus())) {
    if (!item.is_regular_file() || item.path().extension() == ".tsv") continue;
    ++files;
    const int result = read_gef(item.path().string().c_str());
    EXPECT_TRUE(result == 0 || result == 1) << item.path();
    if (g_document.scan_known != 0) {
      EXPECT_EQ(g_library.column_texts.size(), std::size_t(g_document.scan_count)) << item.path();
      EXPECT_GE(g_document.value_capacity, g_document.scan_count) << item.path();
    }
  }
  EXPECT_GT(files, 0);
}

struct Sample {
  const char* file;
  const char* separators;
  int scans;
};

TEST_F(CorpusTest, FirstAndLastScansMatchTheText) {
  const Sample samples[] = {
      {"pygef/cpt.gef", ";!", 1004},
      {"leveelogic_old/01.gef", "", 377},
      {"gefxml_viewer/2323535_BR03.GEF", ":!", 1701},
      {"GEOLib-Plus/CPT000000003688_IMBRO_A.gef", ";!", 1229},
  };
  for (const Sample& s : samples) {
    const fs::path path = corpus() / s.file;
    if (!fs::exists(path)) GTEST_SKIP() << "missing " << path;
    ASSERT_EQ(read_gef(path.string().c_str()), 1) << s.file;
    const auto rows = naive_rows(slurp(path), s.separators);
    const int columns = entry_of(KW_COLUMN).field[0].i;
    ASSERT_EQ(scans(), s.scans) << s.file;
    ASSERT_EQ(rows.size(), std::size_t(scans())) << s.file;
    for (int scan : {1, scans()}) {
      const auto& row = rows[std::size_t(scan - 1)];
      ASSERT_GE(row.size(), std::size_t(columns)) << s.file;
      for (int c = 1; c <= columns; ++c)
        EXPECT_EQ(value(scan, c), row[std::size_t(c - 1)])
            << s.file << " scan " << scan << " column " << c;
    }
  }
}

TEST_F(CorpusTest, ExamplesReadCleanly) {
  const struct {
    const char* file;
    int scans;
  } examples[] = {{"cpt_basic.gef", 50},
                  {"cpt_separators.gef", 12},
                  {"boring_layers.gef", 5},
                  {"gefid2_dissipation.gef", 10}};
  for (const auto& e : examples) {
    const fs::path path = fs::path(GEF_SOURCE_DIR "/examples") / e.file;
    ASSERT_EQ(read_gef(path.string().c_str()), 1) << e.file;
    EXPECT_TRUE(errors().empty()) << e.file << ": " << message(0);
    EXPECT_EQ(scans(), e.scans) << e.file;
    EXPECT_EQ(g_document.plotable, 1) << e.file;
    if (e.scans == 5) {
      EXPECT_STREQ(text(3), "'Vm';'DO BR'"); // the boring's third layer
    }
  }
}

} // namespace
} // namespace gef::test
