#include "tests/e2e/driver/screenshot.h"

#include <windows.h>

#include <filesystem>
#include <fstream>

#include "platform/win32/unicode.h"
#include "tests/e2e/driver/scenario.h"
#include "tests/e2e/driver/wait.h"
#include "tests/e2e/driver/window.h"

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
  const wchar_t* folder = _wgetenv(L"E2E_REQUEST_DIR");
  if (!folder || !*folder) {
    Trace("screenshot " + file + " not taken (no E2E_REQUEST_DIR)");
    return;
  }
  SettlePainting();
  static int sequence = 0;
  const std::filesystem::path base =
      std::filesystem::path(folder) /
      (std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++sequence));
  const std::filesystem::path request = base.wstring() + L".req";
  {
    // Written under a temporary name and renamed, so the script never reads half a request.
    const std::filesystem::path partial = base.wstring() + L".tmp";
    std::ofstream out(partial, std::ios::binary);
    out << file << '\n';
    out.close();
    if (!out || !MoveFileW(partial.c_str(), request.c_str())) {
      Abort("cannot write the screenshot request " + WideToUtf8(request.wstring()));
    }
  }
  Trace("screenshot " + file);
  WaitFor(
      "the screenshot " + file,
      [&] { return GetFileAttributesW(request.c_str()) == INVALID_FILE_ATTRIBUTES; },
      Millis(15000));
  // The script leaves a .failed file beside the request when `import` did not succeed.
  const std::filesystem::path failed = base.wstring() + L".failed";
  if (GetFileAttributesW(failed.c_str()) != INVALID_FILE_ATTRIBUTES) {
    DeleteFileW(failed.c_str());
    Check(false, "screenshot " + file + " could not be taken");
  }
}

}  // namespace vellumo::e2e
