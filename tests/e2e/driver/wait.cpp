#include "tests/e2e/driver/wait.h"

#include <windows.h>

#include <cstdlib>
#include <string>

#include "tests/e2e/driver/scenario.h"

namespace vellumo::e2e {

Millis Scaled(Millis limit) {
  static const double scale = [] {
    const char* text = std::getenv("E2E_TIMEOUT_SCALE");
    const double value = text ? std::atof(text) : 1.0;
    return value > 0 ? value : 1.0;
  }();
  return Millis(static_cast<long long>(static_cast<double>(limit.count()) * scale));
}

void PumpDriverMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool PollUntil(const std::function<bool()>& probe, Millis limit) {
  const auto deadline = std::chrono::steady_clock::now() + Scaled(limit);
  for (;;) {
    PumpDriverMessages();
    if (probe()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    // Wakes early for a message sent to a driver window, so the sender is not held up.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(kPollStep.count()),
                              QS_SENDMESSAGE | QS_POSTMESSAGE);
  }
}

void WaitFor(std::string_view what, const std::function<bool()>& probe, Millis limit, Where where) {
  if (!PollUntil(probe, limit)) {
    Abort("timed out after " + std::to_string(Scaled(limit).count()) + " ms waiting for " +
              std::string(what),
          where);
  }
}

}  // namespace vellumo::e2e
