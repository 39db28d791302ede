// Files declaring absurd sizes and values: each must read to a clear error or a correct result,
// without a crash, a hang or an allocation the file's bytes do not justify.
#include <cmath>
#include <cstdint>
#include <string>

#include "reader/reader_fixture.h"

namespace gef::test {
namespace {

using namespace std::string_literals;

std::string header(const std::string& lines) { return "#GEFID= 1, 1, 0\r\n" + lines + "#EOH=\r\n"; }

const std::string kTwoColumns = "#COLUMN= 2\r\n#COLUMNINFO= 1, m, Sondeertrajectlengte, 1\r\n"
                                "#COLUMNINFO= 2, MPa, Conuswaarde, 2\r\n";

struct HostileCase {
  const char* name;
  std::string bytes;
};

class HostileSizes : public ReaderTest {
protected:
  // Reads the bytes and checks the outcome is sound whatever the verdict.
  void expect_sound(const HostileCase& c) {
    SCOPED_TRACE(c.name);
    const int result = read(c.bytes);
    if (result == 0) {
      EXPECT_FALSE(errors().empty()) << "a failed read must say why";
    }
    // The data block may hold what the text could encode plus a bounded reserve, no more.
    const std::int64_t bytes = std::int64_t(g_document.value_capacity) * 8;
    EXPECT_LE(bytes, std::int64_t(c.bytes.size()) * 16 + (std::int64_t(1) << 20));
    const int columns = get_column(), scan_count = get_nr_scans();
    if (columns > 0 && scan_count > 0) get_data(columns, scan_count);
    test_gef("HEADER");
    test_gef("DATA");
  }
};

TEST_F(HostileSizes, DeclaredSizesBeyondTheFile) {
  const std::string one_scan = "1.0 2.0\r\n";
  const HostileCase cases[] = {
      {"huge COLUMN", header("#COLUMN= 2147483647\r\n") + one_scan},
      {"negative COLUMN", header("#COLUMN= -2147483648\r\n") + one_scan},
      {"COLUMNINFO far beyond 250",
       header(kTwoColumns +
              "#COLUMNINFO= 100000, m, x, 1\r\n#COLUMNINFO= 2147483647, m, x, 1\r\n") +
           one_scan},
      {"huge LASTSCAN", header(kTwoColumns + "#LASTSCAN= 2147483647\r\n") + one_scan},
      {"scans x columns beyond 32 bits",
       header("#COLUMN= 250\r\n#LASTSCAN= 1500000000\r\n") + one_scan},
      {"binary block implying 2^31 values",
       header(kTwoColumns + "#DATAFORMAT= BINARY\r\n#LASTSCAN= 1073741824\r\n") +
           std::string(16, '\0')},
      {"binary block with no LASTSCAN",
       header(kTwoColumns + "#DATAFORMAT= BINARY\r\n#DATATYPE= REAL8\r\n") + std::string(7, 'x')},
  };
  for (const HostileCase& c : cases) expect_sound(c);
}

TEST_F(HostileSizes, HostileValuesAndTexts) {
  const std::string long_text(10000, 'x');
  const std::string nul_header = header(kTwoColumns + "#COMMENT= a\0b\r\n"s);
  const HostileCase cases[] = {
      {"overflowing and odd numbers",
       header(kTwoColumns) + "1e999 nan\r\n-0 -1e999\r\ninf 0x10\r\n1e-400 -nan\r\n"},
      {"10,000-character field",
       header(kTwoColumns + "#COMMENT= " + long_text + "\r\n") + "1 2\r\n"},
      {"10,000-character line", header(kTwoColumns) + long_text + "\r\n1 2\r\n"},
      {"10,000-character keyword", header(kTwoColumns + "#" + long_text + "= 1\r\n") + "1 2\r\n"},
      {"NUL in header and data", nul_header + "1\0 2\r\n"s},
      {"separators without values",
       header(kTwoColumns + "#COLUMNSEPARATOR= ;\r\n") + std::string(5000, ';') + "\r\n"},
  };
  for (const HostileCase& c : cases) expect_sound(c);
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
