// SPDX-License-Identifier: MIT
// Tests of the gef_ extensions: bulk copies stay in their buffers and write the exact record form.
#include <string>
#include <vector>

#include "reader/reader_fixture.h"

namespace gef::test {
namespace {

class ExtensionsTest : public ReaderTest {};

const char* const kFile = "#GEFID= 1, 1, 0\n"
                          "#COLUMN= 3\n"
                          "#COLUMNINFO= 1, m, penetration length, 1\n"
                          "#COLUMNINFO= 2, MPa, cone resistance, 2\n"
                          "#COLUMNINFO= 3, m, depth, 11\n"
                          "#COLUMNVOID= 2, -9999\n"
                          "#COLUMNSEPARATOR= ;\n"
                          "#RECORDSEPARATOR= !\n"
                          "#COLUMNTEXT= 1, on\n"
                          "#MEASUREMENTVAR= 3, 0.8, -, net area ratio\n"
                          "#COMMENT= odd \x1f bytes \x1b here\n"
                          "#LASTSCAN= 3\n"
                          "#EOH=\n"
                          "0.1;1.5;0.1;first!\n"
                          "0.2;-9999;0.2;!\n"
                          "0.3;2.5;0.3;third!\n";

// Value-by-value agreement with the getters is checked on every corpus file by the Python
// package's tests; here the bounds.
TEST_F(ExtensionsTest, CopiesStayInsideTheirBuffersAndRecordNothing) {
  ASSERT_EQ(read(kFile), 1);
  ASSERT_EQ(gef_copy_data(nullptr, 0), 9);
  std::vector<double> block(10, 7.0);
  EXPECT_EQ(gef_copy_data(block.data(), 4), 9); // a short buffer is filled, not overrun
  EXPECT_EQ(block[3], get_data(2, 1));
  EXPECT_EQ(block[4], 7.0);
  std::vector<double> column(3);
  ASSERT_EQ(gef_copy_column(3, column.data(), 3), 3);
  EXPECT_EQ(column[2], get_data(3, 3));
  const auto before = errors().size();
  EXPECT_EQ(gef_copy_column(0, column.data(), 3), -1);
  EXPECT_EQ(gef_copy_column(4, column.data(), 3), -1);
  get_data(9, 1); // records a column out of range
  std::vector<int> copy(5 * (before + 1), 0);
  ASSERT_EQ(gef_copy_errors(copy.data(), int(before)), int(before + 1)); // filled up to `before`
  EXPECT_EQ(copy[5 * before], 0);
  EXPECT_EQ(errors().size(), before + 1); // copies record nothing
}

TEST_F(ExtensionsTest, HeaderAndTextCopiesAreExactAndEscaped) {
  ASSERT_EQ(read(kFile), 1);
  const long long size = gef_copy_header(nullptr, 0);
  std::string header(std::size_t(size), '\0');
  ASSERT_EQ(gef_copy_header(header.data(), size), size);
  EXPECT_EQ(header.substr(0, 16), "GEFID\x1f\x1fi1\x1fi1\x1fi0\x1e");
  for (const char* record : {"COLUMNINFO\x1f"
                             "2\x1ftMPa\x1ftcone resistance\x1fi2\x1e",
                             "COLUMNVOID\x1f"
                             "2\x1f"
                             "d-9999\x1e",
                             "MEASUREMENTVAR\x1f"
                             "3\x1f"
                             "f0.8\x1ft-\x1ftnet area ratio\x1e",
                             "COLUMNSEPARATOR\x1f\x1f"
                             "c;\x1e",
                             "COMMENT\x1f\x1ftodd \x1b\x1f bytes \x1b\x1b here\x1e"})
    EXPECT_NE(header.find(record), std::string::npos) << record;

  std::string texts(std::size_t(gef_copy_column_texts(nullptr, 0)), '\0');
  gef_copy_column_texts(texts.data(), (long long)texts.size());
  std::string expected;
  for (int s = 1; s <= 3; ++s) {
    const char* text = get_columntext_text(s);
    expected += (text != nullptr ? std::string("t") + text : std::string()) + "\x1e";
  }
  EXPECT_EQ(texts, expected);
  EXPECT_EQ(texts.substr(0, 7), "tfirst\x1e");
}

} // namespace
} // namespace gef::test
