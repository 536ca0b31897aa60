#include "cli/commands.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "cipher/cipher_form.h"
#include "cipher/codec.h"
#include "cipher/key.h"
#include "cli/cli_error.h"
#include "cli/key_source.h"
#include "cli/streams.h"
#include "cli/terminal.h"
#include "platform/clock.h"
#include "platform/cp932.h"
#include "platform/secure_wipe.h"

namespace vellumo {
namespace {

// Text per piece of streamed encryption: whole lines, whose letters stay in cache until written.
constexpr std::size_t kEncryptPiece = 2048 * 64;

// A whole input, read without first filling the buffer with zeros.
class InputBytes {
 public:
  explicit InputBytes(InputFile& file) {
    std::size_t capacity = std::max<std::size_t>(file.SizeHint() + 1, 1u << 16);
    data_ = std::make_unique_for_overwrite<char[]>(capacity);
    for (;;) {
      if (size_ == capacity) {
        capacity *= 2;
        auto bigger = std::make_unique_for_overwrite<char[]>(capacity);
        std::memcpy(bigger.get(), data_.get(), size_);
        data_ = std::move(bigger);
      }
      const std::size_t n = file.Read(data_.get() + size_, capacity - size_);
      if (n == 0) break;
      size_ += n;
    }
  }
  TextView View() const { return {data_.get(), size_}; }

 private:
  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
};

// Where offset lies in text, for messages: "line L, byte B".
std::string PositionOf(TextView text, std::size_t offset) {
  const TextView before = text.substr(0, offset);
  const auto lines = std::count(before.begin(), before.end(), '\n');
  const auto lineStart = before.rfind('\n');
  const std::size_t column = lineStart == TextView::npos ? offset : offset - lineStart - 1;
  return "line " + std::to_string(lines + 1) + ", byte " + std::to_string(column + 1);
}

void WarnEmptyKey() {
  std::string warning = kEmptyKeyWarning;
  warning.replace(warning.find("\r\n"), 2, "\n");
  WriteText(StandardStream::Error, "vellumo-cli: " + warning + "\n");
}

// The key text and its KeyBytes, wiped when done.
struct Key {
  Text text;
  KeyBytesArray bytes;
  ~Key() {
    SecureWipe(text);
    SecureWipe(bytes.data(), bytes.size());
  }
};

// Asks for the key and derives KeyBytes; warns when the key is empty.
void ObtainKey(const CliOptions& options, Key& key) {
  key.text = ObtainKeyText(options.keyFile);
  DeriveKeyBytes(key.text, key.bytes);
  if (key.bytes.empty()) WarnEmptyKey();
}

// The encrypted form of text, written in pieces of whole lines as it is made.
void WriteEncrypted(TextView text, std::uint8_t keyValue, std::uint32_t seed, OutputFile& out) {
  const auto buffer = std::make_unique_for_overwrite<char[]>(EncodedSize(kEncryptPiece));
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::uint32_t state = seed;
  for (std::size_t i = 0; i < text.size(); i += kEncryptPiece) {
    const std::size_t n = std::min(kEncryptPiece, text.size() - i);
    state = EncodeLines(bytes + i, n, keyValue, state, buffer.get());
    out.Write(buffer.get(), EncodedSize(n));
  }
}

}  // namespace

int RunEncrypt(const CliOptions& options) {
  InputFile input(options.input);
  const InputBytes bytes(input);
  TextView text = bytes.View();
  Text converted;
  if (options.utf8) {
    const Cp932Conversion conversion = Utf8ToCp932(text, converted);
    if (!conversion.ok) {
      throw CliError("the input's character at " + PositionOf(text, conversion.failedAt) +
                         " is not UTF-8 or has no code page 932 form",
                     kExitRefused);
    }
    text = converted;
  }
  OutputFile output(options.output);
  if (!text.empty()) {
    Key key;
    ObtainKey(options, key);
    if (key.bytes.empty()) {
      output.Write(text.data(), text.size());
    } else {
      // The encrypted form ends at a zero byte; refuse rather than drop the rest.
      const auto zero = text.find('\0');
      if (zero != TextView::npos) {
        throw CliError("the input holds a zero byte (at " + PositionOf(text, zero) +
                           "), which the encrypted form cannot carry",
                       kExitRefused);
      }
      const std::uint32_t seed =
          options.seed ? *options.seed : SystemClock().MillisecondsSinceMidnightUtc();
      WriteEncrypted(text, key.bytes.front(), seed, output);
    }
  }
  output.Commit();
  return kExitOk;
}

int RunDecrypt(const CliOptions& options) {
  Text text = ReadInputText(options.input);
  OutputFile output(options.output);
  TextView result = text;
  Text legacy;
  if (!text.empty()) {
    Key key;
    ObtainKey(options, key);
    if (!key.bytes.empty()) {
      std::size_t count = 0;
      if (DecodeLegacyText(text, key.text, legacy)) {
        result = legacy;
      } else if (DecodeInto(text, key.bytes.front(), text.data(), count)) {
        result = TextView(text.data(), count);
      } else {
        throw CliError(kDecryptFailedMessage, kExitRefused);
      }
    }
  }
  if (options.utf8) {
    Text utf8;
    const Cp932Conversion conversion = Cp932ToUtf8(result, utf8);
    if (!conversion.ok) {
      throw CliError("the decrypted text's character at " +
                         PositionOf(result, conversion.failedAt) + " has no UTF-8 form",
                     kExitRefused);
    }
    output.Write(utf8.data(), utf8.size());
  } else {
    output.Write(result.data(), result.size());
  }
  output.Commit();
  return kExitOk;
}

}  // namespace vellumo
