#include "tests/e2e/driver/input.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/unicode.h"
#include "tests/e2e/driver/scenario.h"
#include "tests/e2e/driver/window.h"
#include "tests/e2e/driver/x_server.h"

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

namespace {

bool IsModifier(WORD key) {
  return key == VK_CONTROL || key == VK_MENU || key == VK_SHIFT;
}

// The X key that Wine maps to this virtual key (a US keyboard, as Xvfb has).
std::string XKeyName(WORD key) {
  if (key >= 'A' && key <= 'Z') return std::string(1, static_cast<char>(key - 'A' + 'a'));
  if (key >= '0' && key <= '9') return std::string(1, static_cast<char>(key));
  if (key >= VK_F1 && key <= VK_F12) return "F" + std::to_string(key - VK_F1 + 1);
  switch (key) {
    case VK_CONTROL:
      return "Control_L";
    case VK_MENU:
      return "Alt_L";
    case VK_SHIFT:
      return "Shift_L";
    case VK_TAB:
      return "Tab";
    case VK_RETURN:
      return "Return";
    case VK_ESCAPE:
      return "Escape";
    case VK_SPACE:
      return "space";
    case VK_BACK:
      return "BackSpace";
    case VK_DELETE:
      return "Delete";
    case VK_INSERT:
      return "Insert";
    case VK_HOME:
      return "Home";
    case VK_END:
      return "End";
    case VK_PRIOR:
      return "Prior";
    case VK_NEXT:
      return "Next";
    case VK_LEFT:
      return "Left";
    case VK_RIGHT:
      return "Right";
    case VK_UP:
      return "Up";
    case VK_DOWN:
      return "Down";
    default:
      Abort("no X key for the virtual key " + std::to_string(key));
  }
}

// Left and right variants as the one key the chords name.
WORD GenericKey(DWORD key) {
  switch (key) {
    case VK_LCONTROL:
    case VK_RCONTROL:
      return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
      return VK_MENU;
    case VK_LSHIFT:
    case VK_RSHIFT:
      return VK_SHIFT;
    default:
      return static_cast<WORD>(key);
  }
}

struct KeyEvent {
  WORD key;
  bool up;
  bool operator==(const KeyEvent&) const = default;
};

std::string DescribeKeys(const std::vector<KeyEvent>& events) {
  std::string out;
  for (const KeyEvent& e : events)
    out += (out.empty() ? "" : " ") + KeyName(e.key) + (e.up ? " up" : " down");
  return out.empty() ? "nothing" : out;
}

// The key events Wine takes from the X server while a chord is pressed there, in the order it
// queues them: a low-level keyboard hook sees each one before it is queued.
std::vector<KeyEvent>* watchedKeys = nullptr;

LRESULT CALLBACK WatchKeys(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && watchedKeys) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (!(key->flags & LLKHF_INJECTED)) {
      watchedKeys->push_back({GenericKey(key->vkCode), (key->flags & LLKHF_UP) != 0});
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class KeyWatch {
 public:
  KeyWatch() : hook_(SetWindowsHookExW(WH_KEYBOARD_LL, WatchKeys, GetModuleHandleW(nullptr), 0)) {
    if (!hook_) Abort("cannot watch the keyboard (error " + std::to_string(GetLastError()) + ")");
    watchedKeys = &events_;
  }
  ~KeyWatch() {
    watchedKeys = nullptr;
    UnhookWindowsHookEx(hook_);
  }
  KeyWatch(const KeyWatch&) = delete;
  KeyWatch& operator=(const KeyWatch&) = delete;
  // Those of the given keys, in order.
  std::vector<KeyEvent> Of(const std::vector<WORD>& keys) const {
    std::vector<KeyEvent> out;
    for (const KeyEvent& e : events_) {
      if (std::find(keys.begin(), keys.end(), e.key) != keys.end()) out.push_back(e);
    }
    return out;
  }

 private:
  HHOOK hook_;
  std::vector<KeyEvent> events_;
};

// Wine re-reads the X keyboard whenever one of its windows gains the X input focus or the pointer
// (KeymapNotify) and overwrites its own key state with what the X server holds down. A modifier
// injected with SendInput is not down on the X server, so such a notification, handled between
// the modifier and the key, drops the modifier: Ctrl+Alt+C arrives as Ctrl+C. Pressed on the X
// keyboard, the modifier is down there too, and the two never disagree.
void PressOnXKeyboard(HWND focus, const std::vector<WORD>& keys, const std::string& name,
                      Where where) {
  HWND root = GetAncestor(focus, GA_ROOT);
  const auto xWindow = reinterpret_cast<std::uintptr_t>(GetPropW(root, L"__wine_x11_whole_window"));
  if (!xWindow) Abort("the window " + WideToUtf8(ClassOf(root)) + " has no X window", where);
  std::string line = "keys " + std::to_string(xWindow);
  for (const WORD key : keys)
    line += " " + XKeyName(key);
  std::vector<KeyEvent> expected;
  for (const WORD key : keys)
    expected.push_back({key, false});
  for (auto key = keys.rbegin(); key != keys.rend(); ++key)
    expected.push_back({*key, true});

  // A chord may end the program (Alt+F4 on its main window) before it has handed Wine the rest.
  DWORD processId = 0;
  GetWindowThreadProcessId(root, &processId);
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  const auto ended = [&] { return process && WaitForSingleObject(process, 0) == WAIT_OBJECT_0; };

  KeyWatch watch;
  Trace("keys " + name + " (X keyboard)");
  const std::string failure =
      RequestFromXServer(line, "the X server to press " + name, Millis(15000), where);
  if (!failure.empty()) {
    if (process) CloseHandle(process);
    Abort("the X server did not press " + name + ": " + failure, where);
  }
  std::vector<KeyEvent> taken;
  PollUntil([&] { return (taken = watch.Of(keys)).size() >= expected.size() || ended(); });
  const bool programEnded = ended();
  if (process) CloseHandle(process);
  const bool inOrder =
      taken.size() <= expected.size() && std::equal(taken.begin(), taken.end(), expected.begin());
  if (!inOrder || (taken.size() < expected.size() && !programEnded)) {
    Abort("Wine took " + name + " from the X keyboard as " + DescribeKeys(taken) + ", not as " +
              DescribeKeys(expected),
          where);
  }
  if (taken.size() < expected.size()) {
    // The program ended with the keys down in Wine's key state: release them there, as the X
    // keyboard has.
    Trace("the program ended during " + name + "; releasing what Wine still holds down");
    std::vector<INPUT> releases;
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
      const bool down = std::count(taken.begin(), taken.end(), KeyEvent{*key, false}) > 0;
      const bool up = std::count(taken.begin(), taken.end(), KeyEvent{*key, true}) > 0;
      if (down && !up) releases.push_back(KeyInput(*key, true));
    }
    if (!releases.empty()) SendAll(releases, "the release of " + name);
  }
}

}  // namespace

void PressKeys(HWND focus, std::initializer_list<WORD> chord, Where where) {
  RequireFocus(focus);
  std::string name;
  for (const WORD key : chord)
    name += (name.empty() ? "" : "+") + KeyName(key);
  if (std::any_of(chord.begin(), chord.end(), IsModifier)) {
    PressOnXKeyboard(focus, std::vector<WORD>(chord), name, where);
    return;
  }
  std::vector<INPUT> inputs;
  for (const WORD key : chord)
    inputs.push_back(KeyInput(key, false));
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

// Where this driver last put the X pointer; unknown at its start.
std::optional<POINT> xPointerAt;

// Whether the newest entry of Wine's pointer history (the positions it took from mouse input,
// newest first) is `screen`. Unlike GetCursorPos, which asks the X server instead once Wine's own
// position is 100 ms old, this is Wine's own record.
bool WineTookPointerAt(POINT screen) {
  MOUSEMOVEPOINT wanted{screen.x, screen.y, 0, 0};
  MOUSEMOVEPOINT history[64];
  // The history is searched from its newest entry for the point; all 64 entries come back when
  // that is where it was found.
  return GetMouseMovePointsEx(sizeof(MOUSEMOVEPOINT), &wanted, history, 64,
                              GMMP_USE_DISPLAY_POINTS) == 64;
}

}  // namespace

void MoveMouse(POINT screen, Where where) {
  if (xPointerAt && *xPointerAt == screen && WineTookPointerAt(screen)) {
    Trace("mouse rests at " + Describe(screen));
    return;
  }
  // Injected moves (SendInput) are no good under Wine: each one warps the X pointer under a
  // pointer grab, and the grab's crossing events carry the pointer's old position to whichever
  // Wine process owns the window it was over, which hands that position back to Wine later,
  // when the new one is already in. A move of the X pointer itself reaches Wine as from a mouse,
  // every event carrying the new position.
  Trace("mouse to " + Describe(screen));
  const std::string failure =
      RequestFromXServer("pointer " + std::to_string(screen.x) + " " + std::to_string(screen.y),
                         "the X server to move the pointer", Millis(15000), where);
  if (!failure.empty()) {
    Abort("the X server did not move the pointer to " + Describe(screen) + ": " + failure, where);
  }
  xPointerAt = screen;
  WaitFor(
      "Wine to take the pointer position " + Describe(screen) + " from the X server",
      [&] {
        POINT at{};
        return WineTookPointerAt(screen) && GetCursorPos(&at) && at == screen;
      },
      kDefaultTimeout, where);
}

void ClickMouse(POINT screen, Where where) {
  MoveMouse(screen, where);
  std::vector<INPUT> inputs(2);
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  Trace("mouse click at " + Describe(screen));
  SendAll(inputs, "a mouse click");
}

}  // namespace vellumo::e2e
