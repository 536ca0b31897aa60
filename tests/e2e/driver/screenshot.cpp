#include "tests/e2e/driver/screenshot.h"

#include <windows.h>

#include "tests/e2e/driver/scenario.h"
#include "tests/e2e/driver/wait.h"
#include "tests/e2e/driver/window.h"
#include "tests/e2e/driver/x_server.h"

namespace vellumo::e2e {
namespace {

// Lets every visible top-level window finish painting: pending paints are done before a sent
// message returns, and two rounds let what one paint caused (a child redrawn) follow.
void SettlePainting() {
  for (int round = 0; round < 2; ++round) {
    for (HWND window : TopWindows(0)) {
      DWORD_PTR ignored = 0;
      RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
    }
  }
}

std::string SafeName(std::string_view name) {
  std::string out;
  for (const char c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.';
    out += plain ? c : '_';
  }
  return out;
}

}  // namespace

void Screenshot(std::string_view name) {
  const std::string file = SafeName(CurrentScenarioName()) + "-" + SafeName(name);
  if (!XServerRequestsServed()) {
    Trace("screenshot " + file + " not taken (no request server)");
    return;
  }
  SettlePainting();
  Trace("screenshot " + file);
  const std::string failure =
      RequestFromXServer("shot " + file, "the screenshot " + file, Millis(15000));
  Check(failure.empty(), "screenshot " + file + " could not be taken: " + failure);
}

}  // namespace vellumo::e2e
