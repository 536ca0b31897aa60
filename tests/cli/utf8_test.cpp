// vellumo-cli --utf8 through the real binary: UTF-8 text in and out, the code page 932 bytes in
// between, and conversion failures that name their place and write nothing.
#include <gtest/gtest.h>

#include "cli_process.h"

namespace vellumo {
namespace {

using testing::CliResult;
using testing::RunCli;
using testing::ScratchDir;

TEST(CliUtf8, EncryptsTheCp932FormAndDecryptsBackToUtf8) {
  ScratchDir dir;
  const std::string key = dir.Write("key", "\x8c\xae");  // 鍵 in code page 932
  const std::string utf8 = "鍵のテキスト\r\nｱｲｳ ～ ≒ \ue000\n";
  const std::string cp932 =
      "\x8c\xae\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67\r\n\xb1\xb2\xb3 \x81\x60 \x81\xe0 "
      "\xf0\x40\n";

  const CliResult fromUtf8 = RunCli({"encrypt", "--utf8", "--seed", "8", "--key-file", key}, utf8);
  const CliResult fromCp932 = RunCli({"encrypt", "--seed", "8", "--key-file", key}, cp932);
  ASSERT_EQ(fromUtf8.status, 0) << fromUtf8.err;
  EXPECT_EQ(fromUtf8.out, fromCp932.out);

  EXPECT_EQ(RunCli({"decrypt", "--key-file", key}, fromUtf8.out).out, cp932);
  EXPECT_EQ(RunCli({"decrypt", "--utf8", "--key-file", key}, fromUtf8.out).out, utf8);
}

TEST(CliUtf8, AConversionFailureNamesItsPlaceAndWritesNothing) {
  ScratchDir dir;
  const std::string key = dir.Write("key", "pw");
  const std::string out = dir.Write("out", "old");
  // Bytes of 932 that have no character: a lead byte before a space, on line 2; and the same
  // after several pieces of 1 MiB: 30000 lines of 70 double-byte characters.
  const CliResult encrypted =
      RunCli({"encrypt", "--seed", "3", "--key-file", key}, "first\r\nab\x81 c\r\n");
  ASSERT_EQ(encrypted.status, 0) << encrypted.err;
  std::string longCp932;
  std::string longUtf8;
  for (int line = 0; line < 30000; ++line) {
    for (int i = 0; i < 70; ++i) {
      longCp932 += "\x8c\xae";
      longUtf8 += "鍵";
    }
    longCp932 += "\r\n";
    longUtf8 += "\r\n";
  }
  const CliResult longEncrypted =
      RunCli({"encrypt", "--seed", "3", "--key-file", key}, longCp932 + "abc\x81 c\r\n");
  ASSERT_EQ(longEncrypted.status, 0) << longEncrypted.err;
  struct Case {
    const char* what;
    std::vector<std::string> args;
    std::string input;
    std::string message;
  };
  const Case cases[] = {
      {"a character without a 932 form",
       {"encrypt", "--utf8", "--key-file", key, "-o", out},
       "line one\nsecond \u301c line",
       "the input's character at line 2, byte 8 is not UTF-8 or has no code page 932 form"},
      {"bytes that are not UTF-8",
       {"encrypt", "--utf8", "--key-file", key, "-o", out},
       "ok\xc3(",
       "the input's character at line 1, byte 3 is not UTF-8 or has no code page 932 form"},
      {"bytes that are not UTF-8 before a zero byte",
       {"encrypt", "--utf8", "--key-file", key, "-o", out},
       std::string("ok\n\xe3\0", 5),
       "the input's character at line 2, byte 1 is not UTF-8 or has no code page 932 form"},
      {"decrypted bytes without a character",
       {"decrypt", "--utf8", "--key-file", key, "-o", out},
       encrypted.out,
       "the decrypted text's character at line 2, byte 3 has no UTF-8 form"},
      {"a character without a 932 form several pieces on",
       {"encrypt", "--utf8", "--key-file", key, "-o", out},
       longUtf8 + "ab\u301c",
       "the input's character at line 30001, byte 3 is not UTF-8 or has no code page 932 form"},
      {"decrypted bytes without a character several pieces on",
       {"decrypt", "--utf8", "--key-file", key, "-o", out},
       longEncrypted.out,
       "the decrypted text's character at line 30001, byte 4 has no UTF-8 form"},
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
      EXPECT_EQ(r.err, "vellumo-cli: " + c.message + "\n");
      EXPECT_EQ(testing::ReadFile(out), "old");
    }
  }
}

}  // namespace
}  // namespace vellumo
