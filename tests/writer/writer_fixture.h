// Test helpers for the writers: a scratch folder, files written and read back as text.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/document_fixture.h"
#include "writer/writer.h"

namespace gef::test {

inline std::string slurp_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Lines of a text up to and including `#EOH=`, without their line ends.
inline std::vector<std::string> header_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(l);
    if (l == "#EOH=") break;
  }
  return lines;
}

// Stores a text field exactly as given (no splitting at commas).
inline void store_text(int code, const char* text) {
  const void* args[kMaxFields] = {text};
  InputModeScope mode(g_document, STRING);
  store_keyword(g_document, code, keyword_info(code).name, args);
}

// Sets the GEFID fields directly (the keyword can be stored only once).
inline void set_version(int release, int version) {
  entry_of(KW_GEFID).field[0].i = release;
  entry_of(KW_GEFID).field[1].i = version;
  entry_of(KW_GEFID).field[2].i = 0;
}

class WriterTest : public DocumentTest {
protected:
  void SetUp() override {
    DocumentTest::SetUp();
    dir_ = std::filesystem::temp_directory_path() /
           ("gef_writer_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
    DocumentTest::TearDown();
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  // Writes the document and returns the file's bytes.
  std::string write(int expected = 1) {
    EXPECT_EQ(write_gef(path("out.gef").c_str()), expected);
    return slurp_file(path("out.gef"));
  }
  // The first header line that starts with `tag`, or "" when none does.
  std::string line(const std::string& text, const std::string& tag) {
    for (const std::string& l : header_lines(text))
      if (l.compare(0, tag.size(), tag) == 0) return l;
    return "";
  }
  std::filesystem::path dir_;
};

} // namespace gef::test
