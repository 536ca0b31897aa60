// The four letter alphabets, the cipher's generator, and the byte <-> letter-pair mapping.
#pragma once

#include <array>
#include <cstdint>

#include "cipher/text.h"

namespace vellumo {

// Nibble n of alphabet a as a letter code; the 64 letters are the codes 47 ('/') to 110 ('n').
constexpr char AlphabetLetter(int alphabet, int nibble) {
  switch (alphabet) {
    case 0:
      return static_cast<char>(62 - nibble);
    case 1:
      return static_cast<char>(63 + nibble);
    case 2:
      return static_cast<char>(79 + nibble);
    default:
      return static_cast<char>(110 - nibble);
  }
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
