// The text the failure display shows for a failure's message.
#pragma once

#include <string>

namespace vellumo {

// Appends "." when the message's last character (a multi-byte character taken from its lead byte)
// compares greater than "." as an unsigned byte. Empty messages stay empty.
std::string FailureText(std::string message);

}  // namespace vellumo
