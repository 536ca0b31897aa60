// Inputs that give their bytes once (pipes, /dev/stdin, FIFOs whose writer comes late) give what
// the same bytes in a regular file give, to every kind of output; a file that changes while it
// is read is refused.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>

#include "cipher/codec.h"
#include "cli_process.h"

namespace vellumo {
namespace {

using testing::CliResult;
using testing::CliRunOptions;
using testing::FirstDifference;
using testing::LateFifoWriter;
using testing::ReadAll;
using testing::ReadFile;
using testing::RunCli;
using testing::ScratchDir;

// Code page 932 text of lines, no zero byte; longer than the tool's pieces of 1 MiB.
Text LongText(std::size_t size) {
  std::mt19937 rng(99);
  const Text words[] = {"\x8c\xae", "\x83\x65\x83\x4c\x83\x58\x83\x67", "abc ", "\x82\xa0", "\r\n"};
  Text t;
  while (t.size() < size)
    t += words[rng() % 5];
  return t;
}

enum class Source { File, StandardInputFile, StandardInputPipe, DevStdinPipe, LateFifo };

struct SourceRun {
  CliResult result;
  bool writerCame = true;
};

// Runs args with the input given as source; "IN" in args stands for the input's name.
SourceRun RunWith(Source source, std::vector<std::string> args, const Text& input,
                  const ScratchDir& dir, const std::string& outPath = {}) {
  CliRunOptions options;
  Text stdinBytes;
  std::string name;
  std::unique_ptr<LateFifoWriter> writer;
  switch (source) {
    case Source::File:
      name = dir.Write("in-file", input);
      break;
    case Source::StandardInputFile:
      name = "-";
      stdinBytes = input;
      break;
    case Source::StandardInputPipe:
      name = "-";
      stdinBytes = input;
      options.stdinPipe = true;
      break;
    case Source::DevStdinPipe:
      name = "/dev/stdin";
      stdinBytes = input;
      options.stdinPipe = true;
      break;
    case Source::LateFifo:
      name = dir / "in-fifo";
      unlink(name.c_str());
      mkfifo(name.c_str(), 0600);
      writer = std::make_unique<LateFifoWriter>(name, input);
      break;
  }
  std::replace(args.begin(), args.end(), std::string("IN"), name);
  if (!outPath.empty()) {
    args.insert(args.begin() + 1, {"-o", outPath});
  }
  SourceRun run;
  run.result = RunCli(args, stdinBytes, options);
  if (writer) run.writerCame = writer->ReaderCame();
  return run;
}

TEST(CliInputs, ReadOnceTheyGiveWhatARegularFileGives) {
  ScratchDir dir;
  const std::string key = dir.Write("key", "pw");
  const Text plain = LongText(3 << 20);
  const Text encrypted = RunCli({"encrypt", "--seed", "5", "--key-file", key}, plain).out;
  ASSERT_EQ(encrypted.size(), EncodedSize(plain.size()));
  struct Command {
    const char* what;
    std::vector<std::string> args;
    const Text& input;
    const Text& expected;
  };
  const Command commands[] = {
      {"encrypt", {"encrypt", "--seed", "5", "--key-file", key, "IN"}, plain, encrypted},
      {"decrypt", {"decrypt", "--key-file", key, "IN"}, encrypted, plain},
  };
  const std::pair<Source, const char*> sources[] = {
      {Source::File, "a regular file"},
      {Source::StandardInputFile, "standard input from a regular file"},
      {Source::StandardInputPipe, "standard input from a pipe"},
      {Source::DevStdinPipe, "/dev/stdin, a pipe"},
      {Source::LateFifo, "a FIFO whose writer comes late"},
  };
  for (const auto& command : commands) {
    for (const auto& [source, sourceName] : sources) {
      for (const bool toFile : {false, true}) {
        SCOPED_TRACE(std::string(command.what) + " from " + sourceName +
                     (toFile ? " to -o FILE" : " to standard output"));
        const std::string out = toFile ? dir / "out" : "";
        const SourceRun run = RunWith(source, command.args, command.input, dir, out);
        EXPECT_TRUE(run.writerCame);
        EXPECT_EQ(run.result.status, 0) << run.result.err;
        const Text got = toFile ? ReadFile(out) : run.result.out;
        EXPECT_TRUE(got == command.expected) << FirstDifference(got, command.expected);
      }
    }
  }
}

TEST(CliInputs, OnceOnlyInputsLargerThanMemoryHoldsGoThroughAScratchFile) {
  // Over 16 MiB waits for the check of the whole input: the encrypted output of encrypt, the
  // encrypted input of decrypt.
  ScratchDir dir;
  const std::string key = dir.Write("key", "pw");
  const Text plain = LongText(9 << 20);
  const SourceRun enc =
      RunWith(Source::StandardInputPipe, {"encrypt", "--seed", "6", "--key-file", key}, plain, dir);
  ASSERT_EQ(enc.result.status, 0) << enc.result.err;
  ASSERT_EQ(enc.result.out.size(), EncodedSize(plain.size()));
  const SourceRun dec =
      RunWith(Source::StandardInputPipe, {"decrypt", "--key-file", key}, enc.result.out, dir);
  EXPECT_EQ(dec.result.status, 0) << dec.result.err;
  EXPECT_TRUE(dec.result.out == plain) << FirstDifference(dec.result.out, plain);
  // A failure found at the very end leaves standard output empty.
  const SourceRun bad = RunWith(Source::StandardInputPipe, {"decrypt", "--key-file", key},
                                enc.result.out + "!\r\n", dir);
  EXPECT_EQ(bad.result.status, 1);
  EXPECT_EQ(bad.result.out, "");
}

TEST(CliInputs, AKeyFifoWhoseWriterComesLateIsWaitedFor) {
  ScratchDir dir;
  const std::string keyFifo = dir / "key-fifo";
  ASSERT_EQ(mkfifo(keyFifo.c_str(), 0600), 0);
  LateFifoWriter writer(keyFifo, "k\n");
  const CliResult r = RunCli({"encrypt", "--seed", "0", "--key-file", keyFifo}, "Hi");
  EXPECT_TRUE(writer.ReaderCame());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, ":6h5\r\n");
}

// Standard output is a pipe that this test reads: the tool's second pass writes its first output
// and then waits for the test to take it, which changes the file meanwhile. By then the tool has
// read no more than its few pieces ahead and those its few output buffers hold (well under 12 of
// the 16 pieces of 1 MiB); the change lies beyond.
TEST(CliInputs, AFileThatChangesWhileItIsReadIsRefused) {
  ScratchDir dir;
  const std::string key = dir.Write("key", "pw");
  const Text plain = LongText(16 << 20);
  struct Case {
    const char* what;
    std::function<void(const std::string&)> change;
  };
  const Case cases[] = {
      {"emptied", [](const std::string& path) { truncate(path.c_str(), 0); }},
      {"rewritten in place",
       [](const std::string& path) {
         const int fd = open(path.c_str(), O_WRONLY);
         const Text other(2 << 20, 'x');
         EXPECT_EQ(pwrite(fd, other.data(), other.size(), 12 << 20),
                   static_cast<ssize_t>(other.size()));
         close(fd);
       }},
  };
  const Text expected = RunCli({"encrypt", "--seed", "3", "--key-file", key}, plain).out;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string in = dir.Write("in", plain);
    CliRunOptions options;
    options.readStdout = [&](int fd) {
      char first = 0;
      if (read(fd, &first, 1) != 1) return std::string();
      c.change(in);
      return std::string(1, first) + ReadAll(fd);
    };
    const CliResult r = RunCli({"encrypt", "--seed", "3", "--key-file", key, in}, {}, options);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vellumo-cli: the input changed while it was read\n");
    // What was written is the output of the pieces as they were checked.
    EXPECT_FALSE(r.out.empty());
    EXPECT_LT(r.out.size(), expected.size());
    EXPECT_TRUE(TextView(expected).substr(0, r.out.size()) == r.out);
  }
}

}  // namespace
}  // namespace vellumo
