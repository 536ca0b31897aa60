#include "cli/options.h"

#include <charconv>
#include <optional>

#include "cli/cli_error.h"

namespace vellumo {
namespace {

std::uint32_t ParseSeed(const std::string& text) {
  std::uint32_t seed = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, seed);
  if (text.empty() || error != std::errc() || stop != end) {
    throw UsageError("--seed takes a whole number from 0 to 4294967295, not \"" + text + "\"");
  }
  return seed;
}

// "-" names the standard stream, as for most tools. An empty name is refused: an unset shell
// variable must not turn a file into a standard stream (a key read with echo, a decrypted text
// going to a log).
std::string StreamPath(const std::string& arg, const char* what, const char* stream) {
  if (arg.empty()) {
    throw UsageError(std::string(what) + " is an empty file name; give \"-\" for " + stream);
  }
  return arg == "-" ? std::string() : arg;
}

// The options that take a value: it is the next argument, whatever it looks like.
bool TakesValue(const std::string& arg) {
  return arg == "--key-file" || arg == "--seed" || arg == "-o";
}

// --help and --version win wherever they stand as options, not as an option's value.
std::optional<CliCommand> HelpOrVersion(const std::vector<std::string>& args) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") break;
    if (TakesValue(arg)) {
      ++i;
      continue;
    }
    if (arg == "--help" || arg == "-h") return CliCommand::Help;
    if (arg == "--version") return CliCommand::Version;
  }
  return std::nullopt;
}

CliCommand ParseCommand(const std::vector<std::string>& args) {
  if (args.empty()) throw UsageError("a command is needed: encrypt or decrypt");
  if (args[0] == "encrypt") return CliCommand::Encrypt;
  if (args[0] == "decrypt") return CliCommand::Decrypt;
  throw UsageError("unknown command \"" + args[0] + "\"; the commands are encrypt and decrypt");
}

}  // namespace

CliOptions ParseOptions(const std::vector<std::string>& args) {
  CliOptions options;
  if (const auto early = HelpOrVersion(args)) {
    options.command = *early;
    return options;
  }
  options.command = ParseCommand(args);

  bool outputGiven = false;
  bool inputGiven = false;
  bool optionsEnded = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // An option's value: the rest of "--name=value", or the next argument.
    const auto value = [&](const std::string& name) -> std::string {
      if (arg.size() > name.size() && arg[name.size()] == '=') return arg.substr(name.size() + 1);
      if (i + 1 >= args.size()) throw UsageError(name + " needs a value");
      return args[++i];
    };
    const auto is = [&](const std::string& name) {
      return arg == name || arg.rfind(name + "=", 0) == 0;
    };
    const auto once = [&](bool given, const std::string& name) {
      if (given) throw UsageError(name + " is given twice");
    };
    if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
      if (inputGiven) throw UsageError("only one input file can be given");
      options.input = StreamPath(arg, "the input", "standard input");
      inputGiven = true;
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (is("--key-file")) {
      once(options.keyFile.has_value(), "--key-file");
      options.keyFile = value("--key-file");
      if (options.keyFile->empty()) throw UsageError("--key-file is an empty file name");
    } else if (is("--seed")) {
      if (options.command != CliCommand::Encrypt) {
        throw UsageError("--seed is for encrypt only");
      }
      once(options.seed.has_value(), "--seed");
      options.seed = ParseSeed(value("--seed"));
    } else if (arg == "--utf8") {
      once(options.utf8, "--utf8");
      options.utf8 = true;
    } else if (arg == "-o") {
      once(outputGiven, "-o");
      options.output = StreamPath(value("-o"), "-o", "standard output");
      outputGiven = true;
    } else {
      throw UsageError("unknown option \"" + arg + "\"");
    }
  }
  return options;
}

const char* UsageText() {
  return "usage: vellumo-cli encrypt [--key-file FILE] [--seed N] [--utf8] [-o OUT] [IN]\n"
         "       vellumo-cli decrypt [--key-file FILE] [--utf8] [-o OUT] [IN]\n"
         "       vellumo-cli --help | --version\n";
}

std::string HelpText() {
  return std::string(UsageText()) +
         "\n"
         "Encrypts text into the .qzv form, or decrypts a .qzv file, exactly as the Vellumo\n"
         "editor does.\n"
         "\n"
         "  IN, -o OUT       input and output files; standard input and output when left out\n"
         "                   or given as \"-\". OUT is replaced only once it is complete.\n"
         "  --key-file FILE  the key is FILE's first line (code page 932 bytes, at most 1 MiB);\n"
         "                   without it the key is typed at the terminal, unseen. An empty key\n"
         "                   is refused.\n"
         "  --seed N         starting state of the letter choice (0 to 4294967295);\n"
         "                   by default taken from the clock\n"
         "  --utf8           the text read by encrypt and written by decrypt is UTF-8;\n"
         "                   otherwise it is code page 932 bytes, taken as they are\n"
         "\n"
         "Exit status: 0 done; 1 the input or the key cannot be used (nothing written);\n"
         "2 wrong command line; 3 a file could not be opened, read or written.\n";
}

}  // namespace vellumo
