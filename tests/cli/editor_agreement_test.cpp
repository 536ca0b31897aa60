// vellumo-cli against the editor's own EncryptText/DecryptText (TCipherForm driven by a scripted
// key dialog): the same bytes and the same decisions for the same key and seed, through the real
// binary, its files and its standard streams.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "cipher/codec.h"
#include "cipher/key.h"
#include "cli_process.h"
#include "editor/text_file.h"
#include "editor/text_reader.h"
#include "tests/common/legacy_text.h"
#include "tests/unit/cipher_fakes.h"

namespace vellumo {
namespace {

using testing::CipherRig;
using testing::CliResult;
using testing::EnterKey;
using testing::FirstDifference;
using testing::LegacyText;
using testing::RunCli;
using testing::ScratchDir;

constexpr const char* kKeyInDoubleBytes = "\x8c\xae";  // one double-byte character in 932

Text EditorEncrypt(TextView text, TextView key, std::uint32_t seed) {
  CipherRig rig;
  rig.clock.utcMilliseconds = seed;
  rig.view.scripts.push_back(EnterKey(Text(key)));
  Text out;
  EXPECT_TRUE(rig.form.EncryptText(text, out));
  return out;
}

struct EditorDecryption {
  bool ok = false;
  Text out;
};

// What the editor's decrypting open shows for a file of these bytes.
EditorDecryption EditorDecrypt(TextView fileBytes, TextView key) {
  CipherRig rig;
  rig.view.scripts.push_back(EnterKey(Text(key)));
  EditorDecryption d;
  d.ok = rig.form.DecryptText(ReadTextRules(fileBytes), d.out);
  return d;
}

Text RandomText(std::size_t n, std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> byte(1, 255);
  Text t(n, '\0');
  for (auto& c : t)
    c = static_cast<char>(byte(rng));
  return t;
}

Text AllNonZeroBytes() {
  Text t;
  for (int b = 1; b < 256; ++b)
    t += static_cast<char>(b);
  return t;
}

TEST(CliEncrypt, GivesTheEditorsBytesAndDecryptsBack) {
  struct Case {
    const char* what;
    Text key;
    Text text;
    std::uint32_t seed;
  };
  const Case cases[] = {
      {"two bytes under a one-byte key at midnight", "k", "\x48\x69", 0},
      {"one byte", "secret", "x", 1234},
      {"a full line", "secret", RandomText(64, 1), 86399999},
      {"a line and one byte", kKeyInDoubleBytes, RandomText(65, 2), 4294967295u},
      {"two full lines", "abc", RandomText(128, 3), 77},
      {"every byte but zero, line breaks and byte 26 included", "abc", AllNonZeroBytes(), 5},
      {"text past the tool's streaming piece", "long key text", RandomText(300001, 4), 99},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    const std::string key = dir.Write("key", c.key);
    const std::string in = dir.Write("in", c.text);
    const CliResult enc =
        RunCli({"encrypt", "--key-file", key, "--seed", std::to_string(c.seed), in});
    ASSERT_EQ(enc.status, 0) << enc.err;
    const Text expected = EditorEncrypt(c.text, c.key, c.seed);
    EXPECT_TRUE(enc.out == expected) << FirstDifference(enc.out, expected);
    EXPECT_EQ(enc.err, "");
    const CliResult dec = RunCli({"decrypt", "--key-file", key}, enc.out);
    ASSERT_EQ(dec.status, 0) << dec.err;
    EXPECT_TRUE(dec.out == c.text) << "the round trip: " << FirstDifference(dec.out, c.text);
  }
}

TEST(CliEncrypt, WorkedExample) {
  ScratchDir dir;
  const CliResult r = RunCli({"encrypt", "--key-file", dir.Write("key", "k"), "--seed", "0"}, "Hi");
  EXPECT_EQ(r.out, ":6h5\r\n");
}

TEST(CliEncrypt, StandardInputToOutputFile) {
  ScratchDir dir;
  const Text text = "line one\r\nline two\nthree\r";
  const CliResult r = RunCli(
      {"encrypt", "--seed", "31337", "-o", dir / "out.qzv", "--key-file", dir.Write("key", "pw")},
      text);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(testing::ReadFile(dir / "out.qzv"), EditorEncrypt(text, "pw", 31337));
}

TEST(CliEncrypt, DefaultSeedIsTheClocksMillisecondsSinceMidnightUtc) {
  ScratchDir dir;
  const Text text = RandomText(40, 6);
  const auto now = [] {
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::system_clock::now().time_since_epoch())
                                          .count() %
                                      86400000);
  };
  const std::uint32_t before = now();
  const CliResult r = RunCli({"encrypt", "--key-file", dir.Write("key", "pw")}, text);
  const std::uint32_t after = now();
  ASSERT_EQ(r.status, 0) << r.err;
  bool found = false;
  for (std::uint32_t s = before; !found && s != (after + 1) % 86400000; s = (s + 1) % 86400000) {
    found = r.out == EditorEncrypt(text, "pw", s);
  }
  EXPECT_TRUE(found) << "no seed between " << before << " and " << after << " gives the output";
}

TEST(CliKeyFile, TheKeyIsTheFirstLine) {
  const Text text = RandomText(100, 7);
  const Text expected = EditorEncrypt(text, "abc", 42);
  for (const Text keyFile : {"abc", "abc\n", "abc\r\n", "abc\rignored", "abc\nnext line\n"}) {
    SCOPED_TRACE(keyFile);
    ScratchDir dir;
    const CliResult r =
        RunCli({"encrypt", "--seed", "42", "--key-file", dir.Write("key", keyFile)}, text);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected);
  }
}

TEST(CliDecrypt, DecidesAsTheEditorOpeningTheSameFile) {
  const Text text = "鍵のテキスト\r\nsecond line";
  const Text encrypted = EditorEncrypt(text, "secret", 2024);
  const Text longEncrypted = EditorEncrypt(RandomText(1000, 8), "secret", 7);
  Text withZero(EncodedSize(3), '\0');
  EncodeLines(reinterpret_cast<const unsigned char*>("a\0b"), 3, 0, 5, withZero.data());
  Text loneCRs = longEncrypted;
  for (std::size_t at = loneCRs.find("\r\n"); at != Text::npos; at = loneCRs.find("\r\n", at)) {
    loneCRs.erase(at + 1, 1);
  }
  Text lfOnly = longEncrypted;
  for (std::size_t at = lfOnly.find("\r\n"); at != Text::npos; at = lfOnly.find("\r\n", at)) {
    lfOnly.erase(at, 1);
  }
  struct Case {
    const char* what;
    Text key;
    Text file;
    bool decodes;
  };
  const Case cases[] = {
      {"the editor's encrypted file", "secret", encrypted, true},
      {"without the closing line break", "secret", encrypted.substr(0, encrypted.size() - 2), true},
      {"lines ended by a lone CR", "secret", loneCRs, true},
      {"lines ended by LF alone", "secret", lfOnly, false},
      {"everything from byte 26 on is ignored", "secret", encrypted + "\x1a" + "not letters !",
       true},
      {"byte 26 cuts a line: odd letters", "secret", encrypted.substr(0, 5) + "\x1a" + "kk", false},
      {"a decoded zero byte stays", "k", withZero, true},
      {"plain text", "secret", "hello world\r\n", false},
      {"an empty line inside", "secret", encrypted + "\r\n" + encrypted, false},
      {"legacy form, one-byte key", "k", LegacyText(text, "k", true), true},
      {"legacy form, longer key, lower case", "secret", LegacyText(text, "secret", false), true},
      {"legacy form, double-byte key", kKeyInDoubleBytes, LegacyText(text, kKeyInDoubleBytes, true),
       true},
      {"legacy form under another key reads as the current form", "other",
       LegacyText(text, "secret", true), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const EditorDecryption editor = EditorDecrypt(c.file, c.key);
    ASSERT_EQ(editor.ok, c.decodes) << "the case does not show what it says";
    ScratchDir dir;
    // Saved by the editor's own file routine.
    WriteTextFile(SystemFileSystem(), dir / "in.qzv", c.file);
    const CliResult r = RunCli({"decrypt", "--key-file", dir.Write("key", c.key), dir / "in.qzv"});
    if (c.decodes) {
      EXPECT_EQ(r.status, 0) << r.err;
      EXPECT_TRUE(r.out == editor.out) << FirstDifference(r.out, editor.out);
      EXPECT_EQ(r.err, "");
    } else {
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err, std::string("vellumo-cli: ") + kDecryptFailedMessage + "\n");
    }
  }
  // The worked cases say what the editor gives, not only that both agree.
  ScratchDir dir;
  const std::string key = dir.Write("key", "secret");
  EXPECT_EQ(RunCli({"decrypt", "--key-file", key, dir.Write("a", encrypted)}).out, text);
  EXPECT_EQ(
      RunCli({"decrypt", "--key-file", key, dir.Write("b", LegacyText(text, "secret", false))}).out,
      text);
  EXPECT_EQ(RunCli({"decrypt", "--key-file", dir.Write("k1", "k"), dir.Write("c", withZero)}).out,
            Text("a\0b", 3));
}

TEST(CliEmptyText, NeedsNoKeyAsInTheEditor) {
  // An empty input needs no key: none is given and there is no terminal to ask on.
  ScratchDir dir;
  for (const char* command : {"encrypt", "decrypt"}) {
    const CliResult r = RunCli({command});
    EXPECT_EQ(r.status, 0) << command << ": " << r.err;
    EXPECT_EQ(r.out, "") << command;
  }
  // So is a file that reads as empty text.
  EXPECT_EQ(RunCli({"decrypt", dir.Write("eof-first",
                                         "\x1a"
                                         "abc")})
                .status,
            0);
}

}  // namespace
}  // namespace vellumo
