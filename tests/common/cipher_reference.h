// Straightforward versions of the cipher's rules, one character at a time and written from the
// value table and the walks' steps, against which the fast library code is checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vellumo::reference {

// Value of a character as a letter: 47..62 -> 62 - c, 63..78 -> c - 63, 79..94 -> c - 79,
// 95..126 -> (110 - c) mod 256; -1 for every other code.
inline int ReferenceLetterValue(unsigned char c) {
  if (c >= 47 && c <= 62) return 62 - c;
  if (c >= 63 && c <= 78) return c - 63;
  if (c >= 79 && c <= 94) return c - 79;
  if (c >= 95 && c <= 126) return (110 - c) & 0xFF;
  return -1;
}

// A pair of characters as a byte: false with b = 0 when either has no value.
inline bool ReferenceDecodePair(unsigned char first, unsigned char second, std::uint8_t& b) {
  b = 0;
  const int v = ReferenceLetterValue(first);
  if (v < 0) return false;
  const int w = ReferenceLetterValue(second);
  if (w < 0) return false;
  b = static_cast<std::uint8_t>((16 * v + w) & 0xFF);
  return true;
}

// The current form, read pair by pair: a CR after a pair swallows it and the next character;
// the walk ends at the end or at a zero byte; a bad pair empties out and answers false.
inline bool ReferenceDecodeCurrent(std::string_view in, std::uint8_t keyValue, std::string& out) {
  out.clear();
  std::size_t pos = 0;
  while (pos < in.size() && in[pos] != '\0') {
    const auto first = static_cast<unsigned char>(in[pos]);
    const auto second = static_cast<unsigned char>(pos + 1 < in.size() ? in[pos + 1] : '\0');
    std::uint8_t b;
    if (!ReferenceDecodePair(first, second, b)) {
      out.clear();
      return false;
    }
    out += static_cast<char>(b ^ keyValue);
    pos += 2;
    if (pos < in.size() && in[pos] == '\r') pos += 2;
  }
  return true;
}

inline int ReferenceHexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The legacy form under a non-empty key text: the whole input is read as hexadecimal pairs, each
// XORed with the key's XOR and the key's next byte; the result counts only when it begins with
// marker, which is then dropped.
inline bool ReferenceDecodeLegacy(std::string_view in, std::string_view key,
                                  std::string_view marker, std::string& out) {
  std::uint8_t keyXor = 0;
  for (const char c : key)
    keyXor ^= static_cast<std::uint8_t>(c);
  out.clear();
  std::size_t pos = 0, keyPos = 0;
  while (pos < in.size() && in[pos] != '\0') {
    int value = 0;
    const int high = ReferenceHexDigit(in[pos]);
    if (high >= 0) {
      value = high;
      const int low = pos + 1 < in.size() ? ReferenceHexDigit(in[pos + 1]) : -1;
      if (low >= 0) value = 16 * high + low;
    }
    out += static_cast<char>(value ^ keyXor ^ static_cast<std::uint8_t>(key[keyPos]));
    keyPos = (keyPos + 1) % key.size();
    pos += 2;
    if (pos < in.size() && in[pos] == '\r') pos += 2;
  }
  if (out.size() < marker.size() || std::string_view(out).substr(0, marker.size()) != marker) {
    out.clear();
    return false;
  }
  out.erase(0, marker.size());
  return true;
}

// The current form as written: each byte up to the first zero XORed with keyValue, its nibbles
// as letters of the alphabets that the generator draws (the top two bits of each new state),
// CR LF after every 64 bytes when more follow and at the end.
inline std::string ReferenceEncode(std::string_view text, std::uint8_t keyValue,
                                   std::uint32_t state) {
  auto letter = [&state](int nibble) {
    state = state * 134775813u + 1u;
    switch (state >> 30) {
      case 0:
        return static_cast<char>(62 - nibble);
      case 1:
        return static_cast<char>(63 + nibble);
      case 2:
        return static_cast<char>(79 + nibble);
      default:
        return static_cast<char>(110 - nibble);
    }
  };
  std::string out;
  int lineCount = 0;
  for (const char c : text) {
    if (c == '\0') break;
    if (lineCount == 64) {
      out += "\r\n";
      lineCount = 0;
    }
    ++lineCount;
    const auto b = static_cast<std::uint8_t>(static_cast<std::uint8_t>(c) ^ keyValue);
    out += letter(b >> 4);
    out += letter(b & 15);
  }
  out += "\r\n";
  return out;
}

}  // namespace vellumo::reference
