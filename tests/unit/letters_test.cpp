// Letters, the generator, EncodeByte, DecodePair and key derivation.
#include "cipher/letters.h"

#include <gtest/gtest.h>

#include <set>

#include "cipher/key.h"
#include "tests/common/cipher_reference.h"

namespace vellumo {
namespace {

TEST(Alphabets, UseEachCodeFrom47To110ExactlyOnce) {
  std::set<int> codes;
  for (int a = 0; a < 4; ++a) {
    for (int n = 0; n < 16; ++n)
      codes.insert(static_cast<unsigned char>(AlphabetLetter(a, n)));
  }
  EXPECT_EQ(codes.size(), 64u);
  EXPECT_EQ(*codes.begin(), 47);
  EXPECT_EQ(*codes.rbegin(), 110);
}

TEST(Alphabets, MatchTheLetterTable) {
  struct Row {
    int nibble;
    const char* letters;  // alphabets 0..3
  };
  const Row rows[] = {{0, ">?On"},   {1, "=@Pm"},  {4, ":CSj"}, {8, "6GWf"},
                      {13, "1L\\a"}, {14, "0M]`"}, {15, "/N^_"}};
  for (const auto& r : rows) {
    for (int a = 0; a < 4; ++a) {
      EXPECT_EQ(AlphabetLetter(a, r.nibble), r.letters[a])
          << "nibble " << r.nibble << " alphabet " << a;
    }
  }
}

TEST(Generator, DrawsTheHighBitsOfTheAdvancedState) {
  Generator g(0);
  EXPECT_EQ(g.Draw(4), 0u);  // state 1
  EXPECT_EQ(g.State(), 1u);
  EXPECT_EQ(g.Draw(4), 0u);  // state 134775814
  EXPECT_EQ(g.State(), 134775814u);
  g.SetState(0xFFFFFFFFu);
  EXPECT_EQ(g.Draw(4), static_cast<std::uint32_t>((0xFFFFFFFFu * 134775813u + 1u) >> 30));
  g.SetState(0x40000000u - 1u);
  const std::uint32_t next = (0x40000000u - 1u) * 134775813u + 1u;
  EXPECT_EQ(g.Draw(1000), static_cast<std::uint32_t>((std::uint64_t{next} * 1000u) >> 32));
}

TEST(EncodeByte, WorkedExampleFromStateZero) {
  Generator g(0);
  EXPECT_EQ(EncodeByte(0x41, g), ":=");
  EXPECT_EQ(g.State(), 134775814u) << "exactly two draws";
}

TEST(EncodeByte, EveryByteUnderEveryAlphabetPairDecodesBack) {
  for (int b = 0; b < 256; ++b) {
    for (int a1 = 0; a1 < 4; ++a1) {
      for (int a2 = 0; a2 < 4; ++a2) {
        const char pair[2] = {AlphabetLetter(a1, b >> 4), AlphabetLetter(a2, b & 15)};
        std::uint8_t out = 1;
        ASSERT_TRUE(DecodePair(TextView(pair, 2), out));
        ASSERT_EQ(out, b);
      }
    }
  }
}

TEST(EncodeByte, EveryByteFromAnyStateDecodesBackAfterTwoDraws) {
  for (int b = 0; b < 256; ++b) {
    for (std::uint32_t seed = 0; seed < 64; ++seed) {
      const std::uint32_t state = (seed * 2654435761u) ^ static_cast<std::uint32_t>(b);
      Generator g(state);
      const Text letters = EncodeByte(static_cast<std::uint8_t>(b), g);
      ASSERT_EQ(letters.size(), 2u);
      std::uint8_t out = 0;
      ASSERT_TRUE(DecodePair(letters, out) && out == b) << b << " from " << state;
      Generator twice(state);
      twice.Draw(4);
      twice.Draw(4);
      ASSERT_EQ(g.State(), twice.State()) << b << " from " << state;
    }
  }
}

TEST(EncodeByte, ProducesEachOfTheSixteenPairsOfAByte) {
  std::set<Text> pairs;
  for (std::uint32_t seed = 0; seed < 4096; ++seed) {
    Generator g(seed * 2654435761u);
    const Text pair = EncodeByte(0x41, g);
    ASSERT_NE(TextView(":CSj").find(pair[0]), TextView::npos);
    ASSERT_NE(TextView("=@Pm").find(pair[1]), TextView::npos);
    pairs.insert(pair);
  }
  EXPECT_EQ(pairs.size(), 16u);
}

TEST(DecodePair, Table) {
  struct Case {
    unsigned char first, second;
    bool ok;
    int byte;
  };
  const Case cases[] = {
      {'>', '>', true, 0x00}, {'/', '_', true, 0xFF}, {'C', '@', true, 0x41},
      {'0', '9', true, 0xE5},  // digits belong to alphabet 0
      {111, 63, true, 0xF0},  {63, 111, true, 0xFF},  {126, 126, true, 0xF0},
      {' ', '?', false, 0},   {'?', ' ', false, 0},   {13, '?', false, 0},
      {'?', 10, false, 0},    {0, '?', false, 0},     {'?', 0, false, 0},
      {46, '?', false, 0},    {'?', 127, false, 0},   {0x8C, 0xAE, false, 0},
      {'?', 0x83, false, 0},  {255, 255, false, 0},
  };
  for (const auto& c : cases) {
    const char pair[2] = {static_cast<char>(c.first), static_cast<char>(c.second)};
    std::uint8_t b = 0x55;
    EXPECT_EQ(DecodePair(TextView(pair, 2), b), c.ok) << int(c.first) << "," << int(c.second);
    EXPECT_EQ(b, c.byte) << int(c.first) << "," << int(c.second);
  }
}

// Every code and every pair of codes (65,536) against the step-by-step reference: the value of a
// letter, and the byte of a pair or its refusal (which leaves 0).
TEST(DecodePair, EveryPairAgreesWithTheReference) {
  for (int c = 0; c < 256; ++c) {
    const int expected = reference::ReferenceLetterValue(static_cast<unsigned char>(c));
    EXPECT_EQ(LetterValue(static_cast<unsigned char>(c)), expected < 0 ? kNoValue : expected) << c;
  }
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      std::uint8_t expected = 0;
      const bool expectedOk = reference::ReferenceDecodePair(
          static_cast<unsigned char>(first), static_cast<unsigned char>(second), expected);
      const char pair[2] = {static_cast<char>(first), static_cast<char>(second)};
      std::uint8_t b = 0xA5;
      ASSERT_EQ(DecodePair(TextView(pair, 2), b), expectedOk) << first << "," << second;
      ASSERT_EQ(b, expected) << first << "," << second;
    }
  }
}

// A pair cut short by the end of the text: the missing second letter counts as a zero byte, which
// is no letter.
TEST(DecodePair, MissingSecondLetterIsRefused) {
  for (int first = 0; first < 256; ++first) {
    const char one = static_cast<char>(first);
    std::uint8_t b = 0xA5;
    EXPECT_FALSE(DecodePair(TextView(&one, 1), b)) << first;
    EXPECT_EQ(b, 0) << first;
  }
  std::uint8_t b = 0xA5;
  EXPECT_FALSE(DecodePair(TextView(), b));
  EXPECT_EQ(b, 0);
}

TEST(KeyDerivation, Table) {
  struct Case {
    Text key;
    std::uint8_t keyXor;
    KeyBytesArray bytes;
  };
  const Case cases[] = {
      {"", 0, {}},
      {"a", 'a', {0}},
      {"\x8c\xae", 0x8C ^ 0xAE, {0xAE, 0xAE}},  // one double-byte character: its second byte
      {"abc", 'a' ^ 'b' ^ 'c', {'b' ^ 'c', 'b' ^ 'c', 'b' ^ 'c'}},
      {"zbc", 'z' ^ 'b' ^ 'c', {'b' ^ 'c', 'b' ^ 'c', 'b' ^ 'c'}},  // first byte does not matter
      {"secret", 's' ^ 'e' ^ 'c' ^ 'r' ^ 'e' ^ 't', KeyBytesArray(6, 'e' ^ 'c' ^ 'r' ^ 'e' ^ 't')},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(KeyXor(c.key), c.keyXor) << c.key;
    KeyBytesArray bytes{9, 9, 9, 9, 9, 9, 9, 9, 9};
    DeriveKeyBytes(c.key, bytes);
    EXPECT_EQ(bytes, c.bytes) << c.key;
  }
}

}  // namespace
}  // namespace vellumo
