// One whole line of the current form (64 bytes, 128 letters) by plain table lookups: the walk
// every processor has, and the one the wider walks are checked against.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "cipher/tables.h"

namespace vellumo::line_walk {

struct ScalarLine {
  // The letters of 64 bytes from generator state s.
  static void Encode(const unsigned char* in, std::uint8_t keyValue, std::uint32_t s, char* out) {
    for (std::size_t j = 0; j < kBytesPerLine; ++j) {
      const std::uint32_t first = kTables.jumpMul[2 * j] * s + kTables.jumpAdd[2 * j];
      const std::uint32_t second = kTables.jumpMul[2 * j + 1] * s + kTables.jumpAdd[2 * j + 1];
      const std::uint16_t letters = kTables.pair[((first >> 30) << 10) | ((second >> 30) << 8) |
                                                 static_cast<std::uint8_t>(in[j] ^ keyValue)];
      out[2 * j] = static_cast<char>(letters & 0xFF);
      out[2 * j + 1] = static_cast<char>(letters >> 8);
    }
  }

  // The 64 bytes of 128 letters; false, writing nothing, when any of them has no value.
  static bool Decode(const unsigned char* in, std::uint8_t keyValue, char* out) {
    const auto& value = kTables.letterValue;
    std::array<char, kBytesPerLine> line;
    std::uint16_t flags = 0;
    for (std::size_t k = 0; k < kBytesPerLine; ++k) {
      const std::uint16_t high = value[in[2 * k]];
      const std::uint16_t low = value[in[2 * k + 1]];
      flags |= high | low;
      line[k] = static_cast<char>(static_cast<std::uint8_t>((high << 4) + low) ^ keyValue);
    }
    if (flags & kNoValue) return false;
    std::memcpy(out, line.data(), line.size());
    return true;
  }

  // Whether all 128 letters have a value, as Decode would find.
  static bool Check(const unsigned char* in) {
    std::uint16_t flags = 0;
    for (std::size_t k = 0; k < 2 * kBytesPerLine; ++k)
      flags |= kTables.letterValue[in[k]];
    return !(flags & kNoValue);
  }
};

}  // namespace vellumo::line_walk
