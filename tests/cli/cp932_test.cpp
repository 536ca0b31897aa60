// The strict UTF-8 <-> code page 932 conversions: the Windows table's choices, its single bytes
// and user-defined area, and the position of the first character that does not convert.
#include "platform/cp932.h"

#include <gtest/gtest.h>

namespace vellumo {
namespace {

TEST(Utf8ToCp932, ConvertsAsWindowsDoes) {
  struct Case {
    const char* what;
    std::string utf8;
    std::string cp932;
  };
  const Case cases[] = {
      {"ASCII, backslash and tilde", "a\\~", "a\\~"},
      {"katakana", "テスト", "\x83\x65\x83\x58\x83\x67"},
      {"half-width katakana", "ｱ", "\xb1"},
      {"fullwidth tilde", "～", "\x81\x60"},
      {"a character in two rows takes the first", "≒", "\x81\xe0"},
      {"IBM extension before its NEC-selected copy", "ⅰ", "\xfa\x40"},
      {"zero byte", std::string("a\0b", 3), std::string("a\0b", 3)},
      {"single bytes 0x80, 0xA0, 0xFD to 0xFF", "\u0080\uf8f0\uf8f1\uf8f2\uf8f3",
       "\x80\xa0\xfd\xfe\xff"},
      {"user-defined area: first, past the 0x7F gap, last of a row, last",
       "\ue000\ue03f\ue0bb\ue757", "\xf0\x40\xf0\x80\xf0\xfc\xf9\xfc"},
  };
  for (const auto& c : cases) {
    std::string out;
    const Cp932Conversion r = Utf8ToCp932(c.utf8, out);
    EXPECT_TRUE(r.ok) << c.what;
    EXPECT_EQ(out, c.cp932) << c.what;
  }
}

TEST(Utf8ToCp932, RefusesAndSaysWhere) {
  struct Case {
    const char* what;
    std::string utf8;
    std::size_t failedAt;
  };
  const Case cases[] = {
      {"wave dash, a look-alike of the fullwidth tilde", "ab\u301c", 2},
      {"yen sign, a look-alike of the backslash", "x\u00a5", 1},
      {"em dash", "\u2014", 0},
      {"a character without a counterpart", "テ한", 3},
      {"outside the basic plane", "a\U0001F600", 1},
      {"past the user-defined area", "\ue758", 0},
      {"not UTF-8", "a\xff", 1},
      {"cut short", "ab\xe3\x81", 2},
      {"an encoded surrogate", "\xed\xa0\x80", 0},
      {"an overlong form", "\xc0\xaf", 0},
  };
  for (const auto& c : cases) {
    std::string out;
    const Cp932Conversion r = Utf8ToCp932(c.utf8, out);
    EXPECT_FALSE(r.ok) << c.what;
    EXPECT_EQ(r.failedAt, c.failedAt) << c.what;
  }
}

TEST(Cp932ToUtf8, ConvertsAsWindowsDoes) {
  struct Case {
    const char* what;
    std::string cp932;
    std::string utf8;
  };
  const Case cases[] = {
      {"ASCII, backslash and tilde", "a\\~", "a\\~"},
      {"katakana", "\x83\x65\x83\x58\x83\x67", "テスト"},
      {"half-width katakana", "\xa1\xdf", "｡ﾟ"},
      {"fullwidth tilde", "\x81\x60", "～"},
      {"NEC row 13 and NEC-selected IBM extension", "\x87\x90\xed\x40", "≒纊"},
      {"zero byte", std::string("a\0b", 3), std::string("a\0b", 3)},
      {"single bytes 0x80, 0xA0, 0xFD to 0xFF", "\x80\xa0\xfd\xfe\xff",
       "\u0080\uf8f0\uf8f1\uf8f2\uf8f3"},
      {"user-defined area", "\xf0\x40\xf9\xfc", "\ue000\ue757"},
  };
  for (const auto& c : cases) {
    std::string out;
    const Cp932Conversion r = Cp932ToUtf8(c.cp932, out);
    EXPECT_TRUE(r.ok) << c.what;
    EXPECT_EQ(out, c.utf8) << c.what;
  }
}

TEST(Cp932ToUtf8, RefusesAndSaysWhere) {
  struct Case {
    const char* what;
    std::string cp932;
    std::size_t failedAt;
  };
  const Case cases[] = {
      {"a lead byte at the end", "a\x81", 1},
      {"a lead byte before a byte that is no second byte", "\x83\x65\x81\x20", 2},
      {"a pair without a character", "ab\x85\x40", 2},
  };
  for (const auto& c : cases) {
    std::string out;
    const Cp932Conversion r = Cp932ToUtf8(c.cp932, out);
    EXPECT_FALSE(r.ok) << c.what;
    EXPECT_EQ(r.failedAt, c.failedAt) << c.what;
  }
}

}  // namespace
}  // namespace vellumo
