#include <clocale>
#include <string>
#include <vector>

#include "cli/run_cli.h"
#include "cli/standard_streams.h"

int main(int argc, char** argv) {
  vellumo::ProtectStandardStreams();
  // The terminal's encoding (for a typed key) comes from the user's locale.
  std::setlocale(LC_CTYPE, "");
  return vellumo::RunCli(std::vector<std::string>(argv + 1, argv + argc));
}
