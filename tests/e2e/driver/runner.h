// The driver's main loop: selects scenarios by name, glob or tag, runs each, and reports in
// TAP form with each scenario's time. Internal to the driver.
#pragma once

#include <string>

namespace vellumo::e2e {

void BeginScenario(const std::string& name, bool verbose);
int EndScenario();  // answers the failures counted since BeginScenario
void CountFailure();
// Prints the last few traced actions (unless they were all printed already).
void PrintRecentSteps();

// Answers the number of failed scenarios (the driver's exit code, at most 125).
int RunScenarios(int argc, wchar_t** argv);

}  // namespace vellumo::e2e
