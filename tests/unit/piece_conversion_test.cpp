// The code page 932 conversions applied to a text in pieces cut anywhere: the same bytes as one
// conversion of the whole text, and the same place for a character that does not convert.
#include "cli/piece_conversion.h"

#include <gtest/gtest.h>

#include <random>

namespace vellumo {
namespace {

struct Result {
  bool ok = true;
  std::uint64_t failedAt = 0;
  std::string out;
};

Result Whole(PieceConversion::Direction direction, TextView text) {
  Result r;
  const Cp932Conversion c = direction == PieceConversion::Direction::Utf8ToCp932
                                ? Utf8ToCp932(text, r.out)
                                : Cp932ToUtf8(text, r.out);
  r.ok = c.ok;
  r.failedAt = c.failedAt;
  return r;
}

Result InPieces(PieceConversion::Direction direction, TextView text, std::mt19937& rng) {
  PieceConversion conversion(direction);
  Result r;
  const auto emit = [&](TextView bytes) { r.out.append(bytes); };
  for (std::size_t at = 0; at < text.size() && r.ok;) {
    const std::size_t n = 1 + rng() % (rng() % 2 ? 3 : 40);
    r.ok = conversion.Feed(text.substr(at, n), emit, r.failedAt);
    at += n;
  }
  if (r.ok) r.ok = conversion.Finish(emit, r.failedAt);
  return r;
}

TEST(PieceConversion, InPiecesEqualsTheWholeConversion) {
  // Characters of one to four bytes, and now and then one that does not convert (a look-alike
  // without a code page 932 form, a byte that is no UTF-8, a lead byte without its second byte);
  // at most one of those in a text, so that its place is unambiguous.
  const std::pair<PieceConversion::Direction, std::vector<std::string>> alphabets[] = {
      {PieceConversion::Direction::Utf8ToCp932,
       {"a", "\n", "\u00b1", "あ", "鍵", "ｱ", "\ue000", "\u301c", "\xff", "\xe3\x81",
        "\U0001F600"}},
      {PieceConversion::Direction::Cp932ToUtf8,
       {"a", "\n", "\x82\xa0", "\x8c\xae", "\xb1", "\x81\x81", "\xe0\x40", "\x80", "\x81\x20",
        "\x85\x40"}},
  };
  std::mt19937 rng(4);
  for (const auto& [direction, characters] : alphabets) {
    for (int round = 0; round < 2000; ++round) {
      std::string text;
      const std::size_t length = rng() % 60;
      const std::size_t bad = rng() % 80;
      for (std::size_t i = 0; i < length; ++i) {
        // Characters that convert (the first seven of each list), but at the place of the bad one.
        text += characters[i == bad ? 7 + rng() % (characters.size() - 7) : rng() % 7];
      }
      const Result whole = Whole(direction, text);
      const Result pieces = InPieces(direction, text, rng);
      ASSERT_EQ(pieces.ok, whole.ok) << round;
      if (whole.ok) {
        ASSERT_EQ(pieces.out, whole.out) << round;
      } else {
        ASSERT_EQ(pieces.failedAt, whole.failedAt) << round;
      }
    }
  }
}

}  // namespace
}  // namespace vellumo
