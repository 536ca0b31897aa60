#include "cipher/letters.h"

#include "cipher/tables.h"

namespace vellumo {

Text EncodeByte(std::uint8_t b, Generator& generator) {
  Text pair(2, '\0');
  pair[0] = AlphabetLetter(static_cast<int>(generator.Draw(4)), b >> 4);
  pair[1] = AlphabetLetter(static_cast<int>(generator.Draw(4)), b & 15);
  return pair;
}

std::uint16_t LetterValue(unsigned char code) {
  return kTables.letterValue[code];
}

bool DecodePair(TextView pair, std::uint8_t& b) {
  b = 0;
  const auto first = LetterValue(static_cast<unsigned char>(pair.size() > 0 ? pair[0] : '\0'));
  if (first == kNoValue) return false;
  const auto high = static_cast<std::uint8_t>(first << 4);
  const auto second = LetterValue(static_cast<unsigned char>(pair.size() > 1 ? pair[1] : '\0'));
  if (second == kNoValue) return false;
  b = static_cast<std::uint8_t>(high + second);
  return true;
}

}  // namespace vellumo
