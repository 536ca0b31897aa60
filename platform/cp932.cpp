#include "platform/cp932.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <iterator>

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

constexpr std::uint8_t kNotLead = 0xFF;
constexpr std::uint16_t kNoCode = 0xFFFF;  // no code page 932 code is 0xFFFF (0xFF is a byte)
constexpr unsigned kFirstTrail = 0x40;

struct Tables {
  // The row of each lead byte in cp932_table::kPairs, or kNotLead.
  std::array<std::uint8_t, 256> leadRow{};
  // The code Windows writes for each UTF-16 unit (below 0x100: one byte), or kNoCode.
  std::array<std::uint16_t, 0x10000> codes{};
};

Tables MakeTables() {
  Tables t;
  t.leadRow.fill(kNotLead);
  t.codes.fill(kNoCode);
  std::uint8_t row = 0;
  for (unsigned b = 0; b < 256; ++b) {
    const char16_t c = cp932_table::kSingles[b];
    if (c == kLeadByte) {
      t.leadRow[b] = row++;
    } else {
      t.codes[c] = static_cast<std::uint16_t>(b);
    }
  }
  for (unsigned b = 0; b < 256; ++b) {
    if (t.leadRow[b] == kNotLead) continue;
    for (unsigned trail = 0; trail < kTrailCount; ++trail) {
      const char16_t c = cp932_table::kPairs[t.leadRow[b] * kTrailCount + trail];
      const auto code = static_cast<std::uint16_t>((b << 8) | (kFirstTrail + trail));
      if (c == kNoCharacter || std::binary_search(std::begin(cp932_table::kDecodeOnly),
                                                  std::end(cp932_table::kDecodeOnly), code)) {
        continue;
      }
      t.codes[c] = code;
    }
  }
  for (char16_t c = kFirstPlaceholder; c <= kLastPlaceholder; ++c) {
    t.codes[c] = static_cast<std::uint16_t>(c - 0xDC00);
  }
  return t;
}

const Tables& GetTables() {
  static const Tables tables = MakeTables();
  return tables;
}

// The character of the pair of a lead byte (by its row) and a second byte, or kNoCharacter.
char16_t PairCharacter(std::uint8_t row, unsigned trail) {
  const unsigned column = trail - kFirstTrail;  // wraps for a trail below 0x40
  if (column >= kTrailCount) return kNoCharacter;
  return cp932_table::kPairs[row * kTrailCount + column];
}

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// Decodes the character at in[i]: answers it and moves i past it; a byte that starts no
// character answers its placeholder.
inline char16_t DecodeAt(const Tables& t, const std::uint8_t* in, std::size_t size,
                         std::size_t& i) {
  const std::uint8_t b = in[i];
  const std::uint8_t row = t.leadRow[b];
  if (row == kNotLead) {
    ++i;
    return cp932_table::kSingles[b];
  }
  if (i + 1 < size) {
    const char16_t c = PairCharacter(row, in[i + 1]);
    if (c != kNoCharacter) {
      i += 2;
      return c;
    }
  }
  ++i;
  return static_cast<char16_t>(0xDC00 + b);
}

}  // namespace

std::size_t Cp932ToUtf16(std::string_view cp932, char16_t* out) {
  const Tables& t = GetTables();
  const auto* in = reinterpret_cast<const std::uint8_t*>(cp932.data());
  const std::size_t size = cp932.size();
  std::size_t i = 0;
  std::size_t o = 0;  // never past i: a byte gives at most one unit
  while (i < size) {
    if (in[i] < 0x80) {
#if defined(__SSE2__)
      // A run of ASCII, 16 bytes at a time: all 16 are widened and written (there is room, as
      // o <= i), and as many as were ASCII are kept.
      if (size - i >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128i zero = _mm_setzero_si128();
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o + 8), _mm_unpackhi_epi8(bytes, zero));
        const auto high = static_cast<unsigned>(_mm_movemask_epi8(bytes));
        const std::size_t ascii = high == 0 ? 16 : static_cast<std::size_t>(std::countr_zero(high));
        i += ascii;
        o += ascii;
        continue;
      }
#endif
      out[o++] = in[i++];
      continue;
    }
    out[o++] = DecodeAt(t, in, size, i);
  }
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
  std::size_t o = 0;  // never past 2 * i
  while (i < size) {
    const char16_t c = in[i];
    if (c < 0x80) {
#if defined(__SSE2__)
      // A run of ASCII, 16 units at a time: all 16 are packed to bytes and written (there is
      // room, as o <= 2 * i), and as many as were ASCII are kept.
      if (size - i >= 16) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o), _mm_packus_epi16(low, high));
        const __m128i zero = _mm_setzero_si128();
        const __m128i above = _mm_set1_epi16(static_cast<short>(0xFF80));
        const __m128i asciiLow = _mm_cmpeq_epi16(_mm_and_si128(low, above), zero);
        const __m128i asciiHigh = _mm_cmpeq_epi16(_mm_and_si128(high, above), zero);
        const auto isAscii =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(asciiLow, asciiHigh)));
        const auto ascii = static_cast<std::size_t>(std::countr_one(isAscii));
        i += ascii;
        o += ascii;
        continue;
      }
#endif
      out[o++] = static_cast<char>(c);
      ++i;
      continue;
    }
    const std::uint16_t code = t.codes[c];
    if (code != kNoCode) {
      if (code > 0xFF) out[o++] = static_cast<char>(code >> 8);
      out[o++] = static_cast<char>(code & 0xFF);
      ++i;
      continue;
    }
    if (firstLost == kAllConverted) firstLost = i;
    // A surrogate pair is one character, and one "?".
    i += IsHighSurrogate(c) && i + 1 < size && IsLowSurrogate(in[i + 1]) ? 2 : 1;
    out[o++] = '?';
  }
  return o;
}

std::size_t Utf16ToCp932(std::u16string_view utf16, std::string& out) {
  std::size_t firstLost = kAllConverted;
  out.assign(2 * utf16.size(), '\0');
  out.resize(Utf16ToCp932(utf16, out.data(), firstLost));
  return firstLost;
}

Cp932Conversion Utf8ToCp932(std::string_view utf8, std::string& out) {
  const Tables& t = GetTables();
  out.assign(utf8.size(), '\0');  // a character never takes more bytes in 932 than in UTF-8
  std::size_t o = 0;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const std::size_t at = pos;
    const char32_t c = ReadUtf8(utf8, pos, false);
    const std::uint16_t code = c < 0x10000 ? t.codes[c] : kNoCode;
    if (code == kNoCode) {
      out.clear();
      return {false, at};
    }
    if (code > 0xFF) out[o++] = static_cast<char>(code >> 8);
    out[o++] = static_cast<char>(code & 0xFF);
  }
  out.resize(o);
  return {};
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
