#include "platform/cp932.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <iterator>
#include <memory>

#include "platform/cp932_table.h"
#include "platform/utf8.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vellumo {
namespace {

using cp932_table::kLeadByte;
using cp932_table::kNoCharacter;
using cp932_table::kTrailCount;

constexpr std::uint16_t kNoCode = 0xFFFF;  // no code page 932 code is 0xFFFF (0xFF is a byte)
constexpr unsigned kFirstTrail = 0x40;
constexpr std::size_t kRows = cp932_table::kLeadCount + 1;  // the last row: not a lead byte
constexpr std::size_t kBlock = 16;  // units tried at once as ASCII, else walked one by one

// The generated table spread out for walks with few branches.
struct Tables {
  // The row of each byte in pairs: its lead byte row, or the last row for any other byte.
  std::array<std::uint8_t, 256> row{};
  // The character of every pair, by row and second byte; kNoCharacter where there is none
  // (always in the last row).
  std::array<std::array<char16_t, 256>, kRows> pairs{};
  // The character of a byte that does not start a pair: its own, or its placeholder.
  std::array<char16_t, 256> alone{};
  // The code Windows writes for each UTF-16 unit (below 0x100: one byte), or kNoCode.
  std::array<std::uint16_t, 0x10000> codes{};
};

bool IsDecodeOnly(std::uint16_t code) {
  return std::binary_search(std::begin(cp932_table::kDecodeOnly),
                            std::end(cp932_table::kDecodeOnly), code);
}

std::unique_ptr<Tables> MakeTables() {
  auto t = std::make_unique<Tables>();
  t->codes.fill(kNoCode);
  std::uint8_t lead = 0;
  for (unsigned b = 0; b < 256; ++b) {
    const char16_t c = cp932_table::kSingles[b];
    if (c == kLeadByte) {
      t->row[b] = lead++;
      t->alone[b] = static_cast<char16_t>(0xDC00 + b);
    } else {
      t->row[b] = cp932_table::kLeadCount;
      t->alone[b] = c;
      t->codes[c] = static_cast<std::uint16_t>(b);
    }
  }
  for (unsigned b = 0; b < 256; ++b) {
    const std::uint8_t row = t->row[b];
    if (row == cp932_table::kLeadCount) continue;
    for (unsigned trail = 0; trail < kTrailCount; ++trail) {
      const char16_t c = cp932_table::kPairs[row * kTrailCount + trail];
      const auto code = static_cast<std::uint16_t>((b << 8) | (kFirstTrail + trail));
      t->pairs[row][kFirstTrail + trail] = c;
      if (c != kNoCharacter && !IsDecodeOnly(code)) t->codes[c] = code;
    }
  }
  for (char16_t c = kFirstPlaceholder; c <= kLastPlaceholder; ++c) {
    t->codes[c] = static_cast<std::uint16_t>(c - 0xDC00);
  }
  return t;
}

const Tables& GetTables() {
  static const std::unique_ptr<Tables> tables = MakeTables();
  return *tables;
}

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// Decodes the character at in[i], which is not the last byte: answers it and moves i past it.
// The one branch, pair or not, lets the processor run ahead on its guess, where computing the
// next position from the table would make every character wait for the one before.
inline char16_t DecodeBeforeEnd(const Tables& t, const std::uint8_t* in, std::size_t& i) {
  const std::uint8_t b = in[i];
  const char16_t pair = t.pairs[t.row[b]][in[i + 1]];
  i += pair != kNoCharacter ? 2 : 1;
  return pair != kNoCharacter ? pair : t.alone[b];
}

// Decodes the character at in[i]: answers it and moves i past it.
inline char16_t DecodeAt(const Tables& t, const std::uint8_t* in, std::size_t size,
                         std::size_t& i) {
  if (i + 1 < size) return DecodeBeforeEnd(t, in, i);
  return t.alone[in[i++]];
}

#if defined(__SSE2__)
// When the 16 bytes at in are all ASCII, writes them widened to out and answers true.
inline bool AsciiBlock(const std::uint8_t* in, char16_t* out) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
  if (_mm_movemask_epi8(bytes) != 0) return false;
  const __m128i zero = _mm_setzero_si128();
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(bytes, zero));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(bytes, zero));
  return true;
}

// When the 16 units at in are all ASCII, writes them as bytes to out and answers true.
inline bool AsciiBlock(const char16_t* in, char* out) {
  const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
  const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 8));
  const __m128i above = _mm_set1_epi16(static_cast<short>(0xFF80));
  const __m128i ascii =
      _mm_cmpeq_epi16(_mm_and_si128(_mm_or_si128(low, high), above), _mm_setzero_si128());
  if (_mm_movemask_epi8(ascii) != 0xFFFF) return false;
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(low, high));
  return true;
}
#else
template <typename In, typename Out>
bool AsciiBlock(const In*, Out*) {
  return false;
}
#endif

}  // namespace

std::size_t Cp932ToUtf16(std::string_view cp932, char16_t* out) {
  const Tables& t = GetTables();
  const auto* in = reinterpret_cast<const std::uint8_t*>(cp932.data());
  const std::size_t size = cp932.size();
  std::size_t i = 0;
  std::size_t o = 0;  // never past i: a byte gives at most one unit
  // Blocks of 16 ASCII bytes are copied at once; other blocks are walked character by character
  // (the last character may end one byte past the block).
  while (size - i > kBlock) {
    if (AsciiBlock(in + i, out + o)) {
      i += kBlock;
      o += kBlock;
      continue;
    }
    for (const std::size_t end = i + kBlock; i < end;)
      out[o++] = DecodeBeforeEnd(t, in, i);
  }
  while (i < size)
    out[o++] = DecodeAt(t, in, size, i);
  return o;
}

std::u16string Cp932ToUtf16(std::string_view cp932) {
  std::u16string out(cp932.size(), u'\0');
  out.resize(Cp932ToUtf16(cp932, out.data()));
  return out;
}

std::size_t Utf16ToCp932(std::u16string_view utf16, char* out, std::size_t& firstLost) {
  const Tables& t = GetTables();
  const char16_t* in = utf16.data();
  const std::size_t size = utf16.size();
  firstLost = kAllConverted;
  std::size_t i = 0;
  std::size_t o = 0;  // never past 2 * i: a unit gives at most two bytes
  while (i < size) {
    if (size - i >= kBlock && AsciiBlock(in + i, out + o)) {
      i += kBlock;
      o += kBlock;
      continue;
    }
    for (const std::size_t end = std::min(i + kBlock, size); i < end;) {
      const char16_t c = in[i];
      const std::uint16_t code = t.codes[c];
      if (code == kNoCode) {
        if (firstLost == kAllConverted) firstLost = i;
        // A surrogate pair is one character, and one "?".
        i += IsHighSurrogate(c) && i + 1 < size && IsLowSurrogate(in[i + 1]) ? 2 : 1;
        out[o++] = '?';
        continue;
      }
      // Both bytes are written (there is room for two), and the second kept only for a pair;
      // without branches, as a text's characters choose between one and two bytes at random.
      const unsigned isPair = code > 0xFF;
      out[o] = static_cast<char>(code >> (8 * isPair));
      out[o + 1] = static_cast<char>(code);
      o += 1 + isPair;
      ++i;
    }
  }
  return o;
}

std::size_t Utf16ToCp932(std::u16string_view utf16, std::string& out) {
  std::size_t firstLost = kAllConverted;
  out.assign(2 * utf16.size(), '\0');
  out.resize(Utf16ToCp932(utf16, out.data(), firstLost));
  return firstLost;
}

Cp932Conversion Utf8ToCp932(std::string_view utf8, char* out, std::size_t& written) {
  const Tables& t = GetTables();
  written = 0;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const std::size_t at = pos;
    const char32_t c = ReadUtf8(utf8, pos, false);
    const std::uint16_t code = c < 0x10000 ? t.codes[c] : kNoCode;
    if (code == kNoCode) {
      written = 0;
      return {false, at};
    }
    if (code > 0xFF) out[written++] = static_cast<char>(code >> 8);
    out[written++] = static_cast<char>(code & 0xFF);
  }
  return {};
}

Cp932Conversion Utf8ToCp932(std::string_view utf8, std::string& out) {
  out.assign(utf8.size(), '\0');
  std::size_t written = 0;
  const Cp932Conversion result = Utf8ToCp932(utf8, out.data(), written);
  out.resize(written);
  return result;
}

Cp932Conversion Cp932ToUtf8(std::string_view cp932, std::string& out) {
  const Tables& t = GetTables();
  const auto* in = reinterpret_cast<const std::uint8_t*>(cp932.data());
  out.clear();
  out.reserve(cp932.size() + cp932.size() / 2);
  for (std::size_t i = 0; i < cp932.size();) {
    const std::size_t at = i;
    const char16_t c = DecodeAt(t, in, cp932.size(), i);
    if (c >= kFirstPlaceholder && c <= kLastPlaceholder) {
      out.clear();
      return {false, at};
    }
    AppendUtf8(c, out);
  }
  return {};
}

}  // namespace vellumo
