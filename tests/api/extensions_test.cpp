// SPDX-License-Identifier: MIT
// Tests of the gef_ extensions: bulk copies stay inside the caller's buffers.
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

// The Python package's tests compare every copied value and record with the getters on every
// corpus file; here the bounds, for the sanitizer build.
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
  for (auto copy : {gef_copy_header, gef_copy_column_texts}) {
    std::vector<char> text(std::size_t(copy(nullptr, 0)) - 1); // one byte short
    EXPECT_EQ(copy(text.data(), (long long)text.size()), (long long)text.size() + 1);
  }
}

} // namespace
} // namespace gef::test
