// Legacy texts built from the rule, for the tests that read them: LegacyMarker and the text, each
// byte XORed with the key's XOR and the key's next byte (cycling over the key), written as two
// hexadecimal digits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "cipher/codec.h"
#include "cipher/key.h"
#include "cipher/text.h"

namespace vellumo::testing {

// How one pair is written: the case of its digits and what follows it.
struct LegacyPair {
  bool upper = true;
  std::string after;
};

// The legacy text of `text` under `key` (not empty); layout(i) answers how pair i is written.
template <class Layout>
Text BuildLegacyText(TextView text, TextView key, Layout&& layout) {
  const Text plain = Text(LegacyMarker) + Text(text);
  const std::uint8_t keyXor = KeyXor(key);
  Text out;
  for (std::size_t i = 0; i < plain.size(); ++i) {
    const auto value = static_cast<std::uint8_t>(static_cast<std::uint8_t>(plain[i]) ^ keyXor ^
                                                 static_cast<std::uint8_t>(key[i % key.size()]));
    const LegacyPair pair = layout(i);
    const char* digits = pair.upper ? "0123456789ABCDEF" : "0123456789abcdef";
    out += digits[value >> 4];
    out += digits[value & 15];
    out += pair.after;
  }
  return out;
}

// In lines of pairsPerLine pairs of one case, with CR LF after each line and at the end.
inline Text LegacyText(TextView text, TextView key, bool upper = true,
                       std::size_t pairsPerLine = 32) {
  const std::size_t pairs = LegacyMarker.size() + text.size();
  return BuildLegacyText(text, key, [&](std::size_t i) {
    const bool lineEnds = (i + 1) % pairsPerLine == 0 || i + 1 == pairs;
    return LegacyPair{upper, lineEnds ? "\r\n" : ""};
  });
}

}  // namespace vellumo::testing
