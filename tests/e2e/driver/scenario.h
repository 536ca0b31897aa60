// Scenarios: registration by name and tags, checks that print expected against actual, and the
// abort that ends a scenario early (a wait that timed out, a required window that is missing).
#pragma once

#include <functional>
#include <source_location>
#include <string>
#include <string_view>
#include <vector>

#include "tests/e2e/driver/describe.h"

namespace vellumo::e2e {

struct Scenario {
  std::string name;
  std::vector<std::string> tags;  // "dpi": also run in the 144 dots-per-inch pass
  std::function<void()> body;
  std::string file;
  int line = 0;
};

std::vector<Scenario>& AllScenarios();
bool RegisterScenario(const char* name, const char* tags, void (*body)(),
                      std::source_location where = std::source_location::current());

// Thrown to end the running scenario at once; the runner reports it as a failure.
struct ScenarioAbort {
  std::string message;
};
[[noreturn]] void Abort(std::string_view message,
                        std::source_location where = std::source_location::current());

// Thrown to end the running scenario as skipped: it cannot run here (reported as TAP
// "ok N - name # SKIP reason", and counted apart). A scenario that failed a check before is
// still reported as failed.
struct ScenarioSkip {
  std::string reason;
};
[[noreturn]] void Skip(std::string_view reason);

// Records a failed check of the running scenario and prints it as a TAP diagnostic.
void ReportFailure(std::string_view what, std::string_view detail, std::source_location where);
// Prints a diagnostic line (shown always) or a trace line (shown with --verbose).
void Note(std::string_view text);
void Trace(std::string_view text);
// The running scenario's name ("" outside a scenario).
const std::string& CurrentScenarioName();
// Counts scenario runs: changes whenever a scenario (or a repetition of it) starts.
int CurrentScenarioRun();

// A check that fails the scenario but lets it go on. Answers whether it passed.
bool Check(bool condition, std::string_view what,
           std::source_location where = std::source_location::current());

template <class E, class A>
bool CheckEqual(const E& expected, const A& actual, std::string_view what,
                std::source_location where = std::source_location::current()) {
  if (expected == actual) return true;
  ReportFailure(what, "expected: " + Describe(expected) + "\n  actual:   " + Describe(actual),
                where);
  return false;
}

// Like Check and CheckEqual, but a failure ends the scenario.
void Require(bool condition, std::string_view what,
             std::source_location where = std::source_location::current());
template <class E, class A>
void RequireEqual(const E& expected, const A& actual, std::string_view what,
                  std::source_location where = std::source_location::current()) {
  if (!CheckEqual(expected, actual, what, where)) throw ScenarioAbort{"required check failed"};
}

}  // namespace vellumo::e2e

// Defines and registers a scenario:
//   E2E_SCENARIO(fixture_copy, "dpi") { ... }
// The name is the one shown in the output and matched by the driver's command-line filters.
#define E2E_SCENARIO(name, tags)                                      \
  static void name##_scenario();                                      \
  [[maybe_unused]] static const bool name##_registered =              \
      ::vellumo::e2e::RegisterScenario(#name, tags, name##_scenario); \
  static void name##_scenario()
