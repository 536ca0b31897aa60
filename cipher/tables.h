// Lookup tables of the cipher, built at compile time: letter values, the two letters of a byte by
// alphabet, and the generator's k-step jumps that let one line's draws be computed independently.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "cipher/letters.h"

namespace vellumo {

inline constexpr std::size_t kBytesPerLine = 64;
inline constexpr std::size_t kDrawsPerLine = 2 * kBytesPerLine;

struct CipherTables {
  // Value of each code as a letter: 0..255, or kNoValue.
  std::array<std::uint16_t, 256> letterValue{};
  // The two letters of a byte, first letter in the low byte, for
  // (firstAlphabet << 10) | (secondAlphabet << 8) | byte.
  std::array<std::uint16_t, 4096> pair{};
  // After k + 1 draws from state s the state is jumpMul[k] * s + jumpAdd[k] (mod 2^32).
  std::array<std::uint32_t, kDrawsPerLine> jumpMul{};
  std::array<std::uint32_t, kDrawsPerLine> jumpAdd{};
  // The same jumps in the order in which 256-bit lanes pack them: after two packing steps within
  // 128-bit halves, byte p of each group of 32 draws comes out as draw p.
  std::array<std::uint32_t, kDrawsPerLine> jumpMulPacked{};
  std::array<std::uint32_t, kDrawsPerLine> jumpAddPacked{};
};

constexpr CipherTables MakeCipherTables() {
  CipherTables t;
  t.letterValue.fill(kNoValue);
  for (int a = 0; a < kAlphabetCount; ++a) {
    for (int n = 0; n < kAlphabetSize; ++n) {
      const auto code = static_cast<unsigned char>(AlphabetLetter(a, n));
      t.letterValue[code] = static_cast<std::uint16_t>(n);
    }
  }
  // The codes past the last alphabet read by its rule, its values running on from 255 down.
  const Alphabet& last = kAlphabets[kAlphabetCount - 1];
  for (int c = kHighestLetter + 1; c <= kHighestReadable; ++c) {
    t.letterValue[static_cast<std::size_t>(c)] =
        static_cast<std::uint16_t>(((c - last.first) * last.step) & 0xFF);
  }
  for (int a1 = 0; a1 < kAlphabetCount; ++a1) {
    for (int a2 = 0; a2 < kAlphabetCount; ++a2) {
      for (int b = 0; b < 256; ++b) {
        const auto first = static_cast<unsigned char>(AlphabetLetter(a1, b >> 4));
        const auto second = static_cast<unsigned char>(AlphabetLetter(a2, b & 15));
        t.pair[static_cast<std::size_t>((a1 << 10) | (a2 << 8) | b)] =
            static_cast<std::uint16_t>(first | (second << 8));
      }
    }
  }
  std::uint32_t mul = 1, add = 0;
  for (std::size_t k = 0; k < kDrawsPerLine; ++k) {
    mul = mul * Generator::kMultiplier;
    add = add * Generator::kMultiplier + Generator::kIncrement;
    t.jumpMul[static_cast<std::size_t>(k)] = mul;
    t.jumpAdd[static_cast<std::size_t>(k)] = add;
  }
  for (std::size_t g = 0; g < kDrawsPerLine / 32; ++g) {
    for (std::size_t x = 0; x < 4; ++x) {
      for (std::size_t lane = 0; lane < 8; ++lane) {
        const std::size_t to = g * 32 + x * 8 + lane;
        const std::size_t from = g * 32 + (lane / 4) * 16 + x * 4 + lane % 4;
        t.jumpMulPacked[to] = t.jumpMul[from];
        t.jumpAddPacked[to] = t.jumpAdd[from];
      }
    }
  }
  return t;
}

inline constexpr CipherTables kTables = MakeCipherTables();

}  // namespace vellumo
