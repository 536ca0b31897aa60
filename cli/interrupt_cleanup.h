// Removal of a half-written temporary file when the user interrupts the tool (Ctrl+C, a hang-up,
// a termination request), so that no stray file is left beside the output.
#pragma once

#include <string>

namespace vellumo {

// From now on an interruption removes path before the process ends. One path at a time.
void RemoveOnInterrupt(const std::string& path);
// The file is complete or already removed: interruptions behave as usual again.
void KeepOnInterrupt();

}  // namespace vellumo
