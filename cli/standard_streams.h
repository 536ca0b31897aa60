// Standard input and output as files of the file-system port: bytes as they are, without any
// newline translation. Closing them leaves the process's streams open.
#pragma once

#include <memory>

#include "platform/file_system.h"

namespace vellumo {

// Run first thing: a standard stream that the process was started without (a closed descriptor)
// is given the null device, so that no file the tool opens can take its place and receive what
// was meant for that stream. The tool still knows which ones were missing.
void ProtectStandardStreams();

// Standard input; a missing one reads as empty. A regular file can be read again from where the
// process found it.
std::unique_ptr<IFile> StandardInput();
// Standard output; writing to a missing one fails (ERROR_INVALID_HANDLE), as it must not look as
// if the output had gone somewhere.
std::unique_ptr<IFile> StandardOutput();

}  // namespace vellumo
