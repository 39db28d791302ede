// SPDX-License-Identifier: MIT
// Files declaring absurd sizes and values: each must read to a clear error or a correct result,
// without a crash, a hang or an allocation the file's bytes do not justify.
#include <climits>
#include <cstring>

#include "reader/reader_fixture.h"

namespace gef::test {
namespace {

using namespace std::string_literals;

using HostileSizes = ReaderTest;

// Each reads to a verdict that says why, holding no more than the bytes could encode (a huge
// COLUMN, LASTSCAN, block or binary block: the fuzz regression corpus, read/hostile_*).
TEST_F(HostileSizes, DeclaredSizesAndOddValues) {
  const std::string one_scan = "1.0 2.0\r\n";
  const std::pair<const char*, std::string> cases[] = {
      {"negative COLUMN", "#GEFID= 1, 1, 0\r\n#COLUMN= -2147483648\r\n#EOH=\r\n" + one_scan},
      {"COLUMNINFO far beyond 250",
       header(2, "#COLUMNINFO= 100000, m, x, 1\r\n#COLUMNINFO= 2147483647, m, x, 1\r\n") +
           one_scan},
      {"binary block with no LASTSCAN",
       header(2, "#DATAFORMAT= BINARY\r\n#DATATYPE= REAL8\r\n") + std::string(7, 'x')},
      {"binary block of the largest LASTSCAN",
       header(2, "#DATAFORMAT= BINARY\r\n#DATATYPE= REAL4\r\n#OS= DOS\r\n"
                 "#LASTSCAN= 2147483647\r\n") +
           std::string(24, '\0')},
      {"negative and huge numbers of numbered keywords",
       header(2, "#COLUMNINFO= -5, m, x, 1\r\n#COLUMNVOID= 2147483647, -1\r\n"
                 "#MEASUREMENTVAR= 2147483647, 1, m, x\r\n#LASTSCAN= -1\r\n"
                 "#DATACONVERSION= 2147483647, 1, 2147483647, 1, 1, 1, 1\r\n") +
           one_scan},
      {"format widths and precisions beyond any number",
       header(2, "#REPORTDATAFORMAT= 1, %2147483647.2147483647f, 2, %99999999e\r\n") + one_scan},
      {"per-scan text of 100,000 characters",
       header(2, "#COLUMNTEXT= 1, aan\r\n#COLUMNSEPARATOR= ;\r\n"
                 "#RECORDSEPARATOR= !\r\n") +
           "1.0;2.0;" + std::string(100000, 't') + "!\r\n"},
      {"overflowing and odd numbers",
       header(2) + "1e999 nan\r\n-0 -1e999\r\ninf 0x10\r\n1e-400 -nan\r\n"},
      {"NUL in header and data", header(2, "#COMMENT= a\0b\r\n"s) + "1\0 2\r\n"s},
      {"separators without values",
       header(2, "#COLUMNSEPARATOR= ;\r\n") + std::string(5000, ';') + "\r\n"},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(read(bytes) == 1 || !errors().empty());
    const std::int64_t held = std::int64_t(document().value_capacity) * 8;
    EXPECT_LE(held, std::int64_t(bytes.size()) * 16 + (std::int64_t(1) << 20));
    const int columns = get_column(), scan_count = get_nr_scans();
    if (columns > 0 && scan_count > 0) get_data(columns, scan_count);
    test_gef("HEADER");
    test_gef("DATA");
  }
}

// Sizes a caller passes fail with their error or succeed, never holding a megabyte (column
// operations and empty blocks: with the column operation tests).
TEST_F(HostileSizes, CallerSizes) {
  struct CallerCase {
    const char* name;
    int (*call)();
    int result, error; // error 0: none expected
  };
  const CallerCase cases[] = {
      {"no columns, the largest scan count", [] { return init_gef_general(0, INT_MAX); }, 1, 0},
      {"largest block", [] { return init_gef_general(INT_MAX, INT_MAX); }, 0,
       GEF_E_BLOCK_TOO_LARGE},
      {"block of 2^32 values", [] { return init_gef_general(65536, 65536); }, 0,
       GEF_E_BLOCK_TOO_LARGE},
      {"negative columns", [] { return init_gef_for_editing(-1, 10); }, 0,
       GEF_E_COLUMN_OUT_OF_RANGE},
      {"negative scans", [] { return init_gef_for_editing(10, INT_MIN); }, 0,
       GEF_E_NEGATIVE_SCAN_COUNT},
      {"COLUMN beyond the block", [] { return set_column(INT_MAX); }, 0, GEF_E_BLOCK_TOO_LARGE},
      {"LASTSCAN beyond the block", [] { return set_lastscan(INT_MAX); }, 0, GEF_E_BLOCK_TOO_LARGE},
      {"value of a column far out", [] { return set_data(INT_MAX, 1, 1.0); }, 1,
       GEF_E_COLUMN_OUT_OF_RANGE},
      {"value of a scan far out", [] { return set_data(1, INT_MIN, 1.0); }, 1,
       GEF_E_SCAN_OUT_OF_RANGE},
      {"value read far out", [] { return int(get_data(INT_MIN, INT_MAX) == get_data(1, 1)); }, 0,
       GEF_E_COLUMN_OUT_OF_RANGE},
      {"per-scan text far out",
       [] {
         set_columntext_text(INT_MAX, "x");
         return int(get_columntext_text_field(INT_MAX, INT_MAX) != nullptr);
       },
       0, GEF_E_SCAN_OUT_OF_RANGE},
      {"report text items far out",
       [] {
         put_pi(INT_MAX, 1e308, -1e308, std::string(100000, 'p').c_str(), "", "", "", "");
         return int(get_pi_tekst(INT_MAX)[0] != '\0');
       },
       0, 0},
      {"copy sizes far out",
       [] {
         double one = 0;
         return int(gef_copy_column(INT_MAX, &one, LLONG_MAX) == -1 &&
                    gef_copy_data(&one, LLONG_MIN) == 6);
       },
       1, 0},
  };
  for (const CallerCase& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(init_gef_general(2, 3), 1);
    const int result = c.call();
    EXPECT_EQ(result, c.result);
    EXPECT_TRUE(c.error == 0 || has_error(c.error));
    const std::size_t held = std::size_t(document().value_capacity) * sizeof(double) +
                             library().column_texts.capacity() * sizeof(char*);
    EXPECT_LE(held, std::size_t(1) << 20);
  }
}

// A 100 MB file that is a single header line: read in bounded time and memory, refused clearly.
TEST_F(HostileSizes, HundredMegabyteHeaderLine) {
  std::string bytes = "#GEFID= 1, 1, 0\r\n#COMMENT= ";
  bytes.append(std::size_t(100) << 20, 'y');
  EXPECT_EQ(read_gef(write(bytes).c_str()), 0);
  EXPECT_FALSE(errors().empty());
}

} // namespace
} // namespace gef::test
