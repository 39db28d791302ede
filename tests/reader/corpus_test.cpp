// SPDX-License-Identifier: MIT
// Real-world files: every corpus file reads without a crash, and every value matches the text.
#include <cmath>
#include <iterator>
#include <set>

#include "reader/reader_fixture.h"

namespace gef::test {
namespace {

namespace fs = std::filesystem;

// A deliberately simple reading of the data lines to compare the reader with: split at blanks and
// separators, each line's first `columns` words as numbers; empty when some line does not split.
std::vector<std::vector<double>> naive_rows(const std::string& file, const std::string& seps,
                                            int columns, bool texts) {
  std::vector<std::vector<double>> rows;
  const std::size_t eoh = file.find("#EOH");
  if (eoh == std::string::npos || file.find('\n', eoh) == std::string::npos) return rows;
  std::istringstream lines(file.substr(file.find('\n', eoh) + 1));
  for (std::string line; std::getline(lines, line);) {
    for (char& c : line)
      if (seps.find(c) != std::string::npos || c == '\r' || c == '\t') c = ' ';
    std::istringstream words(line);
    std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
    if (w.empty()) continue;
    if (w.size() < std::size_t(columns) || (!texts && w.size() != std::size_t(columns))) return {};
    std::vector<double> row;
    for (int c = 0; c < columns; ++c) {
      char* end = nullptr;
      row.push_back(std::strtod(w[std::size_t(c)].c_str(), &end));
      if (*end != '\0') return {};
    }
    rows.push_back(row);
  }
  return rows;
}

using CorpusTest = ReaderTest;

// The two files named need the tolerated forms.
TEST_F(CorpusTest, EveryFileReadsAndEveryValueMatchesANaiveSplit) {
  if (!fs::is_directory(corpus_dir())) GTEST_SKIP() << "no corpus at " << corpus_dir();
  int files = 0;
  std::set<std::string> compared;
  for (const fs::path& path : corpus_files()) {
    const std::string name = path.lexically_relative(corpus_dir()).generic_string();
    ++files;
    const int result = read_gef(path.string().c_str());
    EXPECT_TRUE(result == 0 || result == 1) << name;
    if (document().scan_known != 0) {
      EXPECT_EQ(library().column_texts.size(), std::size_t(document().scan_count)) << name;
      EXPECT_GE(document().value_capacity, document().scan_count) << name;
    }
    if (result != 1) continue;
    const Entry& colsep = entry_of(KW_COLUMNSEPARATOR);
    const Entry& recsep = entry_of(KW_RECORDSEPARATOR);
    std::string seps;
    if (colsep.present != 0) seps += colsep.field[0].c;
    if (recsep.present != 0) seps += recsep.field[0].c;
    const int columns = entry_of(KW_COLUMN).field[0].i;
    const bool texts = entry_of(KW_COLUMNTEXT).present != 0;
    const auto rows = naive_rows(slurp_file(path), seps, columns, texts);
    if (rows.empty()) continue;
    compared.insert(name);
    ASSERT_EQ(std::size_t(scans()), rows.size()) << name;
    // A CPT report 1.0.0 has its lengths and depths turned positive on reading.
    const bool converted = library().conversion_stamp != 0;
    auto shown = [&](double v) { return converted ? std::fabs(v) : v; };
    for (int s = 1; s <= scans(); ++s)
      for (int c = 1; c <= columns; ++c)
        ASSERT_EQ(shown(value(s, c)), shown(rows[std::size_t(s - 1)][std::size_t(c - 1)]))
            << name << " scan " << s << " column " << c;
  }
  EXPECT_GT(files, 0);
  EXPECT_EQ(compared.count("gef-parser-ts/example_cpt.gef"), 1u);
  EXPECT_EQ(compared.count("gef-parser-ts/example_bore.gef"), 1u);
  EXPECT_GE(compared.size(), 50u);
}

TEST_F(CorpusTest, ExamplesReadCleanly) {
  const std::pair<std::string, int> examples[] = {{"cpt_basic", 50},
                                                  {"cpt_binary", 50},
                                                  {"cpt_separators", 12},
                                                  {"gefid2_dissipation", 10},
                                                  {"boring_layers", 5}};
  for (const auto& [file, count] : examples) {
    ASSERT_EQ(read_gef((GEF_SOURCE_DIR "/examples/" + file + ".gef").c_str()), 1) << file;
    EXPECT_TRUE(errors().empty()) << file << ": " << message(0);
    EXPECT_EQ(scans(), count) << file;
    EXPECT_EQ(document().plotable, 1) << file;
  }
  EXPECT_STREQ(text(3), "'Vm';'DO BR'"); // the boring's third layer
}

} // namespace
} // namespace gef::test
