// The four letter alphabets, the cipher's generator, and the byte <-> letter-pair mapping.
#pragma once

#include <array>
#include <cstdint>

#include "cipher/text.h"

namespace vellumo {

// The four alphabets of 16 letters: alphabet a writes nibble n as first + step * n.
//   0: 62 ('>') down to 47 ('/')   1: 63 ('?') up to 78 ('N')
//   2: 79 ('O') up to 94 ('^')     3: 110 ('n') down to 95 ('_')
struct Alphabet {
  int first;  // the letter of nibble 0
  int step;   // +1 for an alphabet that runs up, -1 for one that runs down
};
inline constexpr int kAlphabetCount = 4;
inline constexpr int kAlphabetSize = 16;
inline constexpr std::array<Alphabet, kAlphabetCount> kAlphabets{
    {{62, -1}, {63, 1}, {79, 1}, {110, -1}}};
// The 64 letters are the codes kLowestLetter to kHighestLetter. Reading takes codes up to
// kHighestReadable as letters too: those past the last alphabet read by its rule, giving values
// over 15.
inline constexpr int kLowestLetter = kAlphabets[0].first - (kAlphabetSize - 1);
inline constexpr int kHighestLetter = kAlphabets[3].first;
inline constexpr int kHighestReadable = 126;

// Nibble n of alphabet a as a letter code.
constexpr char AlphabetLetter(int alphabet, int nibble) {
  const Alphabet& a = kAlphabets[static_cast<std::size_t>(alphabet)];
  return static_cast<char>(a.first + a.step * nibble);
}

// The cipher's linear congruential generator: one 32-bit state.
class Generator {
 public:
  static constexpr std::uint32_t kMultiplier = 134775813u;
  static constexpr std::uint32_t kIncrement = 1u;

  explicit Generator(std::uint32_t state = 0) : state_(state) {}

  void SetState(std::uint32_t state) { state_ = state; }
  std::uint32_t State() const { return state_; }

  // Advances the state and yields a value from 0 to k - 1 (the high half of state * k).
  std::uint32_t Draw(std::uint32_t k) {
    state_ = state_ * kMultiplier + kIncrement;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(state_) * k) >> 32);
  }

 private:
  std::uint32_t state_;
};

// Two letters for byte b, the high nibble's first; draws the generator twice.
Text EncodeByte(std::uint8_t b, Generator& generator);

// Value of one letter code: 0..255 when it has one, kNoValue otherwise.
inline constexpr std::uint16_t kNoValue = 0x100;
std::uint16_t LetterValue(unsigned char code);

// Decodes the first two characters of pair (callers always pass two; a missing second is a zero
// byte). Answers false with b = 0 when either has no value.
bool DecodePair(TextView pair, std::uint8_t& b);

}  // namespace vellumo
