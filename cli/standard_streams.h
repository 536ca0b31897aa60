// Standard input and output as files of the file-system port: bytes as they are, without any
// newline translation. Closing them leaves the process's streams open.
#pragma once

#include <memory>

#include "platform/file_system.h"

namespace vellumo {

std::unique_ptr<IFile> StandardInput();
std::unique_ptr<IFile> StandardOutput();

}  // namespace vellumo
