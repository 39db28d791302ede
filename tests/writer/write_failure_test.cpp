// SPDX-License-Identifier: MIT
// Writes that cannot complete: the target stays as it was and no scratch file is left behind.
#include <filesystem>

#ifdef __linux__
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include "writer/writer_fixture.h"

namespace gef::test {
namespace {

namespace fs = std::filesystem;

using WriteFailureTest = WriterTest;

int files_in(const fs::path& dir) {
  int n = 0;
  for ([[maybe_unused]] const auto& item : fs::directory_iterator(dir)) ++n;
  return n;
}

TEST_F(WriteFailureTest, MissingFolderCreatesNothing) {
  EXPECT_EQ(write_gef(path("missing/out.gef").c_str()), 0);
  EXPECT_EQ(errors().back(),
            (ErrorEntry{GEF_E_FILE_CANNOT_BE_OPENED, errors().back().subject, 0, 0, 1}));
  EXPECT_NE(message(int(errors().size()) - 1).find(path("missing/out.gef")), std::string::npos);
  EXPECT_FALSE(fs::exists(path("missing")));
  EXPECT_EQ(files_in(scratch_.path()), 0);
}

TEST_F(WriteFailureTest, ReplacesAnExistingTargetAndKeepsItsPermissions) {
  std::ofstream(path("out.gef")) << "old";
  fs::permissions(path("out.gef"), fs::perms::owner_read | fs::perms::owner_write);
  const fs::perms before = fs::status(path("out.gef")).permissions();
  write();
  EXPECT_EQ(fs::status(path("out.gef")).permissions(), before);
  EXPECT_NE(slurp_file(path("out.gef")), "old");
  EXPECT_EQ(files_in(scratch_.path()), 1);
}

#ifdef __linux__
// Runs in a child as an ordinary user (as root every file is writable) or under a size limit.
TEST_F(WriteFailureTest, FailedWriteLeavesTheTargetAndNoScratchFile) {
  restart(4, 20000);
  std::ofstream(path("out.gef")) << "old";
  fs::permissions(scratch_.path(), fs::perms::all);
  for (const bool limit : {false, true}) {
    SCOPED_TRACE(limit ? "file size limit" : "read-only target");
    fs::permissions(path("out.gef"), limit ? fs::perms::owner_all : fs::perms::owner_read);
    const pid_t pid = fork();
    if (pid == 0) {
      const rlimit small{4096, 4096};
      std::signal(SIGXFSZ, SIG_IGN);
      if (limit) setrlimit(RLIMIT_FSIZE, &small);
      if (!limit && geteuid() == 0 && setuid(65534) != 0) _exit(3);
      const bool refused = write_gef(path("out.gef").c_str()) == 0 && !errors().empty() &&
                           errors().back().code == GEF_E_FILE_CANNOT_BE_OPENED &&
                           errors().back().level == 1 && write_dif(path("out.gef").c_str()) == 0;
      _exit(refused ? 0 : 1);
    }
    int status = -1;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(slurp_file(path("out.gef")), "old");
    EXPECT_EQ(files_in(scratch_.path()), 1);
  }
}

TEST_F(WriteFailureTest, FullDeviceGivesFailure) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  EXPECT_EQ(write_gef("/dev/full"), 0);
  EXPECT_EQ(errors().back().code, GEF_E_FILE_CANNOT_BE_OPENED);
  EXPECT_EQ(write_dif("/dev/full"), 0);
}
#endif

} // namespace
} // namespace gef::test
