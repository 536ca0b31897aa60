// DecodePair and LetterValue over every pair of the input against the value table, and
// EncodeByte's letters decoding back to their byte.
#include <cstddef>
#include <cstdint>

#include "cipher/letters.h"
#include "fuzz_support.h"
#include "tests/common/cipher_reference.h"

namespace vellumo::fuzz {
namespace {

using namespace vellumo::reference;

// pair is a view of one or two bytes of the input (or none), so a read past it is caught; a
// missing second character counts as a zero byte.
void CheckPair(TextView pair) {
  const auto first = static_cast<unsigned char>(pair.size() > 0 ? pair[0] : '\0');
  const auto second = static_cast<unsigned char>(pair.size() > 1 ? pair[1] : '\0');
  std::uint8_t expected;
  const bool expectedOk = ReferenceDecodePair(first, second, expected);
  std::uint8_t b = 0xA5;
  FUZZ_CHECK(DecodePair(pair, b) == expectedOk);
  FUZZ_CHECK(b == expected);  // 0 on failure

  const int value = ReferenceLetterValue(first);
  FUZZ_CHECK(LetterValue(first) == (value < 0 ? kNoValue : value));
}

void CheckEncodeByte(std::uint8_t byte, std::uint32_t state) {
  Generator generator(state);
  const Text letters = EncodeByte(byte, generator);
  FUZZ_CHECK(letters.size() == 2);
  for (const char c : letters)
    FUZZ_CHECK(c >= 47 && c <= 110);
  std::uint8_t b = 0;
  FUZZ_CHECK(DecodePair(letters, b) && b == byte);
  // Exactly two draws.
  Generator twice(state);
  twice.Draw(4);
  twice.Draw(4);
  FUZZ_CHECK(generator.State() == twice.State());
}

void Run(TextView in) {
  if (in.empty()) CheckPair(in);
  Choices states(in.size());
  for (std::size_t i = 0; i < in.size(); ++i) {
    CheckPair(in.substr(i, 2));
    const auto byte = static_cast<std::uint8_t>(in[i]);
    CheckEncodeByte(byte, static_cast<std::uint32_t>(states.Next() ^ byte));
  }
}

}  // namespace
}  // namespace vellumo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vellumo::fuzz::Run(vellumo::fuzz::AsView(data, size));
  return 0;
}
