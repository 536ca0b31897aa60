#include "cli/key_source.h"

#include <algorithm>
#include <memory>

#include "cipher/key_messages.h"
#include "cli/cli_error.h"
#include "cli/terminal.h"
#include "platform/cp932.h"
#include "platform/file_system.h"

namespace vellumo {
namespace {

// The editor's key field never holds more; a longer first line is no key someone typed.
constexpr std::size_t kMaxKeySize = std::size_t{1} << 20;
// The key file is read in blocks of this size, straight into the key.
constexpr std::size_t kKeyBlockSize = 4096;

// A key never holds a zero byte: the editor's key field cannot.
[[noreturn]] void RefuseZeroByte(std::size_t zero, const std::string& source) {
  throw CliError(source + " holds a zero byte (at byte " + std::to_string(zero + 1) +
                     "), which a key cannot hold",
                 kExitRefused);
}

// The key file's bytes up to its first CR, LF or zero byte, read no further than that (a device
// or a file without a line break is never read whole).
SecretText ReadKeyFile(const std::string& path) {
  std::unique_ptr<IFile> file;
  if (const int error = SystemFileSystem().OpenRead(path, file); error != kFileOk) {
    throw FileFailure(path, error);
  }
  SecretText key;
  for (;;) {
    const std::size_t before = key.size();
    std::size_t got = 0;
    key.resize(before + kKeyBlockSize);
    const int error = file->Read(key.data() + before, kKeyBlockSize, got);
    if (error != kFileOk && error != kErrorBrokenPipe) throw FileFailure(path, error);
    const auto stop = TextView(key.data() + before, got).find_first_of(TextView("\r\n\0", 3));
    const bool zero = stop != TextView::npos && key.data()[before + stop] == '\0';
    key.resize(before + std::min(stop, got));
    if (key.size() > kMaxKeySize) {
      throw CliError(
          "the key file's first line is longer than 1 MiB (1048576 bytes), which no key is",
          kExitRefused);
    }
    if (zero) RefuseZeroByte(key.size(), "the key file's first line");
    if (got == 0 || stop != TextView::npos) return key;
  }
}

SecretText ReadKeyFromUser() {
  SecretText typed;
  switch (ReadKeyFromTerminal(std::string(kAskKeyCaption) + ": ", typed)) {
    case KeyEntry::NoTerminal:
      throw UsageError("there is no terminal to type the key on; give it with --key-file FILE");
    case KeyEntry::Cancelled:
      throw CliError("no key was entered", kExitRefused);
    case KeyEntry::Typed:
      break;
  }
  SecretText key;
  Cp932Conversion conversion;
  key.Fill(typed.size(), [&](char* out) {
    std::size_t written = 0;
    conversion = Utf8ToCp932(typed, out, written);
    return written;
  });
  if (!conversion.ok) {
    throw CliError("the key's character at byte " + std::to_string(conversion.failedAt + 1) +
                       " has no code page 932 form",
                   kExitRefused);
  }
  if (const auto zero = TextView(key).find('\0'); zero != TextView::npos) {
    RefuseZeroByte(zero, "the key typed");
  }
  return key;
}

}  // namespace

SecretText ObtainKeyText(const std::optional<std::string>& keyFile) {
  return keyFile ? ReadKeyFile(*keyFile) : ReadKeyFromUser();
}

}  // namespace vellumo
