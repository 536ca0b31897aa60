// The whole-text walks: the current encoded form written and read, and the legacy form read.
#include "cipher/codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "cipher/key.h"
#include "cipher/letters.h"
#include "tests/common/cipher_reference.h"
#include "tests/common/legacy_text.h"

namespace vellumo {
namespace {

using testing::LegacyText;

Text HexOf(TextView bytes, bool upper = false) {
  const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  Text hex;
  for (const char c : bytes) {
    hex += digits[static_cast<std::uint8_t>(c) >> 4];
    hex += digits[static_cast<std::uint8_t>(c) & 15];
  }
  return hex;
}

Text Encode(TextView text, std::uint8_t keyValue, std::uint32_t seed) {
  Text out;
  EncodeText(text, keyValue, seed, out);
  return out;
}

Text RandomText(std::mt19937& rng, std::size_t n) {
  std::uniform_int_distribution<int> byte(1, 255);
  Text t(n, '\0');
  for (auto& c : t)
    c = static_cast<char>(byte(rng));
  return t;
}

TEST(EncodeText, WorkedExample) {
  EXPECT_EQ(Encode("\x48\x69", 0, 0), ":6h5\r\n");
}

TEST(EncodeText, LayoutAndSize) {
  struct Case {
    std::size_t n;
    std::size_t size;
    std::vector<std::size_t> lineLetters;
  };
  const Case cases[] = {
      {1, 4, {2}},         {63, 128, {126}},       {64, 130, {128}},
      {65, 134, {128, 2}}, {128, 260, {128, 128}}, {129, 264, {128, 128, 2}},
  };
  std::mt19937 rng(7);
  for (const auto& c : cases) {
    const Text out = Encode(RandomText(rng, c.n), 0x5A, 12345);
    EXPECT_EQ(out.size(), c.size) << c.n;
    EXPECT_EQ(EncodedSize(c.n), c.size) << c.n;
    std::vector<std::size_t> lines;
    std::size_t start = 0;
    for (std::size_t pos; (pos = out.find("\r\n", start)) != Text::npos; start = pos + 2) {
      lines.push_back(pos - start);
    }
    EXPECT_EQ(start, out.size()) << "ends with CR LF";
    EXPECT_EQ(lines, c.lineLetters) << c.n;
    for (const char ch : out) {
      if (ch != '\r' && ch != '\n') {
        ASSERT_TRUE(ch >= 47 && ch <= 110) << int(ch);
      }
    }
  }
}

TEST(EncodeText, StopsAtTheFirstZeroByte) {
  EXPECT_EQ(Encode(TextView("\0abc", 4), 0, 99), "\r\n");
  EXPECT_EQ(Encode(TextView("Hi\0abc", 6), 0, 0), ":6h5\r\n");
  EXPECT_EQ(Encode(TextView("", 0), 0, 0), "\r\n");
}

// Every walk the processor can take, in turn, and then the widest again.
template <class F>
void OnEveryLineWalk(F&& check) {
  for (const LineWalk walk : AvailableLineWalks()) {
    UseLineWalkForTesting(walk);
    check(static_cast<int>(walk));
  }
  UseLineWalkForTesting(std::nullopt);
}

TEST(EncodeText, MatchesTheStepByStepReferenceOnEveryPath) {
  std::mt19937 rng(2024);
  OnEveryLineWalk([&](int walk) {
    for (const std::size_t n : {1u, 2u, 63u, 64u, 65u, 127u, 128u, 129u, 1000u, 70000u}) {
      const Text text = RandomText(rng, n);
      const auto seed = static_cast<std::uint32_t>(rng());
      const auto key = static_cast<std::uint8_t>(rng());
      ASSERT_EQ(Encode(text, key, seed), reference::ReferenceEncode(text, key, seed))
          << n << " " << walk;
    }
  });
}

TEST(DecodeText, EveryWalkReadsWholeLinesAsTheReferenceDoes) {
  // Three whole lines and a short one, with one character changed anywhere into a code at the
  // edge of the letters or past them.
  std::mt19937 rng(11);
  const Text encoded = reference::ReferenceEncode(RandomText(rng, 3 * 64 + 10), 0x6B, 99);
  const unsigned char replacements[] = {46,  47,  62,  63,  78,  79,   94,   95, 110,
                                        111, 126, 127, 128, 255, '\r', '\n', 0};
  OnEveryLineWalk([&](int walk) {
    for (std::size_t at = 0; at < encoded.size(); at += 37) {
      for (const unsigned char code : replacements) {
        Text changed = encoded;
        changed[at] = static_cast<char>(code);
        Text expected, out;
        const bool ok = reference::ReferenceDecodeCurrent(changed, 0x6B, expected);
        ASSERT_EQ(DecodeText(changed, 0x6B, out), ok) << walk << " " << at << " " << int(code);
        ASSERT_EQ(out, ok ? expected : Text()) << walk << " " << at << " " << int(code);
        ASSERT_EQ(DecodePart(changed, 0x6B, nullptr).ok, ok) << "check only: " << walk;
      }
    }
  });
}

TEST(EncodeLines, PiecesOfWholeLinesJoinToTheWholeText) {
  std::mt19937 rng(3);
  const Text text = RandomText(rng, 64 * 10 + 5);
  const Text whole = Encode(text, 0x21, 777);
  Text joined(whole.size(), '\0');
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  std::uint32_t state = 777;
  std::size_t written = 0;
  for (std::size_t i = 0; i < text.size(); i += 192) {
    const std::size_t n = std::min<std::size_t>(192, text.size() - i);
    state = EncodeLines(in + i, n, 0x21, state, joined.data() + written);
    written += EncodedSize(n);
  }
  EXPECT_EQ(joined, whole);
}

TEST(EncodeText, AppendsToWhatTheOutputHolds) {
  Text out = "x";
  EncodeText("\x48\x69", 0, 0, out);
  EXPECT_EQ(out, "x:6h5\r\n");
}

TEST(DecodeText, WorkedExampleAndFormsOfTheEnd) {
  struct Case {
    Text input;
    bool ok;
    Text output;
  };
  const Case cases[] = {
      {":6h5\r\n", true, "\x48\x69"},
      {":6h5", true, "\x48\x69"},     // closing CR LF missing
      {":6h5\r", true, "\x48\x69"},   // a lone CR at the very end
      {":6\rXh5", true, "\x48\x69"},  // CR swallows the next character whatever it is
      {":6\rh5", false, ""},          // ... so a CR directly before a letter drops that letter
      {":6\r\nh5\r\n", true, "\x48\x69"},
      {":6h\r\n", false, ""},       // odd letters: the last pairs with CR
      {":6h", false, ""},           // odd letters at the end: pairs with the end
      {":6\nh5", false, ""},        // LF alone is not skipped
      {":6h5\r\n\r\n", false, ""},  // an empty line
      {"\r\n:6h5", false, ""},      // begins with a line break
      {"", true, ""},
      {Text(":6\0h5", 5), true, "\x48"},  // the walk stops at a zero byte
      {Text(":\0", 2), false, ""},        // zero as second character has no value
      {"ab cd", false, ""},
      {"\x93\xfa\x96\x7b", false, ""},  // plain Japanese text
      {"CDEF", true, "\x45\x67"},       // even printable text decodes to other bytes
  };
  for (const auto& c : cases) {
    Text out = "old";
    EXPECT_EQ(DecodeText(c.input, 0, out), c.ok) << c.input;
    EXPECT_EQ(out, c.output) << c.input;
  }
}

TEST(DecodeText, KeepsADecodedZeroByte) {
  Text out;
  ASSERT_TRUE(DecodeText(">>?n", 0, out));
  EXPECT_EQ(out, Text("\0\0", 2));
}

TEST(LegacyForm, DecodesUnderTheRightKeyInEitherCase) {
  const Text text = "\x93\xfa\x96\x7b\x8c\xea\r\nline two\r\n" + Text(1, '\0') + "z";
  for (const Text key : {"k", "\x8c\xae", "longer key text"}) {
    for (const bool upper : {true, false}) {
      Text out;
      ASSERT_TRUE(DecodeLegacyText(LegacyText(text, key, upper), key, out)) << key << upper;
      EXPECT_EQ(out, text);
    }
  }
}

TEST(LegacyForm, UnderAOneByteKeyIsTheMarkerAndTheTextInHex) {
  Text out;
  ASSERT_TRUE(DecodeLegacyText(HexOf(Text(LegacyMarker) + "Hi"), "x", out));
  EXPECT_EQ(out, "Hi");
}

TEST(LegacyForm, IsRefused) {
  const Text text = "secret";
  Text caseOnly(LegacyMarker);
  caseOnly[0] = 'v';
  struct Case {
    const char* what;
    Text input;
    Text key;
  };
  const Case cases[] = {
      {"wrong key", LegacyText(text, "right", true), "wrong"},
      {"marker differs in case only", HexOf(caseOnly + "text"), "x"},
      {"fewer than 64 decoded bytes", LegacyText("", "k", true).substr(0, 126), "k"},
      {"current form", ":6h5\r\n", "k"},
      {"empty", "", "k"},
  };
  for (const auto& c : cases) {
    Text out = "old";
    EXPECT_FALSE(DecodeLegacyText(c.input, c.key, out)) << c.what;
    EXPECT_EQ(out, "") << c.what;
  }
}

TEST(LegacyForm, HexadecimalReadingOfPairs) {
  // Under key "x" the XORs cancel: each pair's value is the byte. 4a -> 74, 4G -> 4, G4 -> 0.
  const Text base = HexOf(LegacyMarker);
  struct Case {
    Text tail;
    Text output;
  };
  const Case cases[] = {
      {"4a", "\x4a"},
      {"4G", "\x04"},
      {"G4", Text(1, '\0')},
      {"4", "\x04"},     // a single last character
      {"4a\r", "\x4a"},  // a CR as the very last character
      {"4a\r\n4b", "\x4a\x4b"},
      {"4a\rX4b", "\x4a\x4b"},  // CR swallows whatever follows it
      {Text("4\0"
            "4b",
            4),
       "\x04\x4b"},  // a zero as second character: first digit alone
      {Text("4a\0"
            "4b",
            5),
       "\x4a"},  // a zero where a pair begins ends the walk
  };
  for (const auto& c : cases) {
    Text out;
    ASSERT_TRUE(DecodeLegacyText(base + c.tail, "x", out)) << c.tail;
    EXPECT_EQ(out, c.output) << c.tail;
  }
}

TEST(LegacyForm, UnderAWrongKeyReadsAsTheCurrentForm) {
  // Every hexadecimal digit is a letter of the alphabets, so the current form takes it.
  const Text legacy = LegacyText("text", "right", false);
  Text out;
  EXPECT_FALSE(DecodeLegacyText(legacy, "wrong", out));
  EXPECT_TRUE(DecodeText(legacy, 0x11, out));
  EXPECT_EQ(out.size(), 68u);
}

}  // namespace
}  // namespace vellumo
