#include "app/command_line.h"

namespace vellumo {
namespace {

bool IsSeparator(unsigned char c) {
  return c >= 1 && c <= 32;
}

// Reads the argument that starts at or after pos; answers false when the line has none left.
bool NextArgument(std::string_view line, std::size_t& pos, std::string& arg) {
  const std::size_t n = line.size();
  auto at = [&](std::size_t i) -> unsigned char {
    return i < n ? static_cast<unsigned char>(line[i]) : 0;
  };
  for (;;) {
    while (IsSeparator(at(pos)))
      ++pos;
    if (at(pos) == '"' && at(pos + 1) == '"') {
      pos += 2;
    } else {
      break;
    }
  }
  if (at(pos) == 0) return false;
  arg.clear();
  while (at(pos) > ' ') {
    if (at(pos) == '"') {
      ++pos;
      while (at(pos) != 0 && at(pos) != '"')
        arg += static_cast<char>(at(pos++));
      if (at(pos) != 0) ++pos;
    } else {
      arg += static_cast<char>(at(pos++));
    }
  }
  return true;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> args;
  std::size_t pos = 0;
  std::string arg;
  while (NextArgument(line, pos, arg))
    args.push_back(arg);
  return args;
}

std::string FirstArgument(std::string_view line) {
  std::size_t pos = 0;
  std::string arg;
  if (!NextArgument(line, pos, arg)) return {};
  if (!NextArgument(line, pos, arg)) return {};
  return arg;
}

}  // namespace vellumo
