// The probe DLL: loaded into the program under test by the driver's WH_CALLWNDPROC hook, it
// answers the driver's query message from inside that process.
#include <windows.h>

#include <string>

#include "tests/e2e/probe/probe_protocol.h"

namespace {

void Answer(HWND window, DWORD driverProcessId) {
  const std::wstring name =
      std::wstring(vellumo::e2e::kProbeMemoryPrefix) + std::to_wstring(driverProcessId);
  HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name.c_str());
  if (!mapping) return;
  auto* answer = static_cast<vellumo::e2e::ProbeAnswer*>(
      MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(vellumo::e2e::ProbeAnswer)));
  if (answer) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    answer->hasOwnFont = font != nullptr;
    if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    GetObjectW(font, sizeof answer->logFont, &answer->logFont);
    if (HDC dc = GetDC(window)) {
      HGDIOBJ old = SelectObject(dc, font);
      GetTextFaceW(dc, LF_FACESIZE, answer->drawnFace);
      TEXTMETRICW metrics{};
      GetTextMetricsW(dc, &metrics);
      answer->drawnHeight = metrics.tmHeight;
      answer->drawnAscent = metrics.tmAscent;
      answer->drawnAverageWidth = metrics.tmAveCharWidth;
      SelectObject(dc, old);
      ReleaseDC(window, dc);
    }
    answer->windowDpi = GetDpiForWindow(window);
    answer->awareness =
        static_cast<LONG>(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()));
    InterlockedExchange(&answer->answered, 1);
    UnmapViewOfFile(answer);
  }
  CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    ProbeCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT query = RegisterWindowMessageW(vellumo::e2e::kProbeMessage);
  if (code == HC_ACTION) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (call->message == query) Answer(call->hwnd, static_cast<DWORD>(call->wParam));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
