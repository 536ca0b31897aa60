// Throughput of encryption and decryption over 64 MiB of text, and of the code page 932
// conversion between the document's bytes and the edit area's UTF-16, both ways.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "cipher/codec.h"
#include "platform/cp932.h"

namespace vellumo {
namespace {

constexpr std::size_t kSize = 64u << 20;

const Text& PlainText() {
  static const Text text = [] {
    std::mt19937 rng(1);
    std::uniform_int_distribution<int> byte(1, 255);
    Text t(kSize, '\0');
    for (auto& c : t)
      c = static_cast<char>(byte(rng));
    return t;
  }();
  return text;
}

const Text& EncodedText() {
  static const Text text = [] {
    Text out;
    EncodeText(PlainText(), 0x3C, 123456, out);
    return out;
  }();
  return text;
}

void BM_Encrypt(benchmark::State& state) {
  const Text& text = PlainText();
  Text out;  // reused, so the figure is the walk and not the first touch of fresh pages
  for (auto _ : state) {
    out.clear();
    EncodeText(text, 0x3C, 123456, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Encrypt)->Unit(benchmark::kMillisecond);

void BM_EncryptInPieces(benchmark::State& state) {
  // As the command-line tool does: pieces of 48 KiB into one buffer that stays in cache.
  const Text& text = PlainText();
  constexpr std::size_t kPiece = 768 * 64;
  Text out(EncodedSize(kPiece), '\0');
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  for (auto _ : state) {
    std::uint32_t generator = 123456;
    for (std::size_t i = 0; i < text.size(); i += kPiece) {
      generator =
          EncodeLines(in + i, std::min(kPiece, text.size() - i), 0x3C, generator, out.data());
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_EncryptInPieces)->Unit(benchmark::kMillisecond);

void BM_Decrypt(benchmark::State& state) {
  const Text& encoded = EncodedText();
  Text out;
  for (auto _ : state) {
    const bool ok = DecodeText(encoded, 0x3C, out);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(out.data());
  }
  // Counted in plain bytes produced, so both figures compare on the same scale.
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * PlainText().size()));
}
BENCHMARK(BM_Decrypt)->Unit(benchmark::kMillisecond);

void BM_DecryptLegacyAttempt(benchmark::State& state) {
  // A current-form text first goes through the legacy attempt, which must stop at the marker.
  const Text& encoded = EncodedText();
  for (auto _ : state) {
    Text out;
    benchmark::DoNotOptimize(DecodeLegacyText(encoded, "key", out));
  }
}
BENCHMARK(BM_DecryptLegacyAttempt)->Unit(benchmark::kMicrosecond);

// 64 MiB of Japanese text in code page 932: numbered lines of kanji, kana, punctuation, ASCII
// and half-width katakana, as a memo holds them.
const Text& JapaneseText() {
  static const Text text = [] {
    std::string line;
    Utf16ToCp932(u" 日本語のテキストを暗号化して保存し、開いて解読する時間を測ります。ｿﾌﾄ表示\r\n",
                 line);
    Text t;
    t.reserve(kSize + 64);
    for (int number = 0; t.size() < kSize; ++number) {
      t += std::to_string(10000000 + number).substr(1);
      t += line;
    }
    t.resize(kSize);
    return t;
  }();
  return text;
}

void Decode(benchmark::State& state, const Text& text) {
  std::u16string out(text.size(), u'\0');  // reused, as in BM_Encrypt
  for (auto _ : state) {
    benchmark::DoNotOptimize(Cp932ToUtf16(text, out.data()));
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void Encode(benchmark::State& state, const Text& text) {
  const std::u16string units = Cp932ToUtf16(text);
  Text out(2 * units.size(), '\0');
  std::size_t firstLost = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Utf16ToCp932(units, out.data(), firstLost));
    benchmark::DoNotOptimize(out.data());
  }
  // Counted in code page 932 bytes, so both ways compare on the same scale.
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_Cp932ToUtf16Japanese(benchmark::State& state) {
  Decode(state, JapaneseText());
}
BENCHMARK(BM_Cp932ToUtf16Japanese)->Unit(benchmark::kMillisecond);

void BM_Utf16ToCp932Japanese(benchmark::State& state) {
  Encode(state, JapaneseText());
}
BENCHMARK(BM_Utf16ToCp932Japanese)->Unit(benchmark::kMillisecond);

// Random bytes 1 to 255: every kind of character and many placeholders.
void BM_Cp932ToUtf16RandomBytes(benchmark::State& state) {
  Decode(state, PlainText());
}
BENCHMARK(BM_Cp932ToUtf16RandomBytes)->Unit(benchmark::kMillisecond);

void BM_Utf16ToCp932RandomBytes(benchmark::State& state) {
  Encode(state, PlainText());
}
BENCHMARK(BM_Utf16ToCp932RandomBytes)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vellumo

BENCHMARK_MAIN();
