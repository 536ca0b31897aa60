// Removal of a half-written temporary file when a signal ends the tool (Ctrl+C, a hang-up, a
// termination request, the file-size limit reached...), so that no stray file is left beside the
// output. Signals that the tool was started with ignored stay ignored.
#pragma once

#include <string>

namespace vellumo {

// While held, signals that would end the tool wait, so that a file can be created and given to
// RemoveOnInterrupt without one coming in between.
void HoldInterrupts();
void ReleaseInterrupts();

// For a helper thread, first thing: signals sent to the process go to the main thread, so that
// holding them there holds them for the whole process.
void LeaveInterruptsToTheMainThread();

// From now on a signal that ends the tool removes path first. One path at a time.
void RemoveOnInterrupt(const std::string& path);
// The file is complete or already removed: signals behave as before again.
void KeepOnInterrupt();

}  // namespace vellumo
