// The cipher's walks over whole texts: the current encoded form (written and read) and the
// legacy hexadecimal form (read only). Pure functions; the key request lives in TCipherForm.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "cipher/text.h"

namespace vellumo {

// The 64 bytes that begin every decoded legacy text. The inner double quotes belong to it.
inline constexpr TextView LegacyMarker =
    "Vellumo::hacked by zemfo::\"QX7\" is a shorted from \"ZemfoLoomery\"";
static_assert(LegacyMarker.size() == 64);

// Whether bytes decoded from the legacy form begin with LegacyMarker, and so are that form.
inline bool BeginsWithLegacyMarker(TextView decoded) {
  return decoded.substr(0, LegacyMarker.size()) == LegacyMarker;
}

// Number of bytes the current form takes for n plain bytes: two letters per byte and CR LF after
// every line of up to 64 bytes; n = 0 still gives the closing CR LF.
constexpr std::size_t EncodedSize(std::size_t n) {
  const std::size_t lines = n == 0 ? 1 : (n + 63) / 64;
  return 2 * n + 2 * lines;
}

// Appends the current encoded form of text, up to its first zero byte, to out. Every byte is
// XORed with keyValue (all KeyBytes entries hold one value, so one byte stands for the array);
// the generator starts from seed.
void EncodeText(TextView text, std::uint8_t keyValue, std::uint32_t seed, Text& out);

// Encodes n bytes as whole lines into out, which must have room for EncodedSize(n) bytes; n must
// be a multiple of 64 unless this is the last piece of a text, so that a text can be encoded in
// pieces. The bytes are taken as they are (no zero-byte stop). Answers the generator state after
// the last draw, from which the next piece continues.
std::uint32_t EncodeLines(const unsigned char* in, std::size_t n, std::uint8_t keyValue,
                          std::uint32_t state, char* out);

// The walks over whole lines, which give the same letters and bytes: plain table lookups, SSE2
// (every x86-64) and AVX2 (chosen at run time; it encodes, and decodes as SSE2 does). The widest
// one the processor has is used.
enum class LineWalk { Scalar, Sse2, Avx2 };
// The walks this build can take on this processor, narrowest first.
std::vector<LineWalk> AvailableLineWalks();
// Makes encoding and decoding take walk (one of AvailableLineWalks()), so that tests can check
// each against the reference; nothing: the widest again.
void UseLineWalkForTesting(std::optional<LineWalk> walk);

// Reads the current form into out, XORing each decoded byte with keyValue. On a pair that does
// not decode, out is emptied and the answer is false.
bool DecodeText(TextView encoded, std::uint8_t keyValue, Text& out);

// The same walk into a caller's buffer of at least encoded.size() / 2 + 1 bytes, which may be
// encoded.data() itself (a write never overtakes the read). Sets count to the decoded length.
bool DecodeInto(TextView encoded, std::uint8_t keyValue, char* out, std::size_t& count);

// What the walk over a text found: whether it decodes, how many bytes it gives, and whether it
// ended at a zero byte before the text's end.
struct DecodeWalk {
  bool ok = true;
  std::size_t count = 0;
  bool endedAtZero = false;
};
// DecodeInto's walk, telling also where it ended; with out null it only checks, writing nothing.
DecodeWalk DecodePart(TextView encoded, std::uint8_t keyValue, char* out);

// Reads the legacy form under keyText (which must not be empty). Answers true with the text after
// LegacyMarker when the decoded bytes begin with it; otherwise out is emptied and false answered.
bool DecodeLegacyText(TextView encoded, TextView keyText, Text& out);

// The legacy form's marker is decided by at most this many characters of the text: each of its
// 64 pairs takes two, and a line break after it two more.
inline constexpr std::size_t kLegacyHeadSize = 4 * LegacyMarker.size();

// The legacy walk over a text that arrives in consecutive pieces, cut anywhere: the same bytes as
// one walk over the whole text, marker included.
class LegacyWalk {
 public:
  // keyText must not be empty and must outlive the walk.
  explicit LegacyWalk(TextView keyText);
  // Appends the bytes of the pairs that piece completes to out. Answers false once the walk has
  // ended at a zero byte: the rest of the text is never read.
  bool Feed(TextView piece, Text& out);
  // The text has ended: a pair cut short after its first character is read from that one alone.
  void Finish(Text& out);

 private:
  enum class Step { PairStart, Second, AfterPair, SkipOne, Ended };
  void Emit(int value, Text& out);

  TextView key_;
  std::uint8_t keyXor_;
  std::size_t keyPos_ = 0;
  Step step_ = Step::PairStart;
  int first_ = 0;  // the value of the pair's first digit, or -1 for no digit
};

}  // namespace vellumo
