// The key text for the tool: the first line of a key file, or a line typed at the terminal,
// as code page 932 bytes, as the key field of the editor would hold it.
#pragma once

#include <optional>
#include <string>

#include "cipher/text.h"
#include "platform/secret.h"

namespace vellumo {

// The key file's bytes up to its first CR or LF (at most 1 MiB), or the line typed at the terminal
// converted to code page 932. Throws CliError (no terminal, typing cancelled, a zero byte, a key
// too long, a character that code page 932 lacks) or FileFailure.
SecretText ObtainKeyText(const std::optional<std::string>& keyFile);

}  // namespace vellumo
