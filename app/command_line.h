// Splitting of the process command line into arguments, the program's own name first.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellumo {

// Bytes 1 to 32 separate arguments; a double quote opens a stretch up to the next double quote
// (or the end) in which they belong to the argument; the quotes themselves are dropped; pairs of
// double quotes with nothing between are skipped where an argument would begin. A zero byte ends
// the line. Works on UTF-8 (bytes from 128 up are ordinary argument bytes); any length.
std::vector<std::string> SplitCommandLine(std::string_view line);

// The first argument after the program's name, or empty when there is none.
std::string FirstArgument(std::string_view line);

}  // namespace vellumo
