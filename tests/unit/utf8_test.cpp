// The one UTF-8 <-> UTF-16 conversion: characters of every length, bytes that are not UTF-8, and
// lone surrogates, which survive the way to UTF-8 and back.
#include "platform/utf8.h"

#include <gtest/gtest.h>

#include <random>

namespace vellumo {
namespace {

TEST(Utf8, ConvertsBothWays) {
  struct Case {
    const char* what;
    std::string utf8;
    std::u16string utf16;
  };
  const Case cases[] = {
      {"ASCII and a zero", std::string("a\0~", 3), std::u16string(u"a\0~", 3)},
      {"two, three and four bytes", "é鍵😀", u"é鍵😀"},
      {"the largest of each length", "\u007F\u07FF\uFFFF\U0010FFFF",
       u"\u007F\u07FF\uFFFF\U0010FFFF"},
      {"lone surrogates in the three-byte form",
       "a\xED\xA0\xBD"
       "b\xED\xB2\x80",
       u"a\xD83D"
       u"b\xDC80"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.what;
    EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.what;
  }
}

TEST(Utf8, BytesThatAreNotUtf8) {
  struct Case {
    const char* what;
    std::string utf8;
    std::u16string utf16;   // as read leniently
    std::size_t strictEnd;  // where a strict read of the first character ends
  };
  const Case cases[] = {
      {"a stray continuation byte", "\x80z", u"\uFFFDz", 1},
      {"a sequence cut short", "\xE9\x8D", u"\uFFFD\uFFFD", 1},
      {"a continuation byte missing", "\xE9\x8Dz", u"\uFFFD\uFFFDz", 1},
      {"an overlong form", "\xC0\xAF", u"\uFFFD\uFFFD", 1},
      {"an overlong three-byte form", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD", 1},
      {"past U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", 1},
      {"a byte no form begins with", "\xFF", u"\uFFFD", 1},
      {"an encoded surrogate, refused only when strict", "\xED\xA0\x80", u"\xD800", 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.what;
    std::size_t pos = 0;
    EXPECT_EQ(ReadUtf8(c.utf8, pos, false), kNotUtf8) << c.what;
    EXPECT_EQ(pos, c.strictEnd) << c.what;
  }
}

// Any sequence of UTF-16 units, lone surrogates included, comes back from UTF-8 unchanged.
TEST(Utf8, RandomUnitsComeBack) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> length(0, 40);
  std::uniform_int_distribution<int> unit(0, 0xFFFF);
  std::uniform_int_distribution<int> surrogate(0xD800, 0xDFFF);
  for (int round = 0; round < 2000; ++round) {
    std::u16string units(static_cast<std::size_t>(length(rng)), u'\0');
    for (auto& u : units)
      u = static_cast<char16_t>(rng() % 3 == 0 ? surrogate(rng) : unit(rng));
    ASSERT_EQ(Utf8ToUtf16(Utf16ToUtf8(units)), units);
  }
}

}  // namespace
}  // namespace vellumo
