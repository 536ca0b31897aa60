// Decryption of arbitrary text in both encoded forms, through the codec and through TCipherForm,
// checked against the straightforward walks; and round trips of the input through both forms.
// The key varies with the input, in its bytes and its length.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/message_box.h"
#include "cipher/cipher_form.h"
#include "cipher/codec.h"
#include "cipher/decrypt_stream.h"
#include "cipher/key.h"
#include "editor/text_reader.h"
#include "fuzz_support.h"
#include "tests/common/cipher_reference.h"
#include "tests/common/fixed_clock.h"
#include "tests/common/legacy_text.h"

namespace vellumo::fuzz {
namespace {

using namespace vellumo::reference;

// A double-byte character and a letter: KeyBytes entries 0xFF, KeyXor 0x73, and a legacy key
// cycle of three bytes. The seed corpus is encoded under it.
constexpr TextView kKey =
    "\x8c\xae"
    "Q";

// The key for an input: half the time kKey, so that the seeds decode; otherwise a key of a
// length chosen by the input, often short and up to 300 bytes (the legacy form cycles over its
// bytes, KeyBytes hold one entry per byte, an empty key passes texts through), of any bytes but
// zero, which the key field cannot hold.
Text KeyFor(Choices& choices) {
  if (choices.Below(2) == 0) return Text(kKey);
  const std::size_t length = choices.Below(4) == 0 ? choices.Below(301) : choices.Below(9);
  Text key;
  for (std::size_t i = 0; i < length; ++i)
    key += static_cast<char>(1 + choices.Below(255));
  return key;
}

// The value every KeyBytes entry holds under a key that is not empty.
std::uint8_t KeyBytesValue(TextView key) {
  KeyBytesArray keyBytes;
  DeriveKeyBytes(key, keyBytes);
  return keyBytes.front();
}

class CountingBoxes final : public IMessageBoxes {
 public:
  int shown = 0;
  bool lastWasDecryptFailure = false;
  int ShowMessageBox(const std::string& text, MessageKind kind, MessageButtons buttons,
                     int /*helpContext*/) override {
    ++shown;
    lastWasDecryptFailure =
        text == kDecryptFailedMessage && kind == MessageKind::Error && buttons == kOkOnly;
    return kResultOk;
  }
};

// A key dialog whose user types `typed` and presses OK each time it is shown; or, with remember
// checked, one that is never shown.
class TypingView final : public ICipherView {
 public:
  TCipherForm* form = nullptr;
  Text typed;
  Text key;
  bool remember = false;
  SecretText KeyText() const override { return SecretText(key); }
  bool KeyTextEmpty() const override { return key.empty(); }
  void SetKeyText(TextView k) override { key.assign(k); }
  bool RememberChecked() const override { return remember; }
  void SetRememberChecked(bool c) override { remember = c; }
  void SetRememberEnabled(bool) override {}
  void SetCaption(const std::string&) override {}
  void ShowModal() override {
    FUZZ_CHECK(!remember);
    form->FormShow();
    key = typed;
    form->Button1Click();
  }
  void RequestClose() override {
    bool canClose = true;
    form->FormCloseQuery(canClose);
    FUZZ_CHECK(canClose);
  }
  void FocusKeyField() override {}
};

// The current-form walk: the codec agrees with the reference, never writes more than half the
// input, empties its output on failure, and decodes in place as into a separate buffer.
void CheckCurrentForm(TextView in, std::uint8_t keyValue) {
  Text expected;
  const bool expectedOk = ReferenceDecodeCurrent(in, keyValue, expected);

  Text out = "stale";
  const bool ok = DecodeText(in, keyValue, out);
  FUZZ_CHECK(ok == expectedOk);
  FUZZ_CHECK(out == expected);
  FUZZ_CHECK(out.size() <= (in.size() + 1) / 2);

  auto separate = ExactCopy({}, in.size() / 2 + 1);
  std::size_t count = 0;
  FUZZ_CHECK(DecodeInto(in, keyValue, separate.data(), count) == ok);
  if (ok) FUZZ_CHECK(TextView(separate.data(), count) == expected);

  auto inPlace = ExactCopy(in, in.size() / 2 + 1);
  std::size_t inPlaceCount = 0;
  FUZZ_CHECK(DecodeInto(TextView(inPlace.data(), in.size()), keyValue, inPlace.data(),
                        inPlaceCount) == ok);
  if (ok) FUZZ_CHECK(TextView(inPlace.data(), inPlaceCount) == expected);

  // The walk that only checks answers the same.
  FUZZ_CHECK(DecodePart(in, keyValue, nullptr).ok == ok);
}

// The file's text decrypted in pieces cut anywhere gives what decrypting it whole gives, and a
// stream that only checks gives the same answer.
void CheckDecryptInPieces(TextView file, Choices& choices) {
  const Text text = ReadTextRules(file);
  Text expected;
  const bool expectedOk = ReferenceDecodeLegacy(text, kKey, LegacyMarker, expected) ||
                          ReferenceDecodeCurrent(text, KeyBytesValue(kKey), expected);
  for (const bool checkOnly : {false, true}) {
    DecryptStream stream(kKey, KeyBytesValue(kKey), checkOnly);
    Text out;
    for (std::size_t at = 0; at < text.size() && !stream.Ended();) {
      const std::size_t n = 1 + choices.Below(choices.Below(2) ? 4 : 300);
      const auto piece = ExactCopy(TextView(text).substr(at, n));
      out.append(stream.Feed(TextView(piece.data(), piece.size())));
      at += piece.size();
    }
    out.append(stream.Finish());
    FUZZ_CHECK(stream.Failed() == !expectedOk);
    if (!checkOnly && expectedOk) FUZZ_CHECK(out == expected);
  }
}

void CheckLegacyForm(TextView in, TextView key) {
  Text out = "stale";
  if (key.empty()) {
    FUZZ_CHECK(!DecodeLegacyText(in, key, out) && out.empty());
    return;
  }
  Text expected;
  const bool expectedOk = ReferenceDecodeLegacy(in, key, LegacyMarker, expected);
  FUZZ_CHECK(DecodeLegacyText(in, key, out) == expectedOk);
  FUZZ_CHECK(out == expected);
}

// TCipherForm::DecryptText: the legacy form first, then the current one; a failure leaves an
// empty output and exactly one error box; success shows nothing. An empty key hands the input
// back, after the empty-key warning when it was typed.
void CheckDecryptText(TextView in, TextView key, bool remember) {
  testing::FixedClock clock;
  CountingBoxes boxes;
  TypingView view;
  TCipherForm form(view, boxes, clock);
  view.form = &form;
  view.typed.assign(key);
  view.remember = remember;
  if (remember) view.key.assign(key);

  Text expected;
  bool expectedOk = true;
  int expectedBoxes = 0;
  if (!in.empty() && key.empty()) {
    expected.assign(in);
    if (!remember) expectedBoxes = 1;  // the warning, answered with OK
  } else if (!in.empty() && !ReferenceDecodeLegacy(in, key, LegacyMarker, expected)) {
    expectedOk = ReferenceDecodeCurrent(in, KeyBytesValue(key), expected);
    if (!expectedOk) expectedBoxes = 1;
  }

  Text out = "stale";
  const bool ok = form.DecryptText(in, out);
  FUZZ_CHECK(ok == expectedOk);
  FUZZ_CHECK(out == expected);
  FUZZ_CHECK(boxes.shown == expectedBoxes);
  FUZZ_CHECK(boxes.lastWasDecryptFailure == !ok);
  // A key that is not remembered does not stay in the field.
  if (!remember) FUZZ_CHECK(view.key.empty());
}

// Encoding the input gives exactly the reference's letters, in one piece or in two, on the widest
// and on every narrower walk; decoding them gives the input up to its first zero byte back.
void CheckCurrentRoundTrip(TextView text, std::uint8_t keyValue, std::uint32_t seed,
                           Choices& choices) {
  const TextView plain = UpToZero(text);
  const Text expected = ReferenceEncode(text, keyValue, seed);
  FUZZ_CHECK(expected.size() == EncodedSize(plain.size()));

  Text encoded = "kept";  // EncodeText appends
  EncodeText(text, keyValue, seed, encoded);
  FUZZ_CHECK(encoded.substr(0, 4) == "kept" && TextView(encoded).substr(4) == expected);

  for (const LineWalk walk : AvailableLineWalks()) {
    UseLineWalkForTesting(walk);
    Text narrower;
    EncodeText(text, keyValue, seed, narrower);
    FUZZ_CHECK(narrower == expected);
  }
  UseLineWalkForTesting(std::nullopt);

  if (!plain.empty()) {
    // Two pieces, the first of whole lines, continued from the state the first one ends in.
    const std::size_t split = 64 * choices.Below(plain.size() / 64 + 1);
    auto pieces = ExactCopy({}, EncodedSize(plain.size()));
    const auto* bytes = reinterpret_cast<const unsigned char*>(plain.data());
    const std::size_t firstSize = split == 0 ? 0 : EncodedSize(split);
    const std::uint32_t state = EncodeLines(bytes, split, keyValue, seed, pieces.data());
    EncodeLines(bytes + split, plain.size() - split, keyValue, state, pieces.data() + firstSize);
    FUZZ_CHECK(TextView(pieces.data(), pieces.size()) == expected);

    // A text whose first byte is zero encodes as a bare CR LF, which does not decode; every
    // other text comes back, with or without its closing CR LF.
    Text decoded;
    FUZZ_CHECK(DecodeText(expected, keyValue, decoded) && decoded == plain);
    const auto unterminated = ExactCopy(TextView(expected).substr(0, expected.size() - 2));
    FUZZ_CHECK(DecodeText(TextView(unterminated.data(), unterminated.size()), keyValue, decoded) &&
               decoded == plain);
  }
}

// A legacy text made of the input: the marker and the input as hexadecimal pairs under a key, in
// mixed case, with a CR and any one byte after some pairs; it decodes back to the whole input.
void CheckLegacyRoundTrip(TextView text, TextView key, Choices& choices) {
  if (key.empty()) return;  // an empty key has no legacy form
  const Text built = testing::BuildLegacyText(text, key, [&](std::size_t) {
    testing::LegacyPair pair{choices.Below(2) == 0, ""};
    if (choices.Below(16) == 0) {
      pair.after += '\r';
      pair.after += static_cast<char>(choices.Below(256));
    }
    return pair;
  });
  const auto exact = ExactCopy(built);
  Text out;
  FUZZ_CHECK(DecodeLegacyText(TextView(exact.data(), exact.size()), key, out));
  FUZZ_CHECK(out == text);
}

// TCipherForm's own round trip: EncryptText seeded by the clock, then DecryptText. An encoded
// text that happens to read as a legacy text too would decrypt as that; it is left out. Under an
// empty key both hand the text back.
void CheckFormRoundTrip(TextView text, TextView key, std::uint32_t milliseconds) {
  testing::FixedClock clock;
  clock.utcMilliseconds = milliseconds;
  CountingBoxes boxes;
  TypingView view;
  TCipherForm form(view, boxes, clock);
  view.form = &form;
  view.remember = true;
  view.key.assign(key);

  Text encoded;
  FUZZ_CHECK(form.EncryptText(text, encoded));
  if (text.empty()) {
    FUZZ_CHECK(encoded.empty());
    return;
  }
  Text decrypted;
  if (key.empty()) {
    FUZZ_CHECK(encoded == text);
    FUZZ_CHECK(form.DecryptText(encoded, decrypted) && decrypted == text);
    FUZZ_CHECK(boxes.shown == 0);
    return;
  }
  FUZZ_CHECK(encoded == ReferenceEncode(text, KeyBytesValue(key), milliseconds));
  Text legacy;
  if (UpToZero(text).empty() || ReferenceDecodeLegacy(encoded, key, LegacyMarker, legacy)) {
    return;
  }
  FUZZ_CHECK(form.DecryptText(encoded, decrypted));
  FUZZ_CHECK(decrypted == UpToZero(text));
  FUZZ_CHECK(boxes.shown == 0);
}

void Run(TextView in) {
  const std::uint64_t hash = HashOf(in);
  Choices choices(hash);
  const auto seed = static_cast<std::uint32_t>(hash >> 32);
  const Text key = KeyFor(choices);

  CheckCurrentForm(in, KeyBytesValue(kKey));
  CheckCurrentForm(in, static_cast<std::uint8_t>(hash));
  CheckLegacyForm(in, key);
  CheckDecryptText(in, key, /*remember=*/(hash & 1) != 0);
  CheckDecryptInPieces(in, choices);

  CheckCurrentRoundTrip(in, static_cast<std::uint8_t>(hash >> 8), seed, choices);
  CheckLegacyRoundTrip(in, key, choices);
  CheckFormRoundTrip(in, key, seed % 86400000u);
}

}  // namespace
}  // namespace vellumo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vellumo::fuzz::Run(vellumo::fuzz::AsView(data, size));
  return 0;
}
