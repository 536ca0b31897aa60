// Failures that end a command and reach the user through the failure display.
#pragma once

#include <stdexcept>
#include <string>

namespace vellumo {

// A failure with a user-facing message (UTF-8). Everything a command throws derives from it;
// the window procedures' guard shows its message.
class Failure : public std::runtime_error {
 public:
  explicit Failure(const std::string& message) : std::runtime_error(message) {}
};

// A file input or output failure: the message chosen from the platform's error number.
class EInOutError : public Failure {
 public:
  EInOutError(const std::string& message, int errorCode) : Failure(message), ErrorCode(errorCode) {}
  int ErrorCode;
};

}  // namespace vellumo
