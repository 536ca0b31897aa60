// The messages of file input and output failures, chosen by the platform's error number, and the
// raising of EInOutError with them.
#pragma once

#include <string>

#include "app/failure.h"

namespace vellumo {

// The message for an error number: the known ones by name, any other as "I/O エラー (n)".
std::string InOutErrorMessage(int code);

[[noreturn]] void RaiseInOutError(int code);

}  // namespace vellumo
