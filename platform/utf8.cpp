#include "platform/utf8.h"

#include <cstdint>

namespace vellumo {
namespace {

bool IsContinuation(std::string_view s, std::size_t i) {
  return i < s.size() && (static_cast<std::uint8_t>(s[i]) & 0xC0) == 0x80;
}

bool IsHighSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char32_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

char32_t ReadUtf8(std::string_view utf8, std::size_t& pos, bool allowSurrogates) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(utf8[pos + i]); };
  const std::uint8_t first = byte(0);
  if (first < 0x80) {
    ++pos;
    return first;
  }
  // The length and the smallest value of each form (a smaller one is overlong).
  std::size_t length = 0;
  char32_t c = 0;
  char32_t smallest = 0;
  if (first >= 0xC2 && first <= 0xDF) {
    length = 2;
    c = first & 0x1F;
    smallest = 0x80;
  } else if ((first & 0xF0) == 0xE0) {
    length = 3;
    c = first & 0x0F;
    smallest = 0x800;
  } else if (first >= 0xF0 && first <= 0xF4) {
    length = 4;
    c = first & 0x07;
    smallest = 0x10000;
  } else {
    ++pos;
    return kNotUtf8;
  }
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(utf8, pos + i)) {
      ++pos;
      return kNotUtf8;
    }
    c = (c << 6) | (byte(i) & 0x3F);
  }
  const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
  if (c < smallest || c > 0x10FFFF || (surrogate && !allowSurrogates)) {
    ++pos;
    return kNotUtf8;
  }
  pos += length;
  return c;
}

namespace {

// Writes the UTF-8 form of c at out and answers the place after it.
char* PutUtf8(char32_t c, char* out) {
  if (c < 0x80) {
    *out++ = static_cast<char>(c);
  } else if (c < 0x800) {
    *out++ = static_cast<char>(0xC0 | (c >> 6));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (c >> 12));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (c >> 18));
    *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

}  // namespace

void AppendUtf8(char32_t c, std::string& out) {
  char bytes[4];
  out.append(bytes, static_cast<std::size_t>(PutUtf8(c, bytes) - bytes));
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t c = ReadUtf8(utf8, pos, true);
    if (c == kNotUtf8) {
      out += u'\uFFFD';
    } else if (c < 0x10000) {
      out += static_cast<char16_t>(c);
    } else {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return out;
}

std::size_t Utf16ToUtf8(std::u16string_view utf16, char* out) {
  char* const start = out;
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = utf16[i];
    if (IsHighSurrogate(c) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    }
    out = PutUtf8(c, out);
  }
  return static_cast<std::size_t>(out - start);
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out(3 * utf16.size(), '\0');
  out.resize(Utf16ToUtf8(utf16, out.data()));
  return out;
}

}  // namespace vellumo
