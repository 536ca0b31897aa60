// One whole line of the current form (64 bytes, 128 letters) in 128-bit lanes. SSE2 is part of
// every x86-64 processor, so this walk needs no run-time check.
#pragma once

#if defined(__SSE2__)
#include <immintrin.h>

#include <cstdint>

#include "cipher/tables.h"

namespace vellumo::line_walk {

// The lane code below takes the alphabets as one run of codes, the first and the last running
// down and the middle two up.
static_assert(kAlphabets[0].step < 0 && kAlphabets[1].step > 0 && kAlphabets[2].step > 0 &&
              kAlphabets[3].step < 0);
static_assert(kAlphabets[1].first == kAlphabets[0].first + 1 &&
              kAlphabets[2].first == kAlphabets[1].first + kAlphabetSize &&
              kAlphabets[3].first == kAlphabets[2].first + 2 * kAlphabetSize - 1);

inline __m128i Bytes16(int value) {
  return _mm_set1_epi8(static_cast<char>(value));
}

// Low 32 bits of each lane's product (SSE2 has no 32-bit lane multiply of its own).
inline __m128i MulLow32(__m128i a, __m128i b) {
  const __m128i even = _mm_mul_epu32(a, b);
  const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32));
  return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                            _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
}

// Alphabet numbers (0..3) of 16 consecutive draws, starting at draw k, from state s.
inline __m128i Alphabets16(__m128i s, std::size_t k) {
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

// Letters of 16 nibbles in 16 alphabets: each alphabet's first letter, plus the nibble or, in
// the alphabets that run down, minus it.
inline __m128i Letters16(__m128i alphabet, __m128i nibble) {
  const __m128i a0 = _mm_cmpeq_epi8(alphabet, _mm_setzero_si128());
  const __m128i a1 = _mm_cmpeq_epi8(alphabet, Bytes16(1));
  const __m128i a2 = _mm_cmpeq_epi8(alphabet, Bytes16(2));
  const __m128i a3 = _mm_cmpeq_epi8(alphabet, Bytes16(3));
  const int base = kAlphabets[0].first;
  __m128i first = Bytes16(base);
  first = _mm_add_epi8(first, _mm_and_si128(a1, Bytes16(kAlphabets[1].first - base)));
  first = _mm_add_epi8(first, _mm_and_si128(a2, Bytes16(kAlphabets[2].first - base)));
  first = _mm_add_epi8(first, _mm_and_si128(a3, Bytes16(kAlphabets[3].first - base)));
  const __m128i down = _mm_or_si128(a0, a3);  // (n ^ -1) - -1 is -n
  return _mm_add_epi8(first, _mm_sub_epi8(_mm_xor_si128(nibble, down), down));
}

// A mask of the 16 characters that read as letters.
inline __m128i Readable16(__m128i c) {
  // The readable codes are positive as signed bytes, so signed compares serve.
  return _mm_and_si128(_mm_cmpgt_epi8(c, Bytes16(kLowestLetter - 1)),
                       _mm_cmpgt_epi8(Bytes16(kHighestReadable + 1), c));
}

// Values of 16 letters, and in ok a mask of those that have one.
inline __m128i Values16(__m128i c, __m128i& ok) {
  ok = Readable16(c);
  const __m128i in0 = _mm_cmpgt_epi8(Bytes16(kAlphabets[1].first), c);
  const __m128i upTo1 = _mm_cmpgt_epi8(Bytes16(kAlphabets[2].first), c);
  const __m128i upTo2 = _mm_cmpgt_epi8(Bytes16(kAlphabets[2].first + kAlphabetSize), c);
  const __m128i in3 = _mm_andnot_si128(upTo2, Bytes16(-1));
  __m128i v = _mm_and_si128(in0, _mm_sub_epi8(Bytes16(kAlphabets[0].first), c));
  v = _mm_or_si128(v, _mm_and_si128(_mm_andnot_si128(in0, upTo1),
                                    _mm_sub_epi8(c, Bytes16(kAlphabets[1].first))));
  v = _mm_or_si128(v, _mm_and_si128(_mm_andnot_si128(upTo1, upTo2),
                                    _mm_sub_epi8(c, Bytes16(kAlphabets[2].first))));
  return _mm_or_si128(v, _mm_and_si128(in3, _mm_sub_epi8(Bytes16(kAlphabets[3].first), c)));
}

// Bytes of 8 pairs: (16 * first + second) mod 256, from the values of 16 letters.
inline __m128i PairBytes8(__m128i values) {
  const __m128i high = _mm_slli_epi16(_mm_and_si128(values, _mm_set1_epi16(0x000F)), 4);
  const __m128i low = _mm_srli_epi16(values, 8);
  return _mm_and_si128(_mm_add_epi16(high, low), _mm_set1_epi16(0x00FF));
}

struct Sse2Line {
  // The letters of 64 bytes from generator state s.
  static void Encode(const unsigned char* in, std::uint8_t keyValue, std::uint32_t s, char* out) {
    const __m128i state = _mm_set1_epi32(static_cast<int>(s));
    const __m128i key = Bytes16(keyValue);
    const __m128i low4 = Bytes16(0x0F);
    for (std::size_t g = 0; g < 4; ++g) {
      const __m128i b =
          _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16 * g)), key);
      const __m128i high = _mm_and_si128(_mm_srli_epi16(b, 4), low4);
      const __m128i low = _mm_and_si128(b, low4);
      // Draw 2j takes byte j's high nibble, draw 2j + 1 its low nibble.
      const __m128i first = Letters16(Alphabets16(state, 32 * g), _mm_unpacklo_epi8(high, low));
      const __m128i second =
          Letters16(Alphabets16(state, 32 * g + 16), _mm_unpackhi_epi8(high, low));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32 * g), first);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32 * g + 16), second);
    }
  }

  // The 64 bytes of 128 letters; false, writing nothing, when any of them has no value.
  static bool Decode(const unsigned char* in, std::uint8_t keyValue, char* out) {
    const __m128i key = Bytes16(keyValue);
    __m128i allOk = Bytes16(-1);
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

  // Whether all 128 letters have a value, as Decode would find.
  static bool Check(const unsigned char* in) {
    __m128i allOk = Bytes16(-1);
    for (std::size_t g = 0; g < 8; ++g) {
      allOk = _mm_and_si128(
          allOk, Readable16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16 * g))));
    }
    return _mm_movemask_epi8(allOk) == 0xFFFF;
  }
};

}  // namespace vellumo::line_walk

#endif
