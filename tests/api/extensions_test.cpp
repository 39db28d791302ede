// Tests of the gef_ extensions: each bulk copy must agree with the getters it stands for.
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

TEST_F(ExtensionsTest, DataAndColumnCopiesEqualGetData) {
  ASSERT_EQ(read(kFile), 1);
  ASSERT_EQ(gef_copy_data(nullptr, 0), 9);
  std::vector<double> block(10, 7.0);
  EXPECT_EQ(gef_copy_data(block.data(), 4), 9); // a short buffer is filled, not overrun
  EXPECT_EQ(block[3], get_data(2, 1));
  EXPECT_EQ(block[4], 7.0);
  ASSERT_EQ(gef_copy_data(block.data(), 10), 9);
  std::vector<double> column(3);
  for (int c = 1; c <= 3; ++c) {
    ASSERT_EQ(gef_copy_column(c, column.data(), 3), 3);
    for (int s = 1; s <= 3; ++s) {
      EXPECT_EQ(block[std::size_t((c - 1) * 3 + s - 1)], get_data(c, s));
      EXPECT_EQ(column[std::size_t(s - 1)], get_data(c, s));
    }
  }
  const auto before = errors().size();
  EXPECT_EQ(gef_copy_column(0, column.data(), 3), -1);
  EXPECT_EQ(gef_copy_column(4, column.data(), 3), -1);
  EXPECT_EQ(errors().size(), before); // copies record nothing
}

TEST_F(ExtensionsTest, ErrorCopyMatchesTheListInOrder) {
  ASSERT_EQ(read(kFile), 1);
  get_data(9, 1); // records a column out of range
  const std::vector<ErrorEntry> expected = errors();
  ASSERT_FALSE(expected.empty());
  std::vector<int> copy(expected.size() * 5);
  ASSERT_EQ(gef_copy_errors(copy.data(), int(expected.size())), int(expected.size()));
  for (std::size_t i = 0; i < expected.size(); ++i)
    for (int k = 0; k < 5; ++k)
      EXPECT_EQ(copy[i * 5 + std::size_t(k)], expected[i][std::size_t(k)]);
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
