// The tool's two commands. They decide as the editor does (cipher/decryption.h): empty text, then
// the key, empty key, then the cipher, so the tool and the editor never disagree on a text.
#pragma once

#include "cli/options.h"

namespace vellumo {

// Both answer the exit status; failures are thrown as CliError or FileFailure.
int RunEncrypt(const CliOptions& options);
int RunDecrypt(const CliOptions& options);

}  // namespace vellumo
