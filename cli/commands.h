// The tool's two commands. They make the editor's decisions in the editor's order (empty text,
// then the key, empty key, then the cipher), so the tool and the editor never disagree on a text.
#pragma once

#include "cli/options.h"

namespace vellumo {

// Both answer the exit status; failures are thrown as CliError or FileFailure.
int RunEncrypt(const CliOptions& options);
int RunDecrypt(const CliOptions& options);

}  // namespace vellumo
