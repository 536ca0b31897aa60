// The probe DLL: loaded into the program under test by the driver's WH_CALLWNDPROC hook, it
// answers the driver's query message from inside that process.
#include <windows.h>

#include <iterator>
#include <string>

#include "tests/e2e/probe/probe_protocol.h"

namespace {

void DescribeFont(HWND window, vellumo::e2e::ProbeAnswer* answer) {
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
}

void DescribeMenu(HMENU menu, LONG depth, vellumo::e2e::ProbeAnswer* answer) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    vellumo::e2e::ProbeMenuItem entry{};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
    info.dwTypeData = entry.text;
    info.cch = static_cast<UINT>(std::size(entry.text));
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    entry.depth = depth;
    entry.id = info.wID;
    entry.type = info.fType;
    entry.state = info.fState;
    entry.hasSubmenu = info.hSubMenu != nullptr;
    if (answer->menuCount < vellumo::e2e::kProbeMaxMenuItems) {
      answer->menu[answer->menuCount] = entry;
    }
    ++answer->menuCount;
    if (info.hSubMenu) DescribeMenu(info.hSubMenu, depth + 1, answer);
  }
}

// Sends WM_DPICHANGED from inside the program, with the window's frame scaled from its DPI to
// dpi as the suggested rectangle (the system passes it by pointer, which only works in-process).
void DeliverDpiChange(HWND window, UINT dpi) {
  RECT frame{};
  GetWindowRect(window, &frame);
  const int old = static_cast<int>(GetDpiForWindow(window));
  const int now = static_cast<int>(dpi);
  RECT suggested{frame.left, frame.top, frame.left + MulDiv(frame.right - frame.left, now, old),
                 frame.top + MulDiv(frame.bottom - frame.top, now, old)};
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

// The window watched for its destruction, and where its text length goes then.
HWND watched = nullptr;
std::wstring watchMemory;

template <class F>
void WithWatchMemory(F&& f) {
  HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, watchMemory.c_str());
  if (!mapping) return;
  if (auto* watch = static_cast<vellumo::e2e::ProbeDestroyWatch*>(
          MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(vellumo::e2e::ProbeDestroyWatch)))) {
    f(*watch);
    UnmapViewOfFile(watch);
  }
  CloseHandle(mapping);
}

void Watch(HWND window, DWORD driverProcessId) {
  watched = window;
  watchMemory =
      std::wstring(vellumo::e2e::kProbeWatchMemoryPrefix) + std::to_wstring(driverProcessId);
  WithWatchMemory(
      [](vellumo::e2e::ProbeDestroyWatch& watch) { InterlockedExchange(&watch.armed, 1); });
}

void Destroyed(HWND window) {
  WithWatchMemory([&](vellumo::e2e::ProbeDestroyWatch& watch) {
    watch.textLength = GetWindowTextLengthW(window);
    InterlockedExchange(&watch.destroyed, 1);
  });
  watched = nullptr;
}

void Answer(HWND window, DWORD driverProcessId, LPARAM query) {
  if ((query & 0xFF) == vellumo::e2e::kProbeWatchDestroy) {
    Watch(window, driverProcessId);
    return;
  }
  if ((query & 0xFF) == vellumo::e2e::kProbeDpiChanged) {
    DeliverDpiChange(window, static_cast<UINT>(query >> 8));
    query = vellumo::e2e::kProbeFont;
  }
  const std::wstring name =
      std::wstring(vellumo::e2e::kProbeMemoryPrefix) + std::to_wstring(driverProcessId);
  HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name.c_str());
  if (!mapping) return;
  auto* answer = static_cast<vellumo::e2e::ProbeAnswer*>(
      MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(vellumo::e2e::ProbeAnswer)));
  if (answer) {
    if (query == vellumo::e2e::kProbeFont) DescribeFont(window, answer);
    if (query == vellumo::e2e::kProbeMenu) {
      HMENU menu = GetMenu(window);
      answer->hasMenu = menu != nullptr;
      if (menu) DescribeMenu(menu, 0, answer);
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
    if (call->message == query) {
      Answer(call->hwnd, static_cast<DWORD>(call->wParam), call->lParam);
    } else if (call->message == WM_DESTROY && call->hwnd == watched) {
      Destroyed(call->hwnd);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
