// The command line of vellumo-cli: what to do, where the key, the input and the output are.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vellumo {

enum class CliCommand { Encrypt, Decrypt, Help, Version };

struct CliOptions {
  CliCommand command = CliCommand::Help;
  std::optional<std::string> keyFile;  // none: the key is typed at the terminal
  std::optional<std::uint32_t> seed;   // none: from the clock
  bool utf8 = false;
  std::string input;   // empty: standard input
  std::string output;  // empty: standard output
};

// Parses the arguments after the program's name. Throws UsageError.
CliOptions ParseOptions(const std::vector<std::string>& args);

// The usage lines, shown with a usage error and by --help.
const char* UsageText();
// The whole --help text.
std::string HelpText();

inline constexpr const char* kVersionText = "vellumo-cli 0.2";

}  // namespace vellumo
