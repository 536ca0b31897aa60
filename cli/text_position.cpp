#include "cli/text_position.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vellumo {

std::size_t CountLineFeeds(TextView text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  std::size_t count = 0;
#if defined(__SSE2__)
  // Sixteen bytes at a time: every LF adds one to its lane's byte counter, which is summed up
  // before it can overflow.
  const __m128i lf = _mm_set1_epi8('\n');
  while (end - p >= 16) {
    const std::size_t blocks = std::min<std::size_t>(static_cast<std::size_t>(end - p) / 16, 255);
    __m128i counts = _mm_setzero_si128();
    for (std::size_t i = 0; i < blocks; ++i, p += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(bytes, lf));
    }
    const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
    count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
             static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums)));
  }
#endif
  return count + static_cast<std::size_t>(std::count(p, end, '\n'));
}

void TextPosition::Pass(TextView bytes) {
  const std::size_t last = bytes.rfind('\n');
  if (last != TextView::npos) {
    lineFeeds_ += CountLineFeeds(bytes);
    lineStart_ = passed_ + last + 1;
  }
  passed_ += bytes.size();
}

std::string TextPosition::Of(std::uint64_t offset, TextView next) const {
  std::uint64_t lineFeeds = lineFeeds_;
  std::uint64_t lineStart = lineStart_;
  if (offset > passed_) {
    const TextView before = next.substr(0, static_cast<std::size_t>(offset - passed_));
    const std::size_t last = before.rfind('\n');
    if (last != TextView::npos) {
      lineFeeds += CountLineFeeds(before);
      lineStart = passed_ + last + 1;
    }
  }
  return "line " + std::to_string(lineFeeds + 1) + ", byte " +
         std::to_string(offset - lineStart + 1);
}

}  // namespace vellumo
