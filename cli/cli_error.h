// Why the tool stops before its work is done: the message for standard error and the exit status.
#pragma once

#include <string>
#include <utility>

#include "app/failure.h"
#include "editor/in_out_error.h"

namespace vellumo {

// Exit statuses of vellumo-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;  // the input or the key cannot be used; nothing written
inline constexpr int kExitUsage = 2;    // the command line is wrong
inline constexpr int kExitFile = 3;     // a file could not be opened, read or written

class CliError : public Failure {
 public:
  CliError(const std::string& message, int status) : Failure(message), Status(status) {}
  int Status;
};

// A command line the tool does not understand; the usage lines follow the message.
class UsageError : public CliError {
 public:
  explicit UsageError(const std::string& message) : CliError(message, kExitUsage) {}
};

// A failure of a named file (or of a standard stream): the editor's message for the platform's
// error number, shown after the file's name.
class FileFailure : public EInOutError {
 public:
  FileFailure(std::string file, int errorCode)
      : EInOutError(InOutErrorMessage(errorCode), errorCode), File(std::move(file)) {}
  std::string File;
};

// What the messages call the standard streams.
inline constexpr const char* kStandardInputName = "standard input";
inline constexpr const char* kStandardOutputName = "standard output";

}  // namespace vellumo
