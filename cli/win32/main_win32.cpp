#include <string>
#include <vector>

#include "cli/run_cli.h"
#include "platform/win32/unicode.h"

// The wide entry point, so that file names outside the ANSI code page arrive intact.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i)
    args.push_back(vellumo::WideToUtf8(argv[i]));
  return vellumo::RunCli(args);
}
