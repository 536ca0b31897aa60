#include "cipher/codec.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "cipher/key.h"
#include "cipher/line_avx2.h"
#include "cipher/line_scalar.h"
#include "cipher/line_sse2.h"
#include "cipher/tables.h"

namespace vellumo {
namespace {

constexpr unsigned char kCR = 13;

const unsigned char* Bytes(TextView text) {
  return reinterpret_cast<const unsigned char*>(text.data());
}

using line_walk::ScalarLine;
#if defined(__SSE2__)
using line_walk::Sse2Line;
#endif
#if defined(VELLUMO_AVX2)
using line_walk::Avx2Line;
#endif

// Writes one line of m (1..64) bytes starting from generator state s; answers the state after it.
// The 2m draws of a line follow from s by precomputed jumps, so they do not wait on one another.
template <class Line>
std::uint32_t EncodeLine(const unsigned char* in, std::size_t m, std::uint8_t keyValue,
                         std::uint32_t s, char* out) {
  if (m == kBytesPerLine) {
    Line::Encode(in, keyValue, s, out);
  } else {
    std::array<unsigned char, kBytesPerLine> padded{};
    std::array<char, kDrawsPerLine> letters;
    std::memcpy(padded.data(), in, m);
    Line::Encode(padded.data(), keyValue, s, letters.data());
    std::memcpy(out, letters.data(), 2 * m);
  }
  return kTables.jumpMul[2 * m - 1] * s + kTables.jumpAdd[2 * m - 1];
}

template <class Line>
std::uint32_t EncodeLinesWith(const unsigned char* in, std::size_t n, std::uint8_t keyValue,
                              std::uint32_t state, char* out) {
  for (std::size_t i = 0; i < n; i += kBytesPerLine) {
    const std::size_t m = std::min<std::size_t>(kBytesPerLine, n - i);
    state = EncodeLine<Line>(in + i, m, keyValue, state, out);
    out += 2 * m;
    *out++ = '\r';
    *out++ = '\n';
  }
  return state;
}

// The current form's walk; without kWrite it only checks, writing nothing. Line::Decode decodes
// 64 pairs that stand on one line without checking for CR between them. It answers false, writing
// nothing, when any of the 128 characters has no value; the walk then goes on pair by pair, which
// gives the exact failure (a CR would have shifted the pairing there, but a CR has no value, so a
// clean line holds none).
template <class Line, bool kWrite>
DecodeWalk Walk(TextView encoded, std::uint8_t keyValue, char* out) {
  const std::size_t n = encoded.size();
  const unsigned char* p = Bytes(encoded);
  const auto& value = kTables.letterValue;
  DecodeWalk walk;
  std::size_t pos = 0;
  while (pos < n && p[pos] != 0) {
    // The common case: a whole line of 128 letters followed by CR.
    if (n - pos > 2 * kBytesPerLine && p[pos + 2 * kBytesPerLine] == kCR &&
        (kWrite ? Line::Decode(p + pos, keyValue, out + walk.count) : Line::Check(p + pos))) {
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

template <class Line>
DecodeWalk DecodeWith(TextView encoded, std::uint8_t keyValue, char* out) {
  return out ? Walk<Line, true>(encoded, keyValue, out)
             : Walk<Line, false>(encoded, keyValue, nullptr);
}

// The widest walk this processor has.
LineWalk WidestLineWalk() {
#if defined(VELLUMO_AVX2)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  if (avx2) return LineWalk::Avx2;
#endif
#if defined(__SSE2__)
  return LineWalk::Sse2;
#else
  return LineWalk::Scalar;
#endif
}

std::optional<LineWalk> chosenForTesting;

LineWalk ChosenLineWalk() {
  return chosenForTesting ? *chosenForTesting : WidestLineWalk();
}

// Runs f with the line type of the chosen walk.
template <class F>
auto WithChosenLine(F&& f) {
  switch (ChosenLineWalk()) {
#if defined(VELLUMO_AVX2)
    case LineWalk::Avx2:
      return f(Avx2Line{});
#endif
#if defined(__SSE2__)
    case LineWalk::Sse2:
      return f(Sse2Line{});
#endif
    default:
      return f(ScalarLine{});
  }
}

// The value of a hexadecimal digit of the legacy form, or -1 for a character that is none.
int HexDigit(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::vector<LineWalk> AvailableLineWalks() {
  std::vector<LineWalk> walks{LineWalk::Scalar};
  if (WidestLineWalk() != LineWalk::Scalar) walks.push_back(LineWalk::Sse2);
  if (WidestLineWalk() == LineWalk::Avx2) walks.push_back(LineWalk::Avx2);
  return walks;
}

void UseLineWalkForTesting(std::optional<LineWalk> walk) {
  chosenForTesting = walk;
}

std::uint32_t EncodeLines(const unsigned char* in, std::size_t n, std::uint8_t keyValue,
                          std::uint32_t state, char* out) {
  return WithChosenLine(
      [&](auto line) { return EncodeLinesWith<decltype(line)>(in, n, keyValue, state, out); });
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

DecodeWalk DecodePart(TextView encoded, std::uint8_t keyValue, char* out) {
  return WithChosenLine(
      [&](auto line) { return DecodeWith<decltype(line)>(encoded, keyValue, out); });
}

bool DecodeInto(TextView encoded, std::uint8_t keyValue, char* out, std::size_t& count) {
  const DecodeWalk walk = DecodePart(encoded, keyValue, out);
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
  if (out.size() >= LegacyMarker.size() && !BeginsWithLegacyMarker(out)) {
    out.clear();
    return false;
  }
  out.reserve(encoded.size() / 2 + 1);
  if (open) walk.Feed(encoded.substr(head.size()), out);
  walk.Finish(out);
  if (!BeginsWithLegacyMarker(out)) {
    out.clear();
    return false;
  }
  out.erase(0, LegacyMarker.size());
  return true;
}

}  // namespace vellumo
