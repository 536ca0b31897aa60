// The tool's side of the terminal: text on the standard streams, and the key typed unseen.
#pragma once

#include <string>
#include <string_view>

#include "platform/secret.h"

namespace vellumo {

enum class StandardStream { Output, Error };

// Writes UTF-8 text as it is: to a Windows console as characters, elsewhere as UTF-8 bytes.
// Answers the platform's error number of a failed write (ERROR_INVALID_HANDLE when the stream is
// missing), 0 when all was written.
int WriteText(StandardStream stream, std::string_view utf8);

enum class KeyEntry {
  Typed,       // a line was typed (it may be empty)
  Cancelled,   // the input ended before a line break
  NoTerminal,  // the process has no terminal to ask on
};

// Shows prompt on the terminal and reads one line without echo, converted to UTF-8 from the
// terminal's encoding. Throws CliError when what was typed is not valid in that encoding.
KeyEntry ReadKeyFromTerminal(std::string_view prompt, SecretText& utf8Key);

}  // namespace vellumo
