#include "tests/e2e/driver/runner.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/win32/unicode.h"
#include "tests/e2e/driver/output.h"
#include "tests/e2e/driver/scenario.h"

namespace vellumo::e2e {
namespace {

struct Options {
  bool list = false;
  bool verbose = false;
  int repeat = 1;
  std::vector<std::string> tags;
  std::vector<std::string> patterns;
};

// '*' matches any run of characters, '?' one character.
bool GlobMatch(std::string_view pattern, std::string_view name) {
  if (pattern.empty()) return name.empty();
  if (pattern[0] == '*') {
    for (std::size_t skip = 0; skip <= name.size(); ++skip) {
      if (GlobMatch(pattern.substr(1), name.substr(skip))) return true;
    }
    return false;
  }
  return !name.empty() && (pattern[0] == '?' || pattern[0] == name[0]) &&
         GlobMatch(pattern.substr(1), name.substr(1));
}

bool Selected(const Scenario& scenario, const Options& options) {
  for (const auto& tag : options.tags) {
    if (std::find(scenario.tags.begin(), scenario.tags.end(), tag) == scenario.tags.end()) {
      return false;
    }
  }
  if (options.patterns.empty()) return true;
  return std::any_of(options.patterns.begin(), options.patterns.end(),
                     [&](const std::string& p) { return GlobMatch(p, scenario.name); });
}

int Usage() {
  PrintLine(
      "usage: vellumo_e2e [--list] [--verbose] [--repeat N] [--tag TAG]... [NAME|GLOB]...\n"
      "  runs the scenarios whose name matches any NAME or GLOB (all when none is given)\n"
      "  and that carry every TAG, each N times in a row (to hunt unreliable ones);\n"
      "  exit code = number of failed scenario runs (at most 125)");
  return 125;
}

enum class Outcome { Passed, Failed, Skipped };

// Runs one scenario and prints its TAP line.
Outcome RunOne(const Scenario& scenario, const std::string& label, int number, bool verbose) {
  BeginScenario(scenario.name, verbose);
  const auto start = std::chrono::steady_clock::now();
  std::optional<std::string> skipped;
  try {
    scenario.body();
  } catch (const ScenarioSkip& skip) {
    skipped = skip.reason;
  } catch (const ScenarioAbort& abort) {
    CountFailure();
    PrintDiagnostic("aborted: " + abort.message);
    PrintRecentSteps();
  } catch (const std::exception& error) {
    CountFailure();
    PrintDiagnostic(std::string("aborted by an exception: ") + error.what());
    PrintRecentSteps();
  }
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
  const bool passed = EndScenario() == 0;
  const std::string line = std::to_string(number) + " - " + label;
  if (passed && skipped) {
    PrintLine("ok " + line + " # SKIP " + *skipped);
    return Outcome::Skipped;
  }
  PrintLine((passed ? "ok " : "not ok ") + line + " (" + std::to_string(ms) + " ms)");
  return passed ? Outcome::Passed : Outcome::Failed;
}

}  // namespace

int RunScenarios(int argc, wchar_t** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = WideToUtf8(argv[i]);
    if (arg == "--list") {
      options.list = true;
    } else if (arg == "--verbose" || arg == "-v") {
      options.verbose = true;
    } else if (arg == "--repeat" && i + 1 < argc) {
      options.repeat = std::max(1, _wtoi(argv[++i]));
    } else if (arg == "--tag" && i + 1 < argc) {
      options.tags.push_back(WideToUtf8(argv[++i]));
    } else if (arg.starts_with("-")) {
      return Usage();
    } else {
      options.patterns.push_back(arg);
    }
  }

  std::vector<std::string> names;
  for (const auto& scenario : AllScenarios())
    names.push_back(scenario.name);
  std::sort(names.begin(), names.end());
  if (const auto twin = std::adjacent_find(names.begin(), names.end()); twin != names.end()) {
    PrintLine("Bail out! two scenarios are named " + *twin);
    return 125;
  }

  std::vector<const Scenario*> selected;
  for (const auto& scenario : AllScenarios()) {
    if (Selected(scenario, options)) selected.push_back(&scenario);
  }
  std::sort(selected.begin(), selected.end(),
            [](const Scenario* a, const Scenario* b) { return a->name < b->name; });
  if (options.list) {
    for (const auto* scenario : selected) {
      std::string tags;
      for (const auto& tag : scenario->tags)
        tags += " [" + tag + "]";
      PrintLine(scenario->name + tags);
    }
    return 0;
  }
  if (selected.empty()) {
    // A name that matches nothing is a mistake; a tag that no selected scenario carries is not.
    PrintLine("1..0 # no scenario matches");
    return options.patterns.empty() || !options.tags.empty() ? 0 : 1;
  }

  PrintLine("TAP version 13");
  PrintLine("1.." + std::to_string(selected.size() * options.repeat));
  int failed = 0;
  int skipped = 0;
  int number = 0;
  const auto runStart = std::chrono::steady_clock::now();
  for (const Scenario* scenario : selected) {
    for (int round = 1; round <= options.repeat; ++round) {
      const std::string name =
          scenario->name + (options.repeat > 1 ? " #" + std::to_string(round) : "");
      switch (RunOne(*scenario, name, ++number, options.verbose)) {
        case Outcome::Passed:
          break;
        case Outcome::Failed:
          ++failed;
          break;
        case Outcome::Skipped:
          ++skipped;
          break;
      }
    }
  }
  const auto total = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now() - runStart)
                         .count();
  PrintDiagnostic(std::to_string(number) + " scenario runs, " + std::to_string(failed) +
                  " failed, " + std::to_string(skipped) + " skipped, " + std::to_string(total) +
                  " ms");
  return std::min(failed, 125);
}

}  // namespace vellumo::e2e
