// Strict UTF-8 <-> code page 932 through iconv's "CP932", completed where the C library's table
// lacks entries that the Windows table has, so that both builds of the tool convert alike.
#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <stdexcept>

#include "platform/cp932.h"
#include "platform/posix/iconv_open_failed.h"

namespace vellumo {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (IconvOpenFailed(cd_)) {
      throw std::runtime_error(std::string("this system cannot convert ") + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts in from its start, appending to out, up to the end or to the first character that
  // does not convert; answers the offset where it stopped.
  std::size_t Run(std::string_view in, std::string& out) {
    char* src = const_cast<char*>(in.data());  // iconv's signature; it does not write the input
    std::size_t srcLeft = in.size();
    while (srcLeft > 0) {
      const std::size_t used = out.size();
      // Room for the common case (two bytes of 932 become three of UTF-8); E2BIG asks for more.
      const std::size_t room = srcLeft + srcLeft / 2 + 16;
      out.resize(used + room);
      char* dst = out.data() + used;
      std::size_t dstLeft = room;
      const std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      const int err = errno;
      out.resize(out.size() - dstLeft);
      if (r != static_cast<std::size_t>(-1)) break;
      if (err != E2BIG) break;  // EILSEQ or EINVAL: src points at the character
    }
    return in.size() - srcLeft;
  }

 private:
  iconv_t cd_;
};

// The single bytes that the Windows table gives characters and the C library does not.
constexpr std::uint8_t kSingleBytes[] = {0x80, 0xA0, 0xFD, 0xFE, 0xFF};
constexpr char32_t kSingleChars[] = {0x0080, 0xF8F0, 0xF8F1, 0xF8F2, 0xF8F3};

// The user-defined area: U+E000 to U+E757 are the pairs of lead bytes 0xF0 to 0xF9, 188 each.
constexpr char32_t kUserFirst = 0xE000;
constexpr char32_t kUserLast = 0xE757;

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The character of up to three bytes at the start of s (all this needs to recognise); nullopt when
// it is longer or malformed.
std::optional<char32_t> ReadUtf8(std::string_view s, std::size_t& length) {
  const auto b = [&](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
  const auto follows = [&](std::size_t i) { return i < s.size() && (b(i) & 0xC0) == 0x80; };
  if (s.empty()) return std::nullopt;
  if (b(0) >= 0xC2 && b(0) <= 0xDF && follows(1)) {
    length = 2;
    return static_cast<char32_t>(((b(0) & 0x1F) << 6) | (b(1) & 0x3F));
  }
  if ((b(0) & 0xF0) == 0xE0 && follows(1) && follows(2)) {
    const char32_t c = ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    length = 3;
    return c;
  }
  return std::nullopt;
}

// Code page 932 bytes of a character the C library's table lacks; false when it has none.
bool AppendMissingCp932(char32_t c, std::string& out) {
  for (std::size_t i = 0; i < std::size(kSingleChars); ++i) {
    if (kSingleChars[i] == c) {
      out += static_cast<char>(kSingleBytes[i]);
      return true;
    }
  }
  if (c < kUserFirst || c > kUserLast) return false;
  const unsigned index = c - kUserFirst;
  const unsigned trail = index % 188;
  out += static_cast<char>(0xF0 + index / 188);
  out += static_cast<char>(0x40 + trail + (trail >= 0x3F ? 1 : 0));  // 0x7F is never a trail byte
  return true;
}

}  // namespace

Cp932Conversion Cp932ToUtf8(std::string_view cp932, std::string& out) {
  static Converter converter("UTF-8", "CP932");
  out.clear();
  out.reserve(cp932.size() + cp932.size() / 2);
  std::size_t pos = 0;
  while (pos < cp932.size()) {
    pos += converter.Run(cp932.substr(pos), out);
    if (pos == cp932.size()) break;
    const auto* single = std::find(std::begin(kSingleBytes), std::end(kSingleBytes),
                                   static_cast<std::uint8_t>(cp932[pos]));
    if (single == std::end(kSingleBytes)) return {false, pos};
    AppendUtf8(kSingleChars[single - kSingleBytes], out);
    ++pos;
  }
  return {};
}

Cp932Conversion Utf8ToCp932(std::string_view utf8, std::string& out) {
  static Converter converter("CP932", "UTF-8");
  out.clear();
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    pos += converter.Run(utf8.substr(pos), out);
    if (pos == utf8.size()) break;
    std::size_t length = 0;
    const auto c = ReadUtf8(utf8.substr(pos), length);
    if (!c || !AppendMissingCp932(*c, out)) return {false, pos};
    pos += length;
  }
  // Refuse look-alikes: every character must come back as itself.
  std::string back;
  Cp932ToUtf8(out, back);
  if (back == utf8) return {};
  const auto diff = std::mismatch(utf8.begin(), utf8.end(), back.begin(), back.end()).first;
  std::size_t at = std::min<std::size_t>(diff - utf8.begin(), utf8.size() - 1);
  while (at > 0 && (static_cast<std::uint8_t>(utf8[at]) & 0xC0) == 0x80)
    --at;
  out.clear();
  return {false, at};
}

}  // namespace vellumo
