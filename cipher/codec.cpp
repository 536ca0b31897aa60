#include "cipher/codec.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "cipher/key.h"
#include "cipher/tables.h"

namespace vellumo {
namespace {

constexpr unsigned char kCR = 13;

const unsigned char* Bytes(TextView text) {
  return reinterpret_cast<const unsigned char*>(text.data());
}

#if defined(__SSE2__)

// SSE2 is part of every x86-64 processor, so these paths need no run-time check.

// Low 32 bits of each lane's product (SSE2 has no 32-bit lane multiply of its own).
__m128i MulLow32(__m128i a, __m128i b) {
  const __m128i even = _mm_mul_epu32(a, b);
  const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32));
  return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                            _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
}

// Alphabet numbers (0..3) of 16 consecutive draws, starting at draw k, from state s.
__m128i Alphabets16(__m128i s, std::size_t k) {
  __m128i top[4];
  for (std::size_t q = 0; q < 4; ++q) {
    const auto* mul = reinterpret_cast<const __m128i*>(kTables.jumpMul.data() + k + 4 * q);
    const auto* add = reinterpret_cast<const __m128i*>(kTables.jumpAdd.data() + k + 4 * q);
    // A draw among 4 is the top two bits of the new state.
    top[q] =
        _mm_srli_epi32(_mm_add_epi32(MulLow32(_mm_loadu_si128(mul), s), _mm_loadu_si128(add)), 30);
  }
  return _mm_packus_epi16(_mm_packs_epi32(top[0], top[1]), _mm_packs_epi32(top[2], top[3]));
}

// Letters of 16 nibbles in 16 alphabets: 62 - n, 63 + n, 79 + n or 110 - n.
__m128i Letters16(__m128i alphabet, __m128i nibble) {
  const __m128i a0 = _mm_cmpeq_epi8(alphabet, _mm_setzero_si128());
  const __m128i a1 = _mm_cmpeq_epi8(alphabet, _mm_set1_epi8(1));
  const __m128i a2 = _mm_cmpeq_epi8(alphabet, _mm_set1_epi8(2));
  const __m128i a3 = _mm_cmpeq_epi8(alphabet, _mm_set1_epi8(3));
  __m128i base = _mm_set1_epi8(62);
  base = _mm_add_epi8(base, _mm_and_si128(a1, _mm_set1_epi8(1)));
  base = _mm_add_epi8(base, _mm_and_si128(a2, _mm_set1_epi8(17)));
  base = _mm_add_epi8(base, _mm_and_si128(a3, _mm_set1_epi8(48)));
  const __m128i negate = _mm_or_si128(a0, a3);
  return _mm_add_epi8(base, _mm_sub_epi8(_mm_xor_si128(nibble, negate), negate));
}

// Letters of one full line of 64 bytes from state s.
void EncodeFullLineSse2(const unsigned char* in, std::uint8_t keyValue, std::uint32_t s,
                        char* out) {
  const __m128i state = _mm_set1_epi32(static_cast<int>(s));
  const __m128i key = _mm_set1_epi8(static_cast<char>(keyValue));
  const __m128i low4 = _mm_set1_epi8(0x0F);
  for (std::size_t g = 0; g < 4; ++g) {
    const __m128i b =
        _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16 * g)), key);
    const __m128i high = _mm_and_si128(_mm_srli_epi16(b, 4), low4);
    const __m128i low = _mm_and_si128(b, low4);
    // Draw 2j takes byte j's high nibble, draw 2j + 1 its low nibble.
    const __m128i first = Letters16(Alphabets16(state, 32 * g), _mm_unpacklo_epi8(high, low));
    const __m128i second = Letters16(Alphabets16(state, 32 * g + 16), _mm_unpackhi_epi8(high, low));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32 * g), first);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32 * g + 16), second);
  }
}

// Values of 16 letters, and in ok a mask of those that have one.
__m128i Values16(__m128i c, __m128i& ok) {
  // Codes 47..126 are positive as signed bytes, so signed compares serve.
  ok =
      _mm_andnot_si128(_mm_cmpeq_epi8(c, _mm_set1_epi8(127)), _mm_cmpgt_epi8(c, _mm_set1_epi8(46)));
  const __m128i upTo62 = _mm_cmpgt_epi8(_mm_set1_epi8(63), c);
  const __m128i upTo78 = _mm_cmpgt_epi8(_mm_set1_epi8(79), c);
  const __m128i upTo94 = _mm_cmpgt_epi8(_mm_set1_epi8(95), c);
  const __m128i from95 = _mm_andnot_si128(upTo94, _mm_set1_epi8(-1));
  __m128i v = _mm_and_si128(upTo62, _mm_sub_epi8(_mm_set1_epi8(62), c));
  v = _mm_or_si128(
      v, _mm_and_si128(_mm_andnot_si128(upTo62, upTo78), _mm_sub_epi8(c, _mm_set1_epi8(63))));
  v = _mm_or_si128(
      v, _mm_and_si128(_mm_andnot_si128(upTo78, upTo94), _mm_sub_epi8(c, _mm_set1_epi8(79))));
  return _mm_or_si128(v, _mm_and_si128(from95, _mm_sub_epi8(_mm_set1_epi8(110), c)));
}

// Bytes of 8 pairs: (16 * first + second) mod 256, from the values of 16 letters.
__m128i PairBytes8(__m128i values) {
  const __m128i high = _mm_slli_epi16(_mm_and_si128(values, _mm_set1_epi16(0x000F)), 4);
  const __m128i low = _mm_srli_epi16(values, 8);
  return _mm_and_si128(_mm_add_epi16(high, low), _mm_set1_epi16(0x00FF));
}

bool DecodeFullLine(const unsigned char* in, std::uint8_t keyValue, char* out) {
  const __m128i key = _mm_set1_epi8(static_cast<char>(keyValue));
  __m128i allOk = _mm_set1_epi8(-1);
  __m128i bytes[4];
  for (std::size_t g = 0; g < 4; ++g) {
    __m128i ok1, ok2;
    const __m128i v1 =
        Values16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 32 * g)), ok1);
    const __m128i v2 =
        Values16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 32 * g + 16)), ok2);
    allOk = _mm_and_si128(allOk, _mm_and_si128(ok1, ok2));
    bytes[g] = _mm_xor_si128(_mm_packus_epi16(PairBytes8(v1), PairBytes8(v2)), key);
  }
  if (_mm_movemask_epi8(allOk) != 0xFFFF) return false;
  for (std::size_t g = 0; g < 4; ++g)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * g), bytes[g]);
  return true;
}

// Whether all 128 characters of a line have a value, as DecodeFullLine would find.
bool CheckFullLine(const unsigned char* in) {
  __m128i allOk = _mm_set1_epi8(-1);
  for (std::size_t g = 0; g < 8; ++g) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16 * g));
    allOk = _mm_and_si128(allOk, _mm_andnot_si128(_mm_cmpeq_epi8(c, _mm_set1_epi8(127)),
                                                  _mm_cmpgt_epi8(c, _mm_set1_epi8(46))));
  }
  return _mm_movemask_epi8(allOk) == 0xFFFF;
}

#if defined(__GNUC__)
#define VELLUMO_AVX2 1

// The same line with 256-bit lanes, chosen at run time on processors that have AVX2.
__attribute__((target("avx2"))) __m256i Letters32(__m256i alphabet, __m256i nibble) {
  const __m256i a0 = _mm256_cmpeq_epi8(alphabet, _mm256_setzero_si256());
  const __m256i a1 = _mm256_cmpeq_epi8(alphabet, _mm256_set1_epi8(1));
  const __m256i a2 = _mm256_cmpeq_epi8(alphabet, _mm256_set1_epi8(2));
  const __m256i a3 = _mm256_cmpeq_epi8(alphabet, _mm256_set1_epi8(3));
  __m256i base = _mm256_set1_epi8(62);
  base = _mm256_add_epi8(base, _mm256_and_si256(a1, _mm256_set1_epi8(1)));
  base = _mm256_add_epi8(base, _mm256_and_si256(a2, _mm256_set1_epi8(17)));
  base = _mm256_add_epi8(base, _mm256_and_si256(a3, _mm256_set1_epi8(48)));
  const __m256i negate = _mm256_or_si256(a0, a3);
  return _mm256_add_epi8(base, _mm256_sub_epi8(_mm256_xor_si256(nibble, negate), negate));
}

__attribute__((target("avx2"))) void EncodeFullLineAvx2(const unsigned char* in,
                                                        std::uint8_t keyValue, std::uint32_t s,
                                                        char* out) {
  const __m256i state = _mm256_set1_epi32(static_cast<int>(s));
  const __m128i key = _mm_set1_epi8(static_cast<char>(keyValue));
  const __m128i low4 = _mm_set1_epi8(0x0F);
  for (std::size_t g = 0; g < 4; ++g) {
    __m256i top[4];
    for (std::size_t x = 0; x < 4; ++x) {
      const std::size_t k = 32 * g + 8 * x;
      const __m256i mul =
          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kTables.jumpMulPacked.data() + k));
      const __m256i add =
          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kTables.jumpAddPacked.data() + k));
      top[x] = _mm256_srli_epi32(_mm256_add_epi32(_mm256_mullo_epi32(mul, state), add), 30);
    }
    const __m256i alphabets =
        _mm256_packus_epi16(_mm256_packs_epi32(top[0], top[1]), _mm256_packs_epi32(top[2], top[3]));
    const __m128i b =
        _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16 * g)), key);
    const __m128i high = _mm_and_si128(_mm_srli_epi16(b, 4), low4);
    const __m128i low = _mm_and_si128(b, low4);
    const __m256i nibbles = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_unpacklo_epi8(high, low)), _mm_unpackhi_epi8(high, low), 1);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32 * g), Letters32(alphabets, nibbles));
  }
}
#endif

bool useWidestEncoder = true;

void EncodeFullLine(const unsigned char* in, std::uint8_t keyValue, std::uint32_t s, char* out) {
#if defined(VELLUMO_AVX2)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  if (avx2 && useWidestEncoder) {
    EncodeFullLineAvx2(in, keyValue, s, out);
    return;
  }
#endif
  EncodeFullLineSse2(in, keyValue, s, out);
}

#else

bool useWidestEncoder = true;

void EncodeFullLine(const unsigned char* in, std::uint8_t keyValue, std::uint32_t s, char* out) {
  for (std::size_t j = 0; j < kBytesPerLine; ++j) {
    const std::uint32_t first = kTables.jumpMul[2 * j] * s + kTables.jumpAdd[2 * j];
    const std::uint32_t second = kTables.jumpMul[2 * j + 1] * s + kTables.jumpAdd[2 * j + 1];
    const std::uint16_t letters = kTables.pair[((first >> 30) << 10) | ((second >> 30) << 8) |
                                               static_cast<std::uint8_t>(in[j] ^ keyValue)];
    out[2 * j] = static_cast<char>(letters & 0xFF);
    out[2 * j + 1] = static_cast<char>(letters >> 8);
  }
}

bool DecodeFullLine(const unsigned char* in, std::uint8_t keyValue, char* out) {
  const auto& value = kTables.letterValue;
  std::array<char, kBytesPerLine> line;
  std::uint16_t flags = 0;
  for (std::size_t k = 0; k < kBytesPerLine; ++k) {
    const std::uint16_t high = value[in[2 * k]];
    const std::uint16_t low = value[in[2 * k + 1]];
    flags |= high | low;
    line[k] = static_cast<char>(static_cast<std::uint8_t>((high << 4) + low) ^ keyValue);
  }
  if (flags & kNoValue) return false;
  std::memcpy(out, line.data(), line.size());
  return true;
}

bool CheckFullLine(const unsigned char* in) {
  std::uint16_t flags = 0;
  for (std::size_t k = 0; k < 2 * kBytesPerLine; ++k)
    flags |= kTables.letterValue[in[k]];
  return !(flags & kNoValue);
}

#endif

// Writes one line of m (1..64) bytes starting from generator state s; answers the state after it.
// The 2m draws of a line follow from s by precomputed jumps, so they do not wait on one another.
std::uint32_t EncodeLine(const unsigned char* in, std::size_t m, std::uint8_t keyValue,
                         std::uint32_t s, char* out) {
  if (m == kBytesPerLine) {
    EncodeFullLine(in, keyValue, s, out);
  } else {
    std::array<unsigned char, kBytesPerLine> padded{};
    std::array<char, kDrawsPerLine> letters;
    std::memcpy(padded.data(), in, m);
    EncodeFullLine(padded.data(), keyValue, s, letters.data());
    std::memcpy(out, letters.data(), 2 * m);
  }
  return kTables.jumpMul[2 * m - 1] * s + kTables.jumpAdd[2 * m - 1];
}

// The value of a hexadecimal digit of the legacy form, or -1 for a character that is none.
int HexDigit(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

void UseBaselineEncoderForTesting(bool baseline) {
  useWidestEncoder = !baseline;
}

std::uint32_t EncodeLines(const unsigned char* in, std::size_t n, std::uint8_t keyValue,
                          std::uint32_t state, char* out) {
  for (std::size_t i = 0; i < n; i += kBytesPerLine) {
    const std::size_t m = std::min<std::size_t>(kBytesPerLine, n - i);
    state = EncodeLine(in + i, m, keyValue, state, out);
    out += 2 * m;
    *out++ = '\r';
    *out++ = '\n';
  }
  return state;
}

void EncodeText(TextView text, std::uint8_t keyValue, std::uint32_t seed, Text& out) {
  text = UpToZero(text);
  const std::size_t start = out.size();
  out.resize(start + EncodedSize(text.size()));
  if (text.empty()) {
    std::memcpy(out.data() + start, "\r\n", 2);
    return;
  }
  EncodeLines(Bytes(text), text.size(), keyValue, seed, out.data() + start);
}

namespace {

// The current form's walk; without kWrite it only checks, writing nothing. DecodeFullLine decodes
// 64 pairs that stand on one line without checking for CR between them. It answers false, writing
// nothing, when any of the 128 characters has no value; the walk then goes on pair by pair, which
// gives the exact failure (a CR would have shifted the pairing there, but a CR has no value, so a
// clean line holds none).
template <bool kWrite>
DecodeWalk Walk(TextView encoded, std::uint8_t keyValue, char* out) {
  const std::size_t n = encoded.size();
  const unsigned char* p = Bytes(encoded);
  const auto& value = kTables.letterValue;
  DecodeWalk walk;
  std::size_t pos = 0;
  while (pos < n && p[pos] != 0) {
    // The common case: a whole line of 128 letters followed by CR.
    if (n - pos > 2 * kBytesPerLine && p[pos + 2 * kBytesPerLine] == kCR &&
        (kWrite ? DecodeFullLine(p + pos, keyValue, out + walk.count) : CheckFullLine(p + pos))) {
      walk.count += kBytesPerLine;
      pos += 2 * kBytesPerLine + 2;
      continue;
    }
    const std::uint16_t high = value[p[pos]];
    const std::uint16_t low = pos + 1 < n ? value[p[pos + 1]] : kNoValue;
    if ((high | low) & kNoValue) {
      walk.count = 0;
      walk.ok = false;
      return walk;
    }
    if (kWrite) {
      out[walk.count] = static_cast<char>(static_cast<std::uint8_t>((high << 4) + low) ^ keyValue);
    }
    ++walk.count;
    pos += 2;
    if (pos < n && p[pos] == kCR) pos += 2;
  }
  walk.endedAtZero = pos < n;
  return walk;
}

}  // namespace

DecodeWalk DecodePart(TextView encoded, std::uint8_t keyValue, char* out) {
  return out ? Walk<true>(encoded, keyValue, out) : Walk<false>(encoded, keyValue, nullptr);
}

bool DecodeInto(TextView encoded, std::uint8_t keyValue, char* out, std::size_t& count) {
  const DecodeWalk walk = Walk<true>(encoded, keyValue, out);
  count = walk.count;
  return walk.ok;
}

bool DecodeText(TextView encoded, std::uint8_t keyValue, Text& out) {
  out.resize(encoded.size() / 2 + 1);
  std::size_t count = 0;
  const bool ok = DecodeInto(encoded, keyValue, out.data(), count);
  out.resize(count);
  return ok;
}

LegacyWalk::LegacyWalk(TextView keyText) : key_(keyText), keyXor_(KeyXor(keyText)) {}

void LegacyWalk::Emit(int value, Text& out) {
  out += static_cast<char>(value ^ keyXor_ ^ static_cast<std::uint8_t>(key_[keyPos_]));
  if (++keyPos_ == key_.size()) keyPos_ = 0;
}

bool LegacyWalk::Feed(TextView piece, Text& out) {
  for (const char c : piece) {
    const auto u = static_cast<unsigned char>(c);
    switch (step_) {
      case Step::Ended:
        return false;
      case Step::SkipOne:
        step_ = Step::PairStart;
        break;
      case Step::AfterPair:
        if (u == kCR) {
          step_ = Step::SkipOne;
          break;
        }
        [[fallthrough]];
      case Step::PairStart:
        if (u == 0) {
          step_ = Step::Ended;
          return false;
        }
        first_ = HexDigit(u);
        step_ = Step::Second;
        break;
      case Step::Second: {
        // The value is what was read up to the first character that is no digit.
        const int low = HexDigit(u);
        Emit(first_ < 0 ? 0 : low < 0 ? first_ : 16 * first_ + low, out);
        step_ = Step::AfterPair;
        break;
      }
    }
  }
  return step_ != Step::Ended;
}

void LegacyWalk::Finish(Text& out) {
  if (step_ == Step::Second) Emit(first_ < 0 ? 0 : first_, out);
  step_ = Step::Ended;
}

bool DecodeLegacyText(TextView encoded, TextView keyText, Text& out) {
  out.clear();
  if (keyText.empty()) return false;
  LegacyWalk walk(keyText);
  // The marker decides, and its 64 pairs lie in the first 256 characters (a pair and a line
  // break take four at most): decoding the rest is only worth it once they match.
  const TextView head = encoded.substr(0, kLegacyHeadSize);
  const bool open = walk.Feed(head, out);
  if (out.size() >= LegacyMarker.size() &&
      TextView(out).substr(0, LegacyMarker.size()) != LegacyMarker) {
    out.clear();
    return false;
  }
  out.reserve(encoded.size() / 2 + 1);
  if (open) walk.Feed(encoded.substr(head.size()), out);
  walk.Finish(out);
  if (out.size() < LegacyMarker.size() ||
      TextView(out).substr(0, LegacyMarker.size()) != LegacyMarker) {
    out.clear();
    return false;
  }
  out.erase(0, LegacyMarker.size());
  return true;
}

}  // namespace vellumo
