#include "cli/commands.h"

#include <cstring>
#include <memory>

#include "cipher/codec.h"
#include "cipher/decrypt_stream.h"
#include "cipher/decryption.h"
#include "cipher/key.h"
#include "cipher/key_messages.h"
#include "cli/cli_error.h"
#include "cli/input.h"
#include "cli/key_source.h"
#include "cli/output.h"
#include "cli/passes.h"
#include "cli/piece_conversion.h"
#include "cli/text_position.h"
#include "editor/text_reader.h"
#include "platform/clock.h"
#include "platform/secret.h"

namespace vellumo {
namespace {

// The key text and its KeyBytes, wiped when let go.
struct Key {
  SecretText text;
  KeyBytesArray bytes;
};

// The key, refused when empty: the decision would leave the text as it is, which the editor does
// only after its warning box, and a command line cannot show that; a plain text must not go out
// looking encrypted.
void ObtainKey(const CliOptions& options, Key& key) {
  key.text = ObtainKeyText(options.keyFile);
  DeriveKeyBytes(key.text, key.bytes);
  if (key.bytes.empty()) {
    throw CliError("the key is empty, which would leave the text as it is; nothing is written",
                   kExitRefused);
  }
}

// The text's bytes, from UTF-8 when asked, in whole lines of the encrypted form; a zero byte or
// a character without a code page 932 form is refused with its place in the input (counted here,
// or found by the run reading the input again).
class Encryption final : public Transform {
 public:
  Encryption(const CliOptions& options, std::uint8_t keyValue, std::uint32_t seed, bool produce,
             bool countLines)
      : utf8_(options.utf8),
        keyValue_(keyValue),
        state_(seed),
        produce_(produce),
        countLines_(countLines) {}

  void Feed(TextView piece, Sink& out) override {
    // A zero byte in the input is one in the text too: UTF-8 and code page 932 give U+0000 and
    // byte 0 for each other alone.
    if (const void* zero = std::memchr(piece.data(), 0, piece.size())) {
      const auto at = static_cast<std::size_t>(static_cast<const char*>(zero) - piece.data());
      // A character before it that does not convert is the first thing wrong.
      std::uint64_t failedAt = 0;
      const auto ignore = [](TextView) {};
      if (utf8_ && (!conversion_.Feed(piece.substr(0, at), ignore, failedAt) ||
                    !conversion_.Finish(ignore, failedAt))) {
        RefuseUtf8(failedAt, piece);
      }
      Refuse(passed_ + at, piece, "the input holds a zero byte (at ",
             "), which the encrypted form cannot carry");
    }
    if (utf8_) {
      std::uint64_t failedAt = 0;
      if (!conversion_.Feed(
              piece, [&](TextView text) { Encode(text, out); }, failedAt)) {
        RefuseUtf8(failedAt, piece);
      }
    } else {
      Encode(piece, out);
    }
    if (countLines_) position_.Pass(piece);
    passed_ += piece.size();
  }

  void Finish(Sink& out) override {
    std::uint64_t failedAt = 0;
    if (utf8_ && !conversion_.Finish([&](TextView text) { Encode(text, out); }, failedAt)) {
      RefuseUtf8(failedAt, {});
    }
    if (produce_ && lineSize_ > 0) EncodeLines(line_, lineSize_, out);
  }

 private:
  [[noreturn]] void RefuseUtf8(std::uint64_t failedAt, TextView piece) const {
    Refuse(failedAt, piece, "the input's character at ",
           " is not UTF-8 or has no code page 932 form");
  }

  // Refuses the input at offset, which lies in piece (the bytes after those passed) or just
  // before it.
  [[noreturn]] void Refuse(std::uint64_t offset, TextView piece, const std::string& before,
                           const std::string& after) const {
    if (!countLines_) throw RefusalAt{offset, before, after};
    throw CliError(before + position_.Of(offset, piece) + after, kExitRefused);
  }

  // Encodes whole lines of 64 bytes as they come; the bytes of a line begun stay until it is full
  // or the text ends.
  void Encode(TextView text, Sink& out) {
    if (!produce_) return;
    if (lineSize_ > 0) {
      const std::size_t take = std::min(text.size(), kLine - lineSize_);
      std::memcpy(line_ + lineSize_, text.data(), take);
      lineSize_ += take;
      text.remove_prefix(take);
      if (lineSize_ < kLine) return;
      EncodeLines(line_, kLine, out);
      lineSize_ = 0;
    }
    const std::size_t whole = text.size() - text.size() % kLine;
    for (std::size_t done = 0; done < whole; done += kChunk) {
      EncodeLines(text.data() + done, std::min(kChunk, whole - done), out);
    }
    lineSize_ = text.size() - whole;
    std::memcpy(line_, text.data() + whole, lineSize_);
  }

  // The letters of n bytes (whole lines, or the text's last bytes), made in the output's space.
  void EncodeLines(const char* bytes, std::size_t n, Sink& out) {
    state_ = vellumo::EncodeLines(reinterpret_cast<const unsigned char*>(bytes), n, keyValue_,
                                  state_, out.Room(EncodedSize(n)));
    out.Made(EncodedSize(n));
  }

  static constexpr std::size_t kLine = 64;
  // Lines encoded at once: their letters fit in the space a sink lends.
  static constexpr std::size_t kChunk = 1024 * kLine;
  static_assert(EncodedSize(kChunk) <= Sink::kMaxRoom);
  bool utf8_;
  std::uint8_t keyValue_;
  std::uint32_t state_;
  bool produce_;
  bool countLines_;
  PieceConversion conversion_{PieceConversion::Direction::Utf8ToCp932};
  TextPosition position_;
  std::uint64_t passed_ = 0;  // bytes of the input fed so far
  char line_[kLine];
  std::size_t lineSize_ = 0;
};

// The file's text by the editor's reading rules, decrypted as the editor's decrypting open does,
// written byte for byte or as UTF-8.
class Decryption final : public Transform {
 public:
  // A pass that need not produce only checks the current form, unless the UTF-8 conversion has
  // to see the bytes.
  Decryption(const CliOptions& options, const Key& key, bool produce)
      : utf8_(options.utf8),
        produce_(produce),
        stream_(key.text, key.bytes.front(), !produce && !options.utf8) {}

  void Feed(TextView piece, Sink& out) override {
    Decrypt(stream_.Feed(reader_.Take(piece, text_)), out);
  }

  void Finish(Sink& out) override {
    text_.clear();
    reader_.Finish(text_);
    Decrypt(stream_.Feed(text_), out);
    Decrypt(stream_.Finish(), out);
    std::uint64_t failedAt = 0;
    if (utf8_ && !conversion_.Finish([&](TextView bytes) { Produce(bytes, out); }, failedAt)) {
      RefuseUtf8(failedAt, {});
    }
  }

  bool Done() const override { return reader_.Ended() || stream_.Ended(); }

 private:
  void Decrypt(TextView plain, Sink& out) {
    if (stream_.Failed()) throw CliError(kDecryptFailedMessage, kExitRefused);
    if (utf8_) {
      std::uint64_t failedAt = 0;
      if (!conversion_.Feed(
              plain, [&](TextView bytes) { Produce(bytes, out); }, failedAt)) {
        RefuseUtf8(failedAt, plain);
      }
      position_.Pass(plain);
    } else {
      Produce(plain, out);
    }
  }

  void Produce(TextView bytes, Sink& out) const {
    if (produce_ && !bytes.empty()) out.Put(bytes);
  }

  [[noreturn]] void RefuseUtf8(std::uint64_t failedAt, TextView plain) const {
    throw CliError(
        "the decrypted text's character at " + position_.Of(failedAt, plain) + " has no UTF-8 form",
        kExitRefused);
  }

  bool utf8_;
  bool produce_;
  TextReader reader_;
  Text text_;
  DecryptStream stream_;
  PieceConversion conversion_{PieceConversion::Direction::Cp932ToUtf8};
  TextPosition position_;
};

}  // namespace

int RunEncrypt(const CliOptions& options) {
  Input input(options.input);
  Output output(options.output);
  Key key;
  Work work;
  work.holdsText = [](TextView first) { return NeedsKey(first); };
  // As in the editor, the clock gives the seed once the key is there; both passes use it.
  std::uint32_t seed = 0;
  work.obtainKey = [&] {
    ObtainKey(options, key);
    seed = options.seed ? *options.seed : SystemClock().MillisecondsSinceMidnightUtc();
  };
  work.makeTransform = [&](bool produce, bool countLines) {
    return std::make_unique<Encryption>(options, key.bytes.front(), seed, produce, countLines);
  };
  work.spoolOutput = true;
  RunWork(input, output, work);
  return kExitOk;
}

int RunDecrypt(const CliOptions& options) {
  Input input(options.input);
  Output output(options.output);
  Key key;
  Work work;
  // The file's text as the editor reads it, which its first byte tells empty or not (it begins
  // with its end, byte 26, or there is none).
  work.holdsText = [](TextView first) { return NeedsKey(ReadTextRules(first.substr(0, 1))); };
  work.obtainKey = [&] { ObtainKey(options, key); };
  // The places it names are in the decrypted text, which it always counts (with --utf8).
  work.makeTransform = [&](bool produce, bool) {
    return std::make_unique<Decryption>(options, key, produce);
  };
  work.spoolOutput = false;
  RunWork(input, output, work);
  return kExitOk;
}

}  // namespace vellumo
