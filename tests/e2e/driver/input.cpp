#include "tests/e2e/driver/input.h"

#include <optional>
#include <vector>

#include "platform/win32/unicode.h"
#include "tests/e2e/driver/scenario.h"
#include "tests/e2e/driver/window.h"

namespace vellumo::e2e {
namespace {

bool IsExtended(WORD key) {
  switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_INSERT:
    case VK_DELETE:
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_APPS:
      return true;
    default:
      return false;
  }
}

INPUT KeyInput(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtended(key) ? KEYEVENTF_EXTENDEDKEY : 0);
  return input;
}

void SendAll(std::vector<INPUT>& inputs, std::string_view what) {
  const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (sent != inputs.size()) {
    Abort("SendInput sent " + std::to_string(sent) + " of " + std::to_string(inputs.size()) +
          " events for " + std::string(what) + " (error " + std::to_string(GetLastError()) + ")");
  }
}

void RequireFocus(HWND focus) {
  SetForegroundWindow(GetAncestor(focus, GA_ROOT));
  WaitFocus(focus);
  HWND foreground = GetForegroundWindow();
  if (GetWindowThreadProcessId(foreground, nullptr) != GetWindowThreadProcessId(focus, nullptr)) {
    Abort("the foreground window belongs to another thread than the focus window");
  }
}

std::string KeyName(WORD key) {
  wchar_t name[64] = L"";
  const LONG scan = static_cast<LONG>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  GetKeyNameTextW((scan << 16) | (IsExtended(key) ? 1 << 24 : 0), name, 64);
  return name[0] ? WideToUtf8(name) : "key " + std::to_string(key);
}

}  // namespace

void FocusOn(HWND window) {
  HWND root = GetAncestor(window, GA_ROOT);
  SetForegroundWindow(root);
  if (PollUntil([&] { return FocusOf(window) == window; }, Millis(500))) return;
  // SetFocus works only on the input state of one's own thread: share the target's for a
  // moment. This is a test device; the program itself is never changed.
  const DWORD target = GetWindowThreadProcessId(window, nullptr);
  const DWORD self = GetCurrentThreadId();
  if (AttachThreadInput(self, target, TRUE)) {
    SetFocus(window);
    AttachThreadInput(self, target, FALSE);
  }
  WaitFocus(window);
}

void PressKeys(HWND focus, std::initializer_list<WORD> chord) {
  RequireFocus(focus);
  std::vector<INPUT> inputs;
  std::string name;
  for (const WORD key : chord) {
    inputs.push_back(KeyInput(key, false));
    name += (name.empty() ? "" : "+") + KeyName(key);
  }
  for (auto key = std::rbegin(chord); key != std::rend(chord); ++key) {
    inputs.push_back(KeyInput(*key, true));
  }
  Trace("keys " + name);
  SendAll(inputs, name);
}

void TypeText(HWND focus, std::wstring_view text) {
  RequireFocus(focus);
  std::vector<INPUT> inputs;
  for (const wchar_t c : text) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = c;
    input.ki.dwFlags = KEYEVENTF_UNICODE;
    inputs.push_back(input);
    input.ki.dwFlags |= KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  Trace("type \"" + WideToUtf8(text) + "\"");
  SendAll(inputs, "text");
}

namespace {

INPUT MouseInput(POINT screen, DWORD flags) {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  // Absolute coordinates run from 0 to 65535 across the virtual screen; aim at the pixel's middle.
  input.mi.dx = static_cast<LONG>(((screen.x - left) * 65536LL + 32768) / width);
  input.mi.dy = static_cast<LONG>(((screen.y - top) * 65536LL + 32768) / height);
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
  return input;
}

// Where the last SettleMouse left the pointer at rest; cleared by every other move.
std::optional<POINT> restingAt;

bool RestsAt(POINT screen) {
  POINT at{};
  return restingAt && *restingAt == screen && GetCursorPos(&at) && at == screen;
}

}  // namespace

void MoveMouse(POINT screen) {
  restingAt.reset();
  std::vector<INPUT> inputs{MouseInput(screen, MOUSEEVENTF_MOVE)};
  Trace("mouse to " + Describe(screen));
  SendAll(inputs, "a mouse move");
  WaitFor("the mouse pointer at " + Describe(screen), [&] {
    POINT at{};
    return GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
  });
}

void SettleMouse(POINT screen) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    MoveMouse(screen);
    const bool wentBack = PollUntil(
        [&] {
          POINT now{};
          return GetCursorPos(&now) && !(now == screen);
        },
        Millis(150));
    if (!wentBack) {
      restingAt = screen;
      return;
    }
    Trace("the pointer went back; moving it again");
  }
  Abort("the mouse pointer does not stay at " + Describe(screen));
}

void ClickMouse(POINT screen) {
  if (!RestsAt(screen)) SettleMouse(screen);
  std::vector<INPUT> inputs{MouseInput(screen, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN),
                            MouseInput(screen, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP)};
  Trace("mouse click at " + Describe(screen));
  SendAll(inputs, "a mouse click");
}

}  // namespace vellumo::e2e
