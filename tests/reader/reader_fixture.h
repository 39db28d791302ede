// SPDX-License-Identifier: MIT
// Test helpers for reading: GEF texts written to a private folder and read into a fresh library.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/document_fixture.h"
#include "support/files.h"

namespace gef::test {

// A fresh library and a folder of its own for the files a test writes.
class ReaderTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_EQ(init_gef(), 1); }
  void TearDown() override { free_gef(); }

  // Writes `bytes` to a file of the test's folder and returns its path.
  std::string write(const std::string& bytes, const std::string& name = "t.gef") {
    return scratch_.write(name, bytes);
  }
  // Reads `bytes` as a GEF file.
  int read(const std::string& bytes) { return read_gef(write(bytes).c_str()); }

  // Value of scan s in column c, both 1-based.
  double value(int s, int c) const {
    return library()
        .data[std::size_t(c - 1) * std::size_t(document().scan_count) + std::size_t(s - 1)];
  }
  int scans() const { return document().scan_count; }
  const char* text(int s) const { return library().column_texts.at(std::size_t(s - 1)); }

  ScratchDir scratch_;
};

// A minimal readable header with `columns` columns, extra lines and CR LF line ends.
inline std::string header(int columns, const std::string& extra = "") {
  std::string h = "#GEFID= 1, 1, 0\r\n#COLUMN= " + std::to_string(columns) + "\r\n";
  for (int c = 1; c <= columns; ++c)
    h += "#COLUMNINFO= " + std::to_string(c) + ", m, quantity " + std::to_string(c) + ", " +
         std::to_string(c) + "\r\n";
  return h + extra + "#EOH=\r\n";
}

// The block's size must always match its bookkeeping.
inline void expect_consistent(int columns) {
  EXPECT_EQ(document().scan_known, 1);
  EXPECT_EQ(document().data_present, 1);
  EXPECT_EQ(library().column_texts.size(), std::size_t(document().scan_count));
  EXPECT_EQ(document().value_capacity, std::max(1, columns * document().scan_count));
}

} // namespace gef::test
