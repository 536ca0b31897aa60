// Where -o writes: a device or FIFO directly; a file through a temporary file that only its owner
// can read while it is written, and that then takes what belongs to the file it replaces (its
// mode, owner and group), through a symbolic link that stays.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

#include "cli_process.h"

namespace vellumo {
namespace {

using testing::CliResult;
using testing::CliRunOptions;
using testing::LateFifoWriter;
using testing::ReadAll;
using testing::ReadFile;
using testing::RunCli;
using testing::ScratchDir;

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

TEST(CliOutputTargets, DevicesAndFifosAreWrittenDirectly) {
  ScratchDir dir;
  const std::string key = dir.Write("key", "k");
  const std::vector<std::string> encrypt = {"encrypt", "--seed", "0", "--key-file", key, "-o"};

  const CliResult toNull = RunCli({"encrypt", "--key-file", key, "-o", "/dev/null"}, "Hi");
  EXPECT_EQ(toNull.status, 0) << toNull.err;

  // /dev/stdout, here a pipe that the test reads.
  CliRunOptions piped;
  piped.readStdout = ReadAll;
  const CliResult toStdout =
      RunCli({"encrypt", "--seed", "0", "--key-file", key, "-o", "/dev/stdout"}, "Hi", piped);
  EXPECT_EQ(toStdout.status, 0) << toStdout.err;
  EXPECT_EQ(toStdout.out, ":6h5\r\n");

  // A FIFO, read by the test once the tool opens it.
  const std::string fifo = dir / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string read;
  std::thread reader([&] {
    const int fd = open(fifo.c_str(), O_RDONLY);
    read = ReadAll(fd);
    close(fd);
  });
  const CliResult toFifo = RunCli({"encrypt", "--seed", "0", "--key-file", key, "-o", fifo}, "Hi");
  // A tool that never opened the FIFO must not leave the reader waiting.
  if (const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK); fd >= 0) close(fd);
  reader.join();
  EXPECT_EQ(toFifo.status, 0) << toFifo.err;
  EXPECT_EQ(read, ":6h5\r\n");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"fifo", "key"})) << "no temporary file";
}

// The input is a FIFO: the tool writes the first piece's output into its temporary file and
// waits for more input, while the test looks at that file.
TEST(CliOutputTargets, TheTemporaryFileIsTheOwnersAloneAndThenTakesTheTargetsMode) {
  const mode_t umaskNow = umask(0);
  umask(umaskNow);
  const bool root = geteuid() == 0;
  struct Case {
    const char* what;
    bool existing;
    mode_t mode;      // of the existing file
    bool otherOwner;  // the existing file belongs to another user and group
    mode_t expected;  // of the file written
  };
  const Case cases[] = {
      {"a new file gets what any new file gets", false, 0, false, 0666 & ~umaskNow},
      {"a private file stays private", true, 0600, false, 0600},
      {"a file shared with its group stays shared", true, 0664, false, 0664},
      {"another user's file keeps its owner and group", true, 0640, true, 0640},
  };
  for (const auto& c : cases) {
    if (c.otherOwner && !root) continue;  // only the superuser may give a file away
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    const std::string key = dir.Write("key", "pw");
    const std::string out = dir / "out.qzv";
    if (c.existing) {
      dir.Write("out.qzv", "old");
      ASSERT_EQ(chmod(out.c_str(), c.mode), 0);
      if (c.otherOwner) {
        ASSERT_EQ(chown(out.c_str(), 65534, 65534), 0);
      }
    }
    const std::string fifo = dir / "in";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    mode_t whileWritten = 0;
    std::string temporary;
    LateFifoWriter writer(fifo, std::string(3 << 20, 'a'), 3 << 19, [&] {
      temporary = testing::WaitForNameStartingWith(dir, ".~vellumo-");
      struct stat st {};
      if (!temporary.empty() && stat((dir / temporary).c_str(), &st) == 0) {
        whileWritten = st.st_mode & 07777;
      }
    });
    const CliResult r = RunCli({"encrypt", "--key-file", key, "-o", out, fifo});
    ASSERT_TRUE(writer.ReaderCame());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(temporary, "") << "the temporary file was seen";
    EXPECT_EQ(whileWritten, 0600u);
    EXPECT_EQ(ModeOf(out), c.expected);
    if (c.otherOwner) {
      struct stat st {};
      ASSERT_EQ(stat(out.c_str(), &st), 0);
      EXPECT_EQ(st.st_uid, 65534u);
      EXPECT_EQ(st.st_gid, 65534u);
    }
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"in", "key", "out.qzv"}));
  }
}

TEST(CliOutputTargets, ASymbolicLinkStaysAndTheFileItNamesIsReplaced) {
  ScratchDir dir;
  const std::string key = dir.Write("key", "k");
  mkdir((dir / "real").c_str(), 0700);
  dir.Write("real/memo.qzv", "old");
  ASSERT_EQ(symlink("real/memo.qzv", (dir / "link.qzv").c_str()), 0);
  ASSERT_EQ(symlink("real/new.qzv", (dir / "dangling.qzv").c_str()), 0);
  for (const char* name : {"link.qzv", "dangling.qzv"}) {
    SCOPED_TRACE(name);
    const CliResult r =
        RunCli({"encrypt", "--seed", "0", "--key-file", key, "-o", dir / name}, "Hi");
    ASSERT_EQ(r.status, 0) << r.err;
    struct stat st {};
    ASSERT_EQ(lstat((dir / name).c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(dir / name), ":6h5\r\n");
  }
  EXPECT_EQ(ReadFile(dir / "real/memo.qzv"), ":6h5\r\n");
  EXPECT_EQ(ReadFile(dir / "real/new.qzv"), ":6h5\r\n");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"dangling.qzv", "key", "link.qzv", "real"}));
}

}  // namespace
}  // namespace vellumo
