// One whole line of the current form in 256-bit lanes, for processors that have AVX2 (chosen at
// run time). Only the encoder is this wide; lines are decoded by the SSE2 walk.
#pragma once

#include "cipher/line_sse2.h"

#if defined(__SSE2__) && defined(__GNUC__)
#define VELLUMO_AVX2 1

namespace vellumo::line_walk {

__attribute__((target("avx2"))) inline __m256i Bytes32(int value) {
  return _mm256_set1_epi8(static_cast<char>(value));
}

// Letters16 with 256-bit lanes.
__attribute__((target("avx2"))) inline __m256i Letters32(__m256i alphabet, __m256i nibble) {
  const __m256i a0 = _mm256_cmpeq_epi8(alphabet, _mm256_setzero_si256());
  const __m256i a1 = _mm256_cmpeq_epi8(alphabet, Bytes32(1));
  const __m256i a2 = _mm256_cmpeq_epi8(alphabet, Bytes32(2));
  const __m256i a3 = _mm256_cmpeq_epi8(alphabet, Bytes32(3));
  const int base = kAlphabets[0].first;
  __m256i first = Bytes32(base);
  first = _mm256_add_epi8(first, _mm256_and_si256(a1, Bytes32(kAlphabets[1].first - base)));
  first = _mm256_add_epi8(first, _mm256_and_si256(a2, Bytes32(kAlphabets[2].first - base)));
  first = _mm256_add_epi8(first, _mm256_and_si256(a3, Bytes32(kAlphabets[3].first - base)));
  const __m256i down = _mm256_or_si256(a0, a3);
  return _mm256_add_epi8(first, _mm256_sub_epi8(_mm256_xor_si256(nibble, down), down));
}

struct Avx2Line : Sse2Line {
  // The letters of 64 bytes from generator state s.
  __attribute__((target("avx2"))) static void Encode(const unsigned char* in, std::uint8_t keyValue,
                                                     std::uint32_t s, char* out) {
    const __m256i state = _mm256_set1_epi32(static_cast<int>(s));
    const __m128i key = Bytes16(keyValue);
    const __m128i low4 = Bytes16(0x0F);
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
      const __m256i alphabets = _mm256_packus_epi16(_mm256_packs_epi32(top[0], top[1]),
                                                    _mm256_packs_epi32(top[2], top[3]));
      const __m128i b =
          _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16 * g)), key);
      const __m128i high = _mm_and_si128(_mm_srli_epi16(b, 4), low4);
      const __m128i low = _mm_and_si128(b, low4);
      const __m256i nibbles = _mm256_inserti128_si256(
          _mm256_castsi128_si256(_mm_unpacklo_epi8(high, low)), _mm_unpackhi_epi8(high, low), 1);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32 * g), Letters32(alphabets, nibbles));
    }
  }
};

}  // namespace vellumo::line_walk

#endif
