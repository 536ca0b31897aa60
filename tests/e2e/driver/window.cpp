#include "tests/e2e/driver/window.h"

#include "platform/win32/unicode.h"
#include "tests/e2e/driver/scenario.h"

namespace vellumo::e2e {
namespace {

bool Matches(HWND window, const WindowSpec& wanted) {
  if (wanted.visibleOnly && !IsWindowVisible(window)) return false;
  if (wanted.id != -1 && IdOf(window) != wanted.id) return false;
  if (!wanted.className.empty() && ClassOf(window) != wanted.className) return false;
  if (!wanted.text.empty() && TextOf(window) != wanted.text) return false;
  return true;
}

std::string Describe(const WindowSpec& wanted) {
  std::string out = "window";
  if (!wanted.className.empty()) out += " of class " + WideToUtf8(wanted.className);
  if (!wanted.text.empty()) out += " with text \"" + WideToUtf8(wanted.text) + "\"";
  if (wanted.id != -1) out += " with ID " + std::to_string(wanted.id);
  return out;
}

std::string Name(HWND window) {
  return ClassOf(window).empty()
             ? "a destroyed window"
             : WideToUtf8(ClassOf(window)) + " \"" + WideToUtf8(TextOf(window)) + "\"";
}

}  // namespace

std::vector<HWND> TopWindows(DWORD processId, const WindowSpec& wanted) {
  struct Search {
    DWORD processId;
    const WindowSpec* wanted;
    std::vector<HWND> found;
  } search{processId, &wanted, {}};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if ((s.processId == 0 || owner == s.processId) && Matches(window, *s.wanted)) {
          s.found.push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> ChildWindows(HWND parent, const WindowSpec& wanted) {
  struct Search {
    const WindowSpec* wanted;
    std::vector<HWND> found;
  } search{&wanted, {}};
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        if (Matches(window, *s.wanted)) s.found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindTopWindow(const App& app, const WindowSpec& wanted) {
  const auto found = TopWindows(app.Id(), wanted);
  return found.empty() ? nullptr : found.front();
}

HWND FindChild(HWND parent, const WindowSpec& wanted) {
  const auto found = ChildWindows(parent, wanted);
  return found.empty() ? nullptr : found.front();
}

HWND WaitTopWindow(const App& app, const WindowSpec& wanted, Millis limit, Where where) {
  WindowSpec visible = wanted;
  visible.visibleOnly = true;
  HWND found = nullptr;
  WaitFor(
      "a top-level " + Describe(visible) + " of " + WideToUtf8(app.Name()),
      [&] {
        if (!app.Running()) Abort(WideToUtf8(app.Name()) + " ended while awaited", where);
        return (found = FindTopWindow(app, visible)) != nullptr;
      },
      limit, where);
  return found;
}

HWND WaitChild(HWND parent, const WindowSpec& wanted, Millis limit, Where where) {
  HWND found = nullptr;
  WaitFor(
      "a child " + Describe(wanted) + " in " + Name(parent),
      [&] { return (found = FindChild(parent, wanted)) != nullptr; }, limit, where);
  return found;
}

HWND WaitDialog(const App& app, std::wstring_view caption, Millis limit, Where where) {
  return WaitTopWindow(app, {.className = L"#32770", .text = std::wstring(caption)}, limit, where);
}

bool DialogShown(const App& app, std::wstring_view caption) {
  return FindTopWindow(app, {.className = L"#32770", .text = std::wstring(caption)}) != nullptr;
}

void WaitGone(HWND window, Millis limit, Where where) {
  const std::string name = Name(window);
  WaitFor(
      name + " to close", [&] { return !IsShown(window); }, limit, where);
}

void WaitVisible(HWND window, bool visible, Millis limit, Where where) {
  WaitFor(
      Name(window) + (visible ? " to show" : " to hide"),
      [&] { return IsShown(window) == visible; }, limit, where);
}

void WaitEnabled(HWND window, bool enabled, Millis limit, Where where) {
  WaitFor(
      Name(window) + (enabled ? " to be enabled" : " to be disabled"),
      [&] { return IsWindow(window) && IsEnabled(window) == enabled; }, limit, where);
}

void WaitText(HWND window, std::wstring_view text, Millis limit, Where where) {
  std::wstring last;
  if (!PollUntil([&] { return (last = TextOf(window)) == text; }, limit)) {
    Abort("timed out waiting for the text of " + Name(window) +
              "\n  expected: " + e2e::Describe(text) + "\n  actual:   " + e2e::Describe(last),
          where);
  }
}

void WaitFocus(HWND window, Millis limit, Where where) {
  HWND last = nullptr;
  if (!PollUntil([&] { return (last = FocusOf(window)) == window; }, limit)) {
    Abort("timed out waiting for the keyboard focus in " + Name(window) + "; it is in " +
              (last ? Name(last) : std::string("no window")),
          where);
  }
}

std::wstring TextOf(HWND window) {
  const auto limit = static_cast<UINT>(Scaled(kDefaultTimeout).count());
  // The text may change between asking its length and copying it: the buffer holds one
  // character more than the length, and a copy that fills it means the text grew, so ask again.
  for (;;) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, limit, &length)) {
      return L"";
    }
    std::wstring text(length + 2, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, limit, &copied)) {
      return L"";
    }
    if (copied <= length) {
      text.resize(copied);
      return text;
    }
  }
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256];
  const int n = GetClassNameW(window, name, 256);
  return std::wstring(name, n > 0 ? n : 0);
}

int IdOf(HWND window) {
  return static_cast<int>(GetWindowLongPtrW(window, GWLP_ID));
}

bool IsShown(HWND window) {
  return IsWindow(window) && IsWindowVisible(window);
}

bool IsEnabled(HWND window) {
  return IsWindowEnabled(window) != FALSE;
}

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

RECT ClientRect(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return rect;
}

RECT RectInParent(HWND child) {
  RECT rect = WindowRect(child);
  MapWindowPoints(HWND_DESKTOP, GetAncestor(child, GA_PARENT), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

SIZE ClientSize(HWND window) {
  const RECT rect = ClientRect(window);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

POINT ClientToScreenPoint(HWND window, POINT client) {
  ClientToScreen(window, &client);
  return client;
}

POINT CenterOf(HWND window) {
  const RECT rect = WindowRect(window);
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

HWND ActiveOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndActive;
}

std::vector<std::wstring> StaticTexts(HWND window) {
  std::vector<std::wstring> texts;
  for (HWND child : ChildWindows(window, {.className = L"Static"})) {
    if (std::wstring text = TextOf(child); !text.empty()) texts.push_back(text);
  }
  return texts;
}

std::vector<std::wstring> ButtonTexts(HWND window) {
  std::vector<std::wstring> texts;
  for (HWND child : ChildWindows(window, {.className = L"Button"})) {
    texts.push_back(TextOf(child));
  }
  return texts;
}

std::vector<int> SelectionOf(HWND edit) {
  const auto packed = static_cast<DWORD>(Send(edit, EM_GETSEL));
  return {LOWORD(packed), HIWORD(packed)};
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Millis limit) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL,
                           static_cast<UINT>(Scaled(limit).count()), &result)) {
    Abort("message " + std::to_string(message) + " to " + Name(window) +
          " was not handled in time (error " + std::to_string(GetLastError()) + ")");
  }
  return static_cast<LRESULT>(result);
}

void Sync(HWND window) {
  Send(window, WM_NULL);
}

void SyncPosted(HWND edit, Where where) {
  const WORD margin = LOWORD(Send(edit, EM_GETMARGINS));
  const WORD marked = static_cast<WORD>(margin + 1);
  PostMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN, MAKELONG(marked, 0));
  WaitFor(
      "the program to handle what was posted to it",
      [&] { return LOWORD(Send(edit, EM_GETMARGINS)) == marked; }, kDefaultTimeout, where);
  Send(edit, EM_SETMARGINS, EC_LEFTMARGIN, MAKELONG(margin, 0));
}

void ClickButton(HWND button) {
  Trace("click " + Name(button));
  PostMessageW(button, BM_CLICK, 0, 0);
}

void PostClose(HWND window) {
  Trace("close " + Name(window));
  PostMessageW(window, WM_CLOSE, 0, 0);
}

void PostSystemClose(HWND window) {
  Trace("close box of " + Name(window));
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void PostCommand(HWND window, int id, int notify, HWND control) {
  Trace("command " + std::to_string(id) + " to " + Name(window));
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, notify), reinterpret_cast<LPARAM>(control));
}

void SetText(HWND window, std::wstring_view text) {
  const std::wstring copy(text);
  Send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()));
}

void SelectText(HWND edit, int start, int end) {
  Send(edit, EM_SETSEL, start, end);
}

}  // namespace vellumo::e2e
