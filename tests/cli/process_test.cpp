// The tool in the process it is given: signals that end it remove its temporary file, signals it
// was started with ignored stay ignored, and standard streams missing at start-up are never
// mistaken for files.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "cli_process.h"

namespace vellumo {
namespace {

using testing::CliResult;
using testing::CliRunOptions;
using testing::LateFifoWriter;
using testing::ReadFile;
using testing::RunCli;
using testing::ScratchDir;

// A signal comes while the temporary file is being written: the input is a FIFO whose writer
// sends it once the first piece's output is in the temporary file.
TEST(CliSignals, AnEndingSignalRemovesTheTemporaryFileAndAnIgnoredOneChangesNothing) {
  struct Case {
    const char* what;
    int signal;
    bool ignored;
    int status;
  };
  const Case cases[] = {
      {"hang-up under nohup", SIGHUP, true, 0},
      {"hang-up", SIGHUP, false, 128 + SIGHUP},
      {"termination request", SIGTERM, false, 128 + SIGTERM},
      {"Ctrl+C", SIGINT, false, 128 + SIGINT},
  };
  const std::string text(3 << 20, 'a');
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    const std::string key = dir.Write("key", "pw");
    const std::string out = dir.Write("out.qzv", "old");
    const std::string fifo = dir / "in";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::atomic<int> pid{0};
    LateFifoWriter writer(fifo, text, 3 << 19, [&] {
      if (testing::WaitForNameStartingWith(dir, ".~vellumo-").empty()) return;
      while (pid == 0)
        std::this_thread::yield();
      kill(pid, c.signal);
    });
    CliRunOptions options;
    options.started = [&](int started) { pid = started; };
    if (c.ignored) options.ignoredSignals = {c.signal};
    const CliResult r =
        RunCli({"encrypt", "--seed", "1", "--key-file", key, "-o", out, fifo}, {}, options);
    ASSERT_TRUE(writer.ReaderCame());
    EXPECT_EQ(r.status, c.status) << r.err;
    if (c.status == 0) {
      EXPECT_EQ(ReadFile(out), RunCli({"encrypt", "--seed", "1", "--key-file", key}, text).out);
    } else {
      EXPECT_EQ(ReadFile(out), "old");
    }
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"in", "key", "out.qzv"}));
  }
}

TEST(CliStandardStreams, AStreamMissingAtStartUpIsNeverAFile) {
  ScratchDir dir;
  const std::string key = dir.Write("key", "k");
  const std::string in = dir.Write("in", "Hi");
  const std::string out = dir / "out";
  struct Case {
    const char* what;
    std::vector<int> closed;
    std::vector<std::string> args;
    int status;
    std::string err;  // when standard error is there to tell
    std::string written;
  };
  const Case cases[] = {
      {"no standard input reads as empty",
       {0},
       {"encrypt", "--key-file", key, "-o", out},
       0,
       "",
       ""},
      {"no standard output: the output has nowhere to go",
       {1},
       {"encrypt", "--key-file", key, in},
       3,
       "vellumo-cli: standard output: I/O エラー (6)\n",
       ""},
      {"no standard error: nothing strays into the output",
       {2},
       {"encrypt", "--seed", "0", "--key-file", key, "-o", out, in},
       0,
       "",
       ":6h5\r\n"},
      {"none of the three",
       {0, 1, 2},
       {"encrypt", "--seed", "0", "--key-file", key, "-o", out, in},
       0,
       "",
       ":6h5\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    unlink(out.c_str());
    CliRunOptions options;
    options.closedDescriptors = c.closed;
    const CliResult r = RunCli(c.args, "text on an input that is not there", options);
    EXPECT_EQ(r.status, c.status) << r.err;
    if (std::find(c.closed.begin(), c.closed.end(), 2) == c.closed.end()) {
      EXPECT_EQ(r.err, c.err);
    }
    if (c.status == 0) {
      EXPECT_EQ(ReadFile(out), c.written);
    }
    EXPECT_EQ(ReadFile(in), "Hi");
  }
}

}  // namespace
}  // namespace vellumo
