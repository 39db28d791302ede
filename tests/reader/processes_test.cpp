// Two processes reading different files at once in one temporary folder each get their own data.
#include <cstdlib>
#include <string>

#include "reader/reader_fixture.h"

namespace gef::test {
namespace {

constexpr int kRounds = 200;

// Run only as a child: reads the named file over and over and checks its one value each time.
TEST_F(ReaderTest, ChildReadsItsOwnFileRepeatedly) {
  const char* file = std::getenv("GEF_READER_CHILD_FILE");
  const char* expected = std::getenv("GEF_READER_CHILD_VALUE");
  if (file == nullptr || expected == nullptr) GTEST_SKIP() << "runs only as a child process";
  for (int i = 0; i < kRounds; ++i) {
    ASSERT_EQ(read_gef(file), 1);
    ASSERT_EQ(scans(), 50);
    ASSERT_EQ(value(50, 1), std::atof(expected)) << "round " << i;
  }
}

TEST_F(ReaderTest, ConcurrentProcessesGetTheirOwnData) {
#if defined(_WIN32)
  GTEST_SKIP() << "spawns through a POSIX shell";
#else
  if (std::getenv("GEF_READER_CHILD_FILE") != nullptr) GTEST_SKIP() << "already a child";
  std::string bodies[2];
  for (int scan = 1; scan <= 50; ++scan) {
    bodies[0] += std::to_string(scan) + ";1;!\r\n";
    bodies[1] += std::to_string(scan * 1000) + ";2;!\r\n";
  }
  const std::string extra = "#COLUMNSEPARATOR= ;\r\n#RECORDSEPARATOR= !\r\n";
  const std::string a = write(header(2, extra) + bodies[0], "a.gef");
  const std::string b = write(header(2, extra) + bodies[1], "b.gef");
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string child =
      "'" + self + "' --gtest_filter=ReaderTest.ChildReadsItsOwnFileRepeatedly";
  const std::string command = "TMP='" + dir_.string() + "'; export TMP; " +
                              "GEF_READER_CHILD_FILE='" + a + "' GEF_READER_CHILD_VALUE=50 " +
                              child + " >/dev/null & first=$!; " + "GEF_READER_CHILD_FILE='" + b +
                              "' GEF_READER_CHILD_VALUE=50000 " + child + " >/dev/null; " +
                              "second=$?; wait $first; exit $(( $? | second ))";
  EXPECT_EQ(std::system(command.c_str()), 0);
#endif
}

} // namespace
} // namespace gef::test
