#include "cipher/key.h"

namespace vellumo {

std::uint8_t KeyXor(TextView keyText) {
  std::uint8_t x = 0;
  for (const char c : keyText)
    x = static_cast<std::uint8_t>(x ^ static_cast<std::uint8_t>(c));
  return x;
}

void DeriveKeyBytes(TextView keyText, KeyBytesArray& keyBytes) {
  const std::uint8_t value =
      keyText.empty()
          ? 0
          : static_cast<std::uint8_t>(static_cast<std::uint8_t>(keyText[0]) ^ KeyXor(keyText));
  // A new array rather than assign(): a shorter key must not leave the old bytes in the tail.
  keyBytes = KeyBytesArray(keyText.size(), value);
}

}  // namespace vellumo
