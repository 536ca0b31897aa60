// vellumo-cli's failures through the real binary: wrong command lines, file failures with the
// editor's messages, inputs it refuses, and the output file that is replaced only when complete.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "cli_process.h"

namespace vellumo {
namespace {

using testing::CliResult;
using testing::ReadFile;
using testing::RunCli;
using testing::ScratchDir;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(CliUsage, WrongCommandLinesExitTwoWithTheUsageLines) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"frobnicate"},
      {"-o", "x"},
      {"encrypt", "--bogus"},
      {"encrypt", "--key-file"},
      {"encrypt", "--key-file", "a", "--key-file", "b"},
      {"encrypt", "-o", "x", "-o", "y"},
      {"encrypt", "a", "b"},
      {"decrypt", "--seed", "1"},
      {"encrypt", "--seed", "-1"},
      {"encrypt", "--seed", "4294967296"},
      {"encrypt", "--seed", "12x"},
      {"encrypt", "--seed="},
      // An empty name (an unset shell variable) is no standard stream.
      {"encrypt", "--key-file", ""},
      {"encrypt", "--key-file="},
      {"encrypt", "-o", ""},
      {"decrypt", ""},
      {"decrypt", "--", ""},
      // An option's value is taken as it is, even when it looks like an option.
      {"encrypt", "--seed", "--help"},
  };
  for (const auto& args : cases) {
    std::string shown;
    for (const auto& a : args)
      shown += a + " ";
    SCOPED_TRACE(shown);
    const CliResult r = RunCli(args, "text");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("vellumo-cli: ", 0), 0u) << r.err;
    EXPECT_TRUE(Contains(r.err, "\nusage: vellumo-cli encrypt")) << r.err;
  }
}

TEST(CliUsage, NoKeyFileAndNoTerminalToAskOn) {
  const CliResult r = RunCli({"encrypt"}, "text");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(Contains(r.err, "--key-file")) << r.err;
}

TEST(CliUsage, HelpAndVersion) {
  EXPECT_EQ(RunCli({"--version"}).out, "vellumo-cli 0.2\n");
  testing::CliRunOptions toFullDisk;
  toFullDisk.stdoutPath = "/dev/full";
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--help"}, {"decrypt", "--help"}, {"--version"}}) {
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out, "");
    // Text that cannot be written is a failure, as any output is.
    const CliResult full = RunCli(args, {}, toFullDisk);
    EXPECT_EQ(full.status, 3);
    EXPECT_EQ(full.err, "vellumo-cli: standard output: I/O エラー (112)\n");
  }
  // After "--" a name that looks like an option is a file; so is an option's value.
  ScratchDir dir;
  const CliResult r = RunCli({"decrypt", "--", dir.Write("--help", "")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  testing::CliRunOptions inDir;
  inDir.workingFolder = dir.Path();
  const CliResult named = RunCli({"decrypt", "-o", "-h", "--key-file", "--version"}, "x", inDir);
  EXPECT_EQ(named.status, 3);
  EXPECT_EQ(named.err, "vellumo-cli: --version: ファイルが見つかりません\n");
  const CliResult written = RunCli({"encrypt", "-o", "-h"}, "", inDir);
  EXPECT_EQ(written.status, 0) << written.err;
  EXPECT_TRUE(dir.Names() == (std::vector<std::string>{"--help", "-h"}));
}

TEST(CliFiles, FailuresUseTheEditorsMessagesAndExitThree) {
  ScratchDir dir;
  const std::string key = dir.Write("key", "pw");
  const std::string in = dir.Write("in", "text");
  mkdir((dir / "folder").c_str(), 0755);
  const std::string readOnly = dir.Write("read-only", "kept");
  chmod(readOnly.c_str(), 0444);
  struct Case {
    const char* what;
    std::vector<std::string> args;
    std::string file;
    std::string message;
  };
  const Case cases[] = {
      {"missing input",
       {"encrypt", "--key-file", key, dir / "none"},
       dir / "none",
       "ファイルが見つかりません"},
      {"input in a missing folder",
       {"decrypt", "--key-file", key, dir / "no/in"},
       dir / "no/in",
       "不正なファイル名です"},
      {"a folder as input",
       {"encrypt", "--key-file", key, dir / "folder"},
       dir / "folder",
       "ファイルへのアクセスが拒否されました"},
      {"missing key file",
       {"encrypt", "--key-file", dir / "nokey", in},
       dir / "nokey",
       "ファイルが見つかりません"},
      {"output in a missing folder",
       {"encrypt", "--key-file", key, "-o", dir / "no/out", in},
       dir / "no/out",
       "不正なファイル名です"},
      {"a folder as output",
       {"encrypt", "--key-file", key, "-o", dir / "folder", in},
       dir / "folder",
       "ファイルへのアクセスが拒否されました"},
      {"a read-only output, as the editor refuses to save over it",
       {"encrypt", "--key-file", key, "-o", readOnly, in},
       readOnly,
       "ファイルへのアクセスが拒否されました"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const CliResult r = RunCli(c.args);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "vellumo-cli: " + c.file + ": " + c.message + "\n");
  }
  EXPECT_EQ(ReadFile(readOnly), "kept");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"folder", "in", "key", "read-only"}));
}

TEST(CliFiles, AFullDiskOnStandardOutput) {
  ScratchDir dir;
  testing::CliRunOptions toFullDisk;
  toFullDisk.stdoutPath = "/dev/full";
  const CliResult r = RunCli({"encrypt", "--key-file", dir.Write("key", "pw")}, "text", toFullDisk);
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.err, "vellumo-cli: standard output: I/O エラー (112)\n");
}

TEST(CliRefusals, NothingIsWrittenForInputsTheToolCannotUse) {
  ScratchDir dir;
  const std::string key = dir.Write("key", "pw");
  struct Case {
    const char* what;
    std::vector<std::string> args;
    std::string input;
    std::string message;
  };
  std::string longText;
  for (int line = 0; line < 3000; ++line)
    longText += std::string(99, 'x') + "\n";
  const std::string longFile = dir.Write("long", longText + std::string("ab\0c", 4));
  const Case cases[] = {
      {"a zero byte in the text to encrypt, from standard input",
       {"encrypt", "--key-file", key},
       std::string("line\nab\0c", 9),
       "the input holds a zero byte (at line 2, byte 3), which the encrypted form cannot carry"},
      {"a zero byte far into a file",
       {"encrypt", "--key-file", key, longFile},
       "",
       "the input holds a zero byte (at line 3001, byte 3), which the encrypted form cannot carry"},
      {"a zero byte far into standard input",
       {"encrypt", "--key-file", key},
       longText + std::string("ab\0c", 4),
       "the input holds a zero byte (at line 3001, byte 3), which the encrypted form cannot carry"},
      {"a zero byte in the key file's first line",
       {"encrypt", "--key-file", dir.Write("zero-key", std::string("p\0w\nx", 5))},
       "text",
       "the key file's first line holds a zero byte (at byte 2), which a key cannot hold"},
      {"a device of zero bytes as key file, never read whole",
       {"decrypt", "--key-file", "/dev/zero"},
       "text",
       "the key file's first line holds a zero byte (at byte 1), which a key cannot hold"},
      {"a key file's first line longer than 1 MiB",
       {"encrypt", "--key-file", dir.Write("long-key", std::string((1 << 20) + 1, 'k') + "\n")},
       "text",
       "the key file's first line is longer than 1 MiB (1048576 bytes), which no key is"},
      {"an empty key would leave the text unencrypted",
       {"encrypt", "--key-file", dir.Write("empty-key", "\r\nsecond line")},
       "text",
       "the key is empty, which would leave the text as it is; nothing is written"},
      {"an empty key would leave the text undecrypted",
       {"decrypt", "--key-file", dir.Write("no-key", "")},
       ":6h5\r\n",
       "the key is empty, which would leave the text as it is; nothing is written"},
  };
  // Standard input is a file, which the tool reads again to name a place, and a pipe, whose lines
  // it counts as it goes.
  for (const auto& c : cases) {
    for (const bool pipe : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (pipe ? ", through a pipe" : ""));
      testing::CliRunOptions options;
      options.stdinPipe = pipe;
      const CliResult r = RunCli(c.args, c.input, options);
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err, "vellumo-cli: " + c.message + "\n");
    }
  }
  // A key of 1 MiB is still one.
  const CliResult longest = RunCli(
      {"encrypt", "--key-file", dir.Write("longest-key", std::string(1 << 20, 'k'))}, "text");
  EXPECT_EQ(longest.status, 0) << longest.err;
}

TEST(CliOutputFile, IsReplacedOnlyWhenTheWorkIsDone) {
  ScratchDir dir;
  const std::string key = dir.Write("key", "pw");
  const std::string out = dir.Write("out", "old content");
  chmod(out.c_str(), 0640);
  const std::string bad = dir.Write("bad.qzv", "not letters\r\n");
  ScratchDir keys;

  struct Case {
    const char* what;
    std::vector<std::string> args;
    std::string input;
    int status;
  };
  const Case failures[] = {
      {"decryption fails", {"decrypt", "--key-file", key, "-o", out, bad}, "", 1},
      {"a zero byte", {"encrypt", "--key-file", key, "-o", out}, std::string("a\0b", 3), 1},
      {"a missing input", {"encrypt", "--key-file", key, "-o", out, dir / "none"}, "", 3},
      {"no key", {"encrypt", "-o", out}, "text", 2},
      {"an empty key", {"encrypt", "--key-file", keys.Write("empty", ""), "-o", out}, "text", 1},
  };
  for (const auto& c : failures) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(RunCli(c.args, c.input).status, c.status);
    EXPECT_EQ(ReadFile(out), "old content");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"bad.qzv", "key", "out"}));
  }
  // A failed run does not create its output either.
  EXPECT_EQ(
      RunCli({"encrypt", "--key-file", key, "-o", dir / "new"}, std::string("a\0b", 3)).status, 1);
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"bad.qzv", "key", "out"}));

  // Success replaces the file, keeps its permissions and leaves nothing else behind.
  const CliResult enc =
      RunCli({"encrypt", "--key-file", key, "--seed", "1", "-o", out}, "new text");
  ASSERT_EQ(enc.status, 0) << enc.err;
  struct stat st {};
  stat(out.c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"bad.qzv", "key", "out"}));

  // The input may be the output itself: it is read whole before it is replaced.
  const CliResult dec = RunCli({"decrypt", "--key-file", key, "-o", out, out});
  ASSERT_EQ(dec.status, 0) << dec.err;
  EXPECT_EQ(ReadFile(out), "new text");
}

}  // namespace
}  // namespace vellumo
