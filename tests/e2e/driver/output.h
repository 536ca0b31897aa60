// The driver's output: UTF-8 lines on standard output, flushed at once so progress shows live.
#pragma once

#include <string_view>

namespace vellumo::e2e {

void PrintLine(std::string_view line);
// Prints each line of `text` with "# " in front (a TAP diagnostic).
void PrintDiagnostic(std::string_view text);

}  // namespace vellumo::e2e
