#include "cli/commands.h"

#include <memory>
#include <optional>

#include "cipher/cipher_form.h"
#include "cipher/codec.h"
#include "cipher/key.h"
#include "cli/cli_error.h"
#include "cli/key_source.h"
#include "cli/plain_source.h"
#include "cli/streams.h"
#include "cli/terminal.h"
#include "platform/clock.h"
#include "platform/cp932.h"
#include "platform/secure_wipe.h"

namespace vellumo {
namespace {

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

// The encrypted form of the source, written piece by piece as it is made.
void WriteEncrypted(PlainSource& source, std::uint8_t keyValue, std::uint32_t seed,
                    OutputFile& out) {
  const auto buffer = std::make_unique_for_overwrite<char[]>(EncodedSize(kPlainPiece));
  std::uint32_t state = seed;
  source.ForEachPiece([&](TextView piece) {
    // The first pass found no zero byte; one now means that the file changed meanwhile.
    if (piece.find('\0') != TextView::npos) {
      throw CliError("the input changed while it was read", kExitRefused);
    }
    state = EncodeLines(reinterpret_cast<const unsigned char*>(piece.data()), piece.size(),
                        keyValue, state, buffer.get());
    out.Write(buffer.get(), EncodedSize(piece.size()));
    return true;
  });
}

}  // namespace

int RunEncrypt(const CliOptions& options) {
  const auto source = OpenPlainSource(options);
  // The whole text is checked before anything is written: is it empty, where is a zero byte.
  std::uint64_t size = 0;
  std::optional<std::uint64_t> zero;
  source->ForEachPiece([&](TextView piece) {
    if (const auto at = piece.find('\0'); at != TextView::npos) zero = size + at;
    size += piece.size();
    return !zero;
  });
  OutputFile output(options.output);
  if (size > 0) {
    Key key;
    ObtainKey(options, key);
    if (key.bytes.empty()) {
      source->ForEachPiece([&](TextView piece) {
        output.Write(piece.data(), piece.size());
        return true;
      });
    } else if (zero) {
      // The encrypted form ends at a zero byte; refuse rather than drop the rest.
      throw CliError("the input holds a zero byte (at " + PositionIn(*source, *zero) +
                         "), which the encrypted form cannot carry",
                     kExitRefused);
    } else {
      const std::uint32_t seed =
          options.seed ? *options.seed : SystemClock().MillisecondsSinceMidnightUtc();
      WriteEncrypted(*source, key.bytes.front(), seed, output);
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
