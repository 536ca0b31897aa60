// Decryption in pieces: for texts of every kind, cut anywhere, the same bytes and the same answer
// as the step-by-step decryption of the whole text.
#include "cipher/decrypt_stream.h"

#include <gtest/gtest.h>

#include <random>

#include "cipher/key.h"
#include "editor/text_reader.h"
#include "tests/common/cipher_reference.h"

namespace vellumo {
namespace {

using reference::ReferenceDecodeCurrent;
using reference::ReferenceDecodeLegacy;

struct Decryption {
  bool ok = false;
  Text out;
};

// What decrypting the whole text gives: the legacy form first, then the current form.
Decryption WholeText(TextView text, TextView key) {
  Decryption d;
  d.ok = ReferenceDecodeLegacy(text, key, LegacyMarker, d.out) ||
         ReferenceDecodeCurrent(text, KeyXor(key) ^ static_cast<std::uint8_t>(key[0]), d.out);
  return d;
}

// The same text fed in pieces of the given sizes (the last one takes the rest).
Decryption InPieces(TextView text, TextView key, const std::vector<std::size_t>& sizes,
                    bool checkOnly = false) {
  KeyBytesArray bytes;
  DeriveKeyBytes(key, bytes);
  DecryptStream stream(key, bytes.front(), checkOnly);
  Decryption d;
  std::size_t at = 0;
  for (std::size_t i = 0; at < text.size() && !stream.Ended(); ++i) {
    const std::size_t n = i < sizes.size() ? sizes[i] : text.size() - at;
    d.out.append(stream.Feed(text.substr(at, n)));
    at += std::min(n, text.size() - at);
  }
  d.out.append(stream.Finish());
  d.ok = !stream.Failed();
  if (!d.ok) d.out.clear();
  return d;
}

Text RandomBytes(std::mt19937& rng, std::size_t n, TextView alphabet) {
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  Text t(n, '\0');
  for (auto& c : t)
    c = alphabet[pick(rng)];
  return t;
}

Text Legacy(TextView plain, TextView key, std::size_t pairsPerLine) {
  const Text all = Text(LegacyMarker) + Text(plain);
  const std::uint8_t keyXor = KeyXor(key);
  Text out;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (i > 0 && i % pairsPerLine == 0) out += "\r\n";
    const auto v = static_cast<std::uint8_t>(static_cast<std::uint8_t>(all[i]) ^ keyXor ^
                                             static_cast<std::uint8_t>(key[i % key.size()]));
    out += "0123456789abcdef"[v >> 4];
    out += "0123456789ABCDEF"[v & 15];
  }
  return out + "\r\n";
}

// File bytes of many kinds: encrypted texts whole and damaged, legacy texts, and noise.
Text RandomFile(std::mt19937& rng, TextView key) {
  std::uniform_int_distribution<int> kind(0, 9);
  std::uniform_int_distribution<std::size_t> length(0, 700);
  const Text plain = RandomBytes(rng, length(rng), "ab\r\n\x1a\x80\xff");
  const auto keyValue = static_cast<std::uint8_t>(KeyXor(key) ^ static_cast<std::uint8_t>(key[0]));
  Text file;
  EncodeText(plain, keyValue, static_cast<std::uint32_t>(rng()), file);
  std::uniform_int_distribution<std::size_t> place(0, file.size());
  switch (kind(rng)) {
    case 0:
      break;  // as written
    case 1:   // lines of other lengths, some odd
      for (int i = 0; i < 4; ++i)
        file.erase(std::min(place(rng), file.size()), 1);
      break;
    case 2:  // lone CRs, LFs alone, empty lines
      file.insert(std::min(place(rng), file.size()), rng() % 2 ? "\r" : "\n");
      file.insert(std::min(place(rng), file.size()), "\r\n");
      break;
    case 3:  // a zero byte, a byte 26
      file.insert(std::min(place(rng), file.size()), 1, rng() % 2 ? '\0' : '\x1a');
      break;
    case 4:  // one long line
      std::erase(file, '\r');
      std::erase(file, '\n');
      break;
    case 5:
      file = Legacy(plain, key, 1 + rng() % 40);
      break;
    case 6:  // legacy under another key
      file = Legacy(plain, "other", 32);
      break;
    case 7: {  // damaged legacy: an odd line, a zero
      file = Legacy(plain, key, 7);
      file.erase(std::min<std::size_t>(rng() % 300, file.size()), 1);
      if (rng() % 2) file.insert(std::min<std::size_t>(rng() % 300, file.size()), 1, '\0');
      break;
    }
    default:
      file = RandomBytes(rng, length(rng), rng() % 2 ? "0a\r\n\0x" : "/n\r\n ");
  }
  return file;
}

TEST(DecryptStream, InPiecesEqualsTheWholeTextWalk) {
  std::mt19937 rng(20240611);
  const Text keys[] = {"k", "\x8c\xae", "longer key"};
  std::uniform_int_distribution<std::size_t> small(1, 5);
  std::uniform_int_distribution<std::size_t> large(1, 400);
  for (int round = 0; round < 3000; ++round) {
    const Text& key = keys[round % 3];
    const Text text = ReadTextRules(RandomFile(rng, key));
    const Decryption whole = WholeText(text, key);
    std::vector<std::size_t> sizes;
    for (std::size_t total = 0; total < text.size();) {
      sizes.push_back(rng() % 3 == 0 ? small(rng) : large(rng));
      total += sizes.back();
    }
    const Decryption pieces = InPieces(text, key, sizes);
    ASSERT_EQ(pieces.ok, whole.ok) << "round " << round;
    ASSERT_EQ(pieces.out, whole.out) << "round " << round;
    const Decryption onePiece = InPieces(text, key, {});
    ASSERT_EQ(onePiece.ok, whole.ok) << "round " << round;
    ASSERT_EQ(onePiece.out, whole.out) << "round " << round;
    ASSERT_EQ(InPieces(text, key, sizes, true).ok, whole.ok) << "round " << round << ", checking";
  }
}

TEST(DecryptStream, EndsAtAZeroByteWherePairsBegin) {
  // Nothing after the zero byte is needed, not even what would fail.
  const Text plain(300, 'p');
  Text text;
  EncodeText(plain, 0x21, 7, text);
  text += Text(1, '\0') + "not letters\r\n";
  DecryptStream stream("k", 0x21);
  Text out(stream.Feed(text));
  EXPECT_TRUE(stream.Ended());
  out += stream.Finish();
  EXPECT_FALSE(stream.Failed());
  EXPECT_EQ(out, plain);
}

}  // namespace
}  // namespace vellumo
