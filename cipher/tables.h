// Lookup tables of the cipher, built at compile time: letter values, letters by alphabet and
// nibble, and the generator's k-step jumps that let one line's draws be computed independently.
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
  // Letter for (alphabet << 4) | nibble.
  std::array<char, 64> letter{};
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
  for (int c = 0; c < 256; ++c) {
    std::uint16_t v = kNoValue;
    if (c >= 47 && c <= 62)
      v = static_cast<std::uint16_t>(62 - c);
    else if (c >= 63 && c <= 78)
      v = static_cast<std::uint16_t>(c - 63);
    else if (c >= 79 && c <= 94)
      v = static_cast<std::uint16_t>(c - 79);
    else if (c >= 95 && c <= 126)
      v = static_cast<std::uint16_t>((110 - c) & 0xFF);
    t.letterValue[static_cast<std::size_t>(c)] = v;
  }
  for (std::size_t a = 0; a < 4; ++a) {
    for (std::size_t n = 0; n < 16; ++n) {
      t.letter[a * 16 + n] = AlphabetLetter(static_cast<int>(a), static_cast<int>(n));
    }
  }
  for (int a1 = 0; a1 < 4; ++a1) {
    for (int a2 = 0; a2 < 4; ++a2) {
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
