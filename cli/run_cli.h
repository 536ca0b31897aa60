// vellumo-cli from its arguments to its exit status, with every failure reported on standard error.
#pragma once

#include <string>
#include <vector>

namespace vellumo {

// args: the arguments after the program's name, in UTF-8.
int RunCli(const std::vector<std::string>& args);

}  // namespace vellumo
