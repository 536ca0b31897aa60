#include "cli/key_source.h"

#include <array>

#include "cipher/cipher_form.h"
#include "cli/cli_error.h"
#include "cli/streams.h"
#include "cli/terminal.h"
#include "platform/cp932.h"
#include "platform/secure_wipe.h"

namespace vellumo {
namespace {

// A key never holds a zero byte: the editor's key field cannot.
void RefuseZeroByte(Text& key, const std::string& source) {
  const auto zero = key.find('\0');
  if (zero == TextView::npos) return;
  SecureWipe(key);
  throw CliError(source + " holds a zero byte (at byte " + std::to_string(zero + 1) +
                     "), which a key cannot hold",
                 kExitRefused);
}

Text ReadKeyFile(const std::string& path) {
  InputFile file(path);
  Text key;
  std::array<char, 4096> block;
  for (;;) {
    const std::size_t n = file.Read(block.data(), block.size());
    const TextView got(block.data(), n);
    const auto lineEnd = got.find_first_of("\r\n");
    key.append(got.substr(0, lineEnd));
    if (n == 0 || lineEnd != TextView::npos) break;
  }
  SecureWipe(block.data(), block.size());
  RefuseZeroByte(key, "the key file's first line");
  return key;
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
  RefuseZeroByte(key, "the key typed");
  return key;
}

}  // namespace

Text ObtainKeyText(const std::optional<std::string>& keyFile) {
  return keyFile ? ReadKeyFile(*keyFile) : ReadKeyFromUser();
}

}  // namespace vellumo
