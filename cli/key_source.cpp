#include "cli/key_source.h"

#include <array>
#include <memory>

#include "cipher/cipher_form.h"
#include "cli/cli_error.h"
#include "cli/terminal.h"
#include "platform/cp932.h"
#include "platform/file_system.h"
#include "platform/secure_wipe.h"

namespace vellumo {
namespace {

// The editor's key field never holds more; a longer first line is no key someone typed.
constexpr std::size_t kMaxKeySize = std::size_t{1} << 20;

// A key never holds a zero byte: the editor's key field cannot.
void RefuseZeroByte(Text& key, std::size_t zero, const std::string& source) {
  SecureWipe(key);
  throw CliError(source + " holds a zero byte (at byte " + std::to_string(zero + 1) +
                     "), which a key cannot hold",
                 kExitRefused);
}

// The key file's bytes up to its first CR, LF or zero byte, read no further than that (a device
// or a file without a line break is never read whole).
Text ReadKeyFile(const std::string& path) {
  std::unique_ptr<IFile> file;
  if (const int error = SystemFileSystem().OpenRead(path, file); error != kFileOk) {
    throw FileFailure(path, error);
  }
  Text key;
  key.reserve(kMaxKeySize + 1);  // so that growing leaves no copies of the key behind
  std::array<char, 4096> block;
  for (;;) {
    std::size_t got = 0;
    const int error = file->Read(block.data(), block.size(), got);
    if (error != kFileOk && error != kErrorBrokenPipe) {
      SecureWipe(block.data(), block.size());
      SecureWipe(key);
      throw FileFailure(path, error);
    }
    const TextView piece(block.data(), got);
    const auto stop = piece.find_first_of(TextView("\r\n\0", 3));
    key.append(piece.substr(0, std::min(stop, kMaxKeySize + 1 - key.size())));
    if (key.size() > kMaxKeySize) {
      SecureWipe(block.data(), block.size());
      SecureWipe(key);
      throw CliError(
          "the key file's first line is longer than 1 MiB (1048576 bytes), which no key is",
          kExitRefused);
    }
    if (got == 0 || stop != TextView::npos) {
      const bool zero = stop != TextView::npos && piece[stop] == '\0';
      SecureWipe(block.data(), block.size());
      if (zero) RefuseZeroByte(key, key.size(), "the key file's first line");
      return key;
    }
  }
}

Text ReadKeyFromUser() {
  std::string typed;
  switch (ReadKeyFromTerminal(std::string(kAskKeyCaption) + ": ", typed)) {
    case KeyEntry::NoTerminal:
      throw UsageError("there is no terminal to type the key on; give it with --key-file FILE");
    case KeyEntry::Cancelled:
      throw CliError("no key was entered", kExitRefused);
    case KeyEntry::Typed:
      break;
  }
  Text key;
  const Cp932Conversion conversion = Utf8ToCp932(typed, key);
  SecureWipe(typed);
  if (!conversion.ok) {
    SecureWipe(key);
    throw CliError("the key's character at byte " + std::to_string(conversion.failedAt + 1) +
                       " has no code page 932 form",
                   kExitRefused);
  }
  if (const auto zero = key.find('\0'); zero != Text::npos) {
    RefuseZeroByte(key, zero, "the key typed");
  }
  return key;
}

}  // namespace

Text ObtainKeyText(const std::optional<std::string>& keyFile) {
  return keyFile ? ReadKeyFile(*keyFile) : ReadKeyFromUser();
}

}  // namespace vellumo
