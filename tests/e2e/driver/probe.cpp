#include "tests/e2e/driver/probe.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/win32/unicode.h"
#include "tests/e2e/driver/process.h"
#include "tests/e2e/driver/scenario.h"
#include "tests/e2e/driver/window.h"
#include "tests/e2e/probe/probe_protocol.h"

namespace vellumo::e2e {
namespace {

HOOKPROC ProbeHook(HMODULE& module) {
  static HMODULE loaded = LoadLibraryW(BuildPath(L"tests/e2e/e2e_probe.dll").c_str());
  if (!loaded) Abort("cannot load e2e_probe.dll (error " + std::to_string(GetLastError()) + ")");
  module = loaded;
  return reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void*>(GetProcAddress(loaded, kProbeHookName)));
}

class Mapping {
 public:
  Mapping() {
    const std::wstring name = kProbeMemoryPrefix + std::to_wstring(GetCurrentProcessId());
    handle_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                 sizeof(ProbeAnswer), name.c_str());
    if (!handle_) Abort("cannot create the probe's shared memory");
    view_ = static_cast<ProbeAnswer*>(
        MapViewOfFile(handle_, FILE_MAP_WRITE, 0, 0, sizeof(ProbeAnswer)));
    if (!view_) {
      CloseHandle(handle_);
      Abort("cannot map the probe's shared memory");
    }
  }
  ~Mapping() {
    if (view_) UnmapViewOfFile(view_);
    CloseHandle(handle_);
  }
  Mapping(const Mapping&) = delete;
  Mapping& operator=(const Mapping&) = delete;
  ProbeAnswer* operator->() { return view_; }
  const ProbeAnswer& operator*() const { return *view_; }
  void Clear() { std::memset(view_, 0, sizeof(ProbeAnswer)); }

 private:
  HANDLE handle_ = nullptr;
  ProbeAnswer* view_ = nullptr;
};

class Hook {
 public:
  explicit Hook(HWND window) {
    HMODULE module = nullptr;
    HOOKPROC proc = ProbeHook(module);
    hook_ =
        SetWindowsHookExW(WH_CALLWNDPROC, proc, module, GetWindowThreadProcessId(window, nullptr));
    if (!hook_) Abort("cannot hook the window (error " + std::to_string(GetLastError()) + ")");
  }
  ~Hook() { UnhookWindowsHookEx(hook_); }
  Hook(const Hook&) = delete;
  Hook& operator=(const Hook&) = delete;

 private:
  HHOOK hook_ = nullptr;
};

// Asks the probe inside `window`'s process and hands back its answer.
std::unique_ptr<ProbeAnswer> Ask(HWND window, LPARAM query) {
  static const UINT message = RegisterWindowMessageW(kProbeMessage);
  Mapping answer;
  answer.Clear();
  {
    Hook hook(window);
    Send(window, message, GetCurrentProcessId(), query);
  }
  if (answer->answered != 1) Abort("the probe did not answer inside the program under test");
  return std::make_unique<ProbeAnswer>(*answer);
}

ProbeResult ResultOf(const ProbeAnswer* answer) {
  ProbeResult result;
  const LOGFONTW& font = answer->logFont;
  result.font = FontInfo{
      answer->hasOwnFont != FALSE, font.lfFaceName, font.lfHeight,     font.lfWeight,
      font.lfItalic != 0,          font.lfCharSet,  answer->drawnFace, answer->drawnHeight};
  result.windowDpi = answer->windowDpi;
  result.awareness = answer->awareness;
  return result;
}

}  // namespace

ProbeResult Probe(HWND window) {
  return ResultOf(Ask(window, kProbeFont).get());
}

ProbeResult ProbeAfterDpiChange(HWND window, UINT dpi) {
  return ResultOf(Ask(window, ProbeQueryWith(kProbeDpiChanged, dpi)).get());
}

DestroyWatch::DestroyWatch(HWND window) {
  const std::wstring name = kProbeWatchMemoryPrefix + std::to_wstring(GetCurrentProcessId());
  mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                sizeof(ProbeDestroyWatch), name.c_str());
  if (!mapping_) Abort("cannot create the probe's shared memory for a watch");
  view_ = MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, sizeof(ProbeDestroyWatch));
  if (!view_) {
    CloseHandle(mapping_);
    Abort("cannot map the probe's shared memory for a watch");
  }
  std::memset(view_, 0, sizeof(ProbeDestroyWatch));
  HMODULE module = nullptr;
  HOOKPROC proc = ProbeHook(module);
  hook_ =
      SetWindowsHookExW(WH_CALLWNDPROC, proc, module, GetWindowThreadProcessId(window, nullptr));
  if (!hook_) {
    UnmapViewOfFile(view_);
    CloseHandle(mapping_);
    Abort("cannot hook the window (error " + std::to_string(GetLastError()) + ")");
  }
  static const UINT message = RegisterWindowMessageW(kProbeMessage);
  Send(window, message, GetCurrentProcessId(), kProbeWatchDestroy);
  if (static_cast<const ProbeDestroyWatch*>(view_)->armed != 1) {
    Abort("the probe does not watch the window");
  }
}

DestroyWatch::~DestroyWatch() {
  UnhookWindowsHookEx(hook_);
  UnmapViewOfFile(view_);
  CloseHandle(mapping_);
}

std::optional<int> DestroyWatch::TextLengthAtDestroy() const {
  const auto* watch = static_cast<const ProbeDestroyWatch*>(view_);
  if (InterlockedCompareExchange(const_cast<LONG*>(&watch->destroyed), 0, 0) != 1) {
    return std::nullopt;
  }
  return static_cast<int>(watch->textLength);
}

std::vector<MenuItem> MenuOf(HWND window) {
  const auto answer = Ask(window, kProbeMenu);
  if (answer->menuCount > kProbeMaxMenuItems) {
    Abort("the menu has more than " + std::to_string(kProbeMaxMenuItems) + " entries");
  }
  std::vector<MenuItem> items;
  for (LONG i = 0; i < answer->menuCount; ++i) {
    const ProbeMenuItem& entry = answer->menu[i];
    items.push_back(MenuItem{static_cast<int>(entry.depth), entry.id, entry.text,
                             (entry.type & MFT_SEPARATOR) != 0, entry.hasSubmenu != FALSE,
                             (entry.state & (MFS_DISABLED | MFS_GRAYED)) != 0,
                             (entry.state & MFS_CHECKED) != 0});
  }
  return items;
}

UINT ScreenDpi() {
  return GetDpiForSystem();
}

UINT ExpectedDpi() {
  const char* text = std::getenv("E2E_DPI");
  return text && std::atoi(text) > 0 ? static_cast<UINT>(std::atoi(text)) : 96;
}

int Scaled96(int pixels) {
  return MulDiv(pixels, static_cast<int>(ExpectedDpi()), 96);
}

}  // namespace vellumo::e2e
