#include "cli/interrupt_cleanup.h"

namespace vellumo {

// On Windows the temporary file is open without delete sharing while it is written, so a console
// control handler could not remove it; an interrupted run may leave it beside the output (it is
// never created before the key has been given).
void HoldInterrupts() {}
void ReleaseInterrupts() {}
void LeaveInterruptsToTheMainThread() {}
void RemoveOnInterrupt(const std::string&) {}
void KeepOnInterrupt() {}

}  // namespace vellumo
