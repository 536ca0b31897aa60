// Waiting with a deadline: every wait of a scenario polls through here, none sleeps blindly.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <source_location>
#include <string_view>

namespace vellumo::e2e {

using Millis = std::chrono::milliseconds;
// Where a wait was asked for: a timeout names the scenario's line.
using Where = std::source_location;

// How long a wait lasts when the scenario names no limit. The environment variable
// E2E_TIMEOUT_SCALE (a factor, default 1) stretches every limit on slow machines.
inline constexpr Millis kDefaultTimeout{5000};
inline constexpr Millis kPollStep{15};

Millis Scaled(Millis limit);

// Handles the driver's own pending window messages. Polls call it at every step, so that a
// program under test that sends a message to a driver window (the clipboard owner, a hook
// notification) is never kept waiting.
void PumpDriverMessages();

// Asks `probe` every kPollStep until it answers true or `limit` passes; answers whether it did.
bool PollUntil(const std::function<bool()>& probe, Millis limit = kDefaultTimeout);

// Like PollUntil, but running out of time ends the scenario as failed, naming `what`.
void WaitFor(std::string_view what, const std::function<bool()>& probe,
             Millis limit = kDefaultTimeout, Where where = Where::current());

// Waits until `probe` yields a value and returns it; running out of time ends the scenario.
template <class T>
T WaitForValue(std::string_view what, const std::function<std::optional<T>()>& probe,
               Millis limit = kDefaultTimeout, Where where = Where::current()) {
  std::optional<T> value;
  WaitFor(
      what, [&] { return (value = probe()).has_value(); }, limit, where);
  return *value;
}

}  // namespace vellumo::e2e
