// Strict UTF-8 <-> code page 932 with the system's converters: invalid input and characters
// without an exact counterpart make the conversion fail (MB_ERR_INVALID_CHARS,
// WC_NO_BEST_FIT_CHARS with the default-character flag); the failing character is then found by
// converting the piece that failed one character at a time.
#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "platform/cp932.h"

namespace vellumo {
namespace {

constexpr UINT kJapanese = 932;
// Pieces stay far below the calls' int limits and keep the search for a failure short.
constexpr std::size_t kPiece = 1u << 16;

bool IsLead932(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Length of the character that starts at s[0] (at least 1, at most what is left).
std::size_t CharLength932(std::string_view s) {
  return IsLead932(static_cast<unsigned char>(s[0])) && s.size() > 1 ? 2 : 1;
}

std::size_t CharLengthUtf8(std::string_view s) {
  const auto c = static_cast<unsigned char>(s[0]);
  const std::size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  return std::min(n, s.size());
}

// The end of the piece that starts at begin: at most kPiece bytes, never inside a character.
std::size_t PieceEnd932(std::string_view s, std::size_t begin) {
  std::size_t end = begin;
  while (end < s.size() && end - begin < kPiece)
    end += CharLength932(s.substr(end));
  return end;
}

std::size_t PieceEndUtf8(std::string_view s, std::size_t begin) {
  if (s.size() - begin <= kPiece) return s.size();
  std::size_t end = begin + kPiece;
  while (end > begin + 1 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80)
    --end;
  return end;
}

// Appends the UTF-16 of bytes in code page codePage; false when any of them is invalid.
bool ToWide(UINT codePage, std::string_view bytes, std::wstring& wide) {
  const int n = static_cast<int>(bytes.size());
  const int need = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), n, nullptr, 0);
  if (need == 0) return false;
  const std::size_t at = wide.size();
  wide.resize(at + static_cast<std::size_t>(need));
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), n, wide.data() + at, need);
  return true;
}

// Appends the code page 932 bytes of wide; false when a character has no exact counterpart.
bool WideTo932(std::wstring_view wide, std::string& out) {
  const int n = static_cast<int>(wide.size());
  BOOL defaulted = FALSE;
  const int need = WideCharToMultiByte(kJapanese, WC_NO_BEST_FIT_CHARS, wide.data(), n, nullptr, 0,
                                       nullptr, &defaulted);
  if (need == 0 || defaulted) return false;
  const std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(need));
  WideCharToMultiByte(kJapanese, WC_NO_BEST_FIT_CHARS, wide.data(), n, out.data() + at, need,
                      nullptr, nullptr);
  return true;
}

bool AppendWideAsUtf8(std::wstring_view wide, std::string& out) {
  const int n = static_cast<int>(wide.size());
  const int need = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  if (need == 0) return false;
  const std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(need));
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data() + at, need, nullptr, nullptr);
  return true;
}

bool Utf8PieceTo932(std::string_view piece, std::string& out) {
  std::wstring wide;
  return ToWide(CP_UTF8, piece, wide) && WideTo932(wide, out);
}

bool Cp932PieceToUtf8(std::string_view piece, std::string& out) {
  std::wstring wide;
  return ToWide(kJapanese, piece, wide) && AppendWideAsUtf8(wide, out);
}

// Converts in pieces; a piece that fails is walked one character at a time for the position.
template <typename PieceEnd, typename CharLength, typename Convert>
Cp932Conversion ConvertStrictly(std::string_view in, std::string& out, PieceEnd pieceEnd,
                                CharLength charLength, Convert convert) {
  out.clear();
  out.reserve(in.size() + in.size() / 2);
  for (std::size_t begin = 0; begin < in.size();) {
    const std::size_t end = pieceEnd(in, begin);
    const std::size_t kept = out.size();
    if (!convert(in.substr(begin, end - begin), out)) {
      out.resize(kept);
      for (std::size_t pos = begin; pos < end;) {
        const std::size_t n = charLength(in.substr(pos, end - pos));
        if (!convert(in.substr(pos, n), out)) {
          out.clear();
          return {false, pos};
        }
        pos += n;
      }
    }
    begin = end;
  }
  return {};
}

}  // namespace

Cp932Conversion Utf8ToCp932(std::string_view utf8, std::string& out) {
  return ConvertStrictly(utf8, out, PieceEndUtf8, CharLengthUtf8, Utf8PieceTo932);
}

Cp932Conversion Cp932ToUtf8(std::string_view cp932, std::string& out) {
  return ConvertStrictly(cp932, out, PieceEnd932, CharLength932, Cp932PieceToUtf8);
}

}  // namespace vellumo
