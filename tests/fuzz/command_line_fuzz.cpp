// Command-line splitting: arbitrary lines split consistently, and lines built from known
// arguments, with quotes placed at random and random separators, split back into those arguments.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "fuzz_support.h"

namespace vellumo::fuzz {
namespace {

using Arguments = std::vector<std::string>;

bool IsSeparator(unsigned char c) {
  return c >= 1 && c <= 32;
}

// Each argument in double quotes, separated by blanks; an empty argument can only stand last,
// as a lone double quote at the end of the line.
std::string QuoteAll(const Arguments& args) {
  std::string line;
  for (const auto& arg : args) {
    if (!line.empty()) line += ' ';
    line += arg.empty() ? "\"" : "\"" + arg + "\"";
  }
  return line;
}

// Whatever the line, the arguments hold no double quote and no zero byte, only the last may be
// empty, together they are no longer than the line, and quoting them gives them back.
void CheckAnyLine(std::string_view line) {
  const Arguments args = SplitCommandLine(line);
  std::size_t total = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    FUZZ_CHECK(args[i].find_first_of(std::string_view("\"\0", 2)) == std::string::npos);
    FUZZ_CHECK(!args[i].empty() || i + 1 == args.size());
    total += args[i].size();
  }
  FUZZ_CHECK(total <= line.size());
  FUZZ_CHECK(FirstArgument(line) == (args.size() > 1 ? args[1] : std::string()));
  // A zero byte ends the line.
  FUZZ_CHECK(SplitCommandLine(line.substr(0, line.find('\0'))) == args);
  FUZZ_CHECK(SplitCommandLine(QuoteAll(args)) == args);
}

// Writes arg into line opening and closing quoted stretches at random; bytes 1 to 32 always
// stand inside one. The last argument may leave its stretch open to the end of the line; the
// answer tells whether it did.
bool AppendArgument(const std::string& arg, bool last, Choices& choices, std::string& line) {
  bool quoted = false;
  for (const char c : arg) {
    const bool mustQuote = IsSeparator(static_cast<unsigned char>(c));
    if (quoted != mustQuote || choices.Below(8) == 0) {
      line += '"';
      quoted = !quoted;
      if (quoted != mustQuote) {  // the toggle went the wrong way: an empty stretch
        line += '"';
        quoted = !quoted;
      }
    }
    line += c;
  }
  if (quoted && last && choices.Below(2) == 0) return true;
  if (quoted) line += '"';
  return false;
}

// Separator bytes between arguments, with empty quote pairs among them now and then.
void AppendSeparators(Choices& choices, std::string& line) {
  line += static_cast<char>(1 + choices.Below(32));
  while (choices.Below(3) == 0) {
    if (choices.Below(2) == 0) line += "\"\"";
    line += static_cast<char>(1 + choices.Below(32));
  }
}

// The arguments are the input's stretches between zero bytes, without double quotes; empty ones
// are dropped. The program's name is the first.
void CheckBuiltLine(std::string_view input, Choices& choices) {
  Arguments args(1);
  for (const char c : input) {
    if (c == '\0') {
      if (!args.back().empty()) args.emplace_back();
    } else if (c != '"') {
      args.back() += c;
    }
  }
  if (args.back().empty()) args.pop_back();

  std::string line;
  if (choices.Below(4) == 0) AppendSeparators(choices, line);
  bool open = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (i > 0) AppendSeparators(choices, line);
    open = AppendArgument(args[i], i + 1 == args.size(), choices, line);
  }
  if (!open && choices.Below(4) == 0) AppendSeparators(choices, line);

  const auto exact = ExactCopy(line);
  const std::string_view view(exact.data(), exact.size());
  FUZZ_CHECK(SplitCommandLine(view) == args);
  FUZZ_CHECK(FirstArgument(view) == (args.size() > 1 ? args[1] : std::string()));
}

void Run(std::string_view line) {
  Choices choices(HashOf(line));
  CheckAnyLine(line);
  CheckBuiltLine(line, choices);
}

}  // namespace
}  // namespace vellumo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vellumo::fuzz::Run(vellumo::fuzz::AsView(data, size));
  return 0;
}
