// SPDX-License-Identifier: MIT
// Test helpers for the writers: a scratch folder, files written and read back as text.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "support/document_fixture.h"
#include "support/files.h"
#include "writer/writer.h"

namespace gef::test {

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
  InputModeScope mode(document(), STRING);
  store_keyword(document(), code, keyword_info(code).name, args);
}

class WriterTest : public DocumentTest {
protected:
  using DocumentTest::DocumentTest;
  std::string path(const std::string& name) const { return scratch_.file(name); }
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
  ScratchDir scratch_;
};

} // namespace gef::test
