#include "tests/e2e/driver/scenario.h"

#include <deque>
#include <filesystem>

#include "tests/e2e/driver/output.h"
#include "tests/e2e/driver/runner.h"

namespace vellumo::e2e {
namespace {

struct RunState {
  std::string name;
  int failures = 0;
  bool verbose = false;
  int run = 0;
  std::deque<std::string> recentSteps;  // kept to show what led up to an abort
};

constexpr std::size_t kRecentSteps = 6;

RunState& State() {
  static RunState state;
  return state;
}

std::vector<std::string> SplitTags(std::string_view tags) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < tags.size()) {
    std::size_t end = tags.find_first_of(", ", start);
    if (end == std::string_view::npos) end = tags.size();
    if (end > start) out.emplace_back(tags.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

std::string Where(std::source_location where) {
  return std::filesystem::path(where.file_name()).filename().string() + ":" +
         std::to_string(where.line());
}

}  // namespace

std::vector<Scenario>& AllScenarios() {
  static std::vector<Scenario> scenarios;
  return scenarios;
}

bool RegisterScenario(const char* name, const char* tags, void (*body)(),
                      std::source_location where) {
  AllScenarios().push_back(
      Scenario{name, SplitTags(tags), body, where.file_name(), static_cast<int>(where.line())});
  return true;
}

void Abort(std::string_view message, std::source_location where) {
  throw ScenarioAbort{std::string(message) + " (" + Where(where) + ")"};
}

void Skip(std::string_view reason) {
  throw ScenarioSkip{std::string(reason)};
}

void ReportFailure(std::string_view what, std::string_view detail, std::source_location where) {
  ++State().failures;
  std::string text = "check failed at " + Where(where) + ": " + std::string(what);
  if (!detail.empty()) text += "\n  " + std::string(detail);
  PrintDiagnostic(text);
}

void Note(std::string_view text) {
  PrintDiagnostic(text);
}

void Trace(std::string_view text) {
  auto& state = State();
  if (state.verbose) PrintDiagnostic(text);
  state.recentSteps.emplace_back(text);
  if (state.recentSteps.size() > kRecentSteps) state.recentSteps.pop_front();
}

void PrintRecentSteps() {
  const auto& state = State();
  if (state.verbose || state.recentSteps.empty()) return;
  PrintDiagnostic("last steps before that:");
  for (const auto& step : state.recentSteps)
    PrintDiagnostic("  " + step);
}

const std::string& CurrentScenarioName() {
  return State().name;
}

int CurrentScenarioRun() {
  return State().run;
}

bool Check(bool condition, std::string_view what, std::source_location where) {
  if (!condition) ReportFailure(what, "", where);
  return condition;
}

void Require(bool condition, std::string_view what, std::source_location where) {
  if (!Check(condition, what, where)) throw ScenarioAbort{"required check failed"};
}

void BeginScenario(const std::string& name, bool verbose) {
  State() = RunState{name, 0, verbose, State().run + 1, {}};
}

int EndScenario() {
  const int failures = State().failures;
  State().name.clear();
  return failures;
}

void CountFailure() {
  ++State().failures;
}

}  // namespace vellumo::e2e
