// Windows of the programs under test: finding top-level windows and child controls, waiting
// for their state, reading texts and positions, and posting the commands a user would cause.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/e2e/driver/process.h"
#include "tests/e2e/driver/wait.h"

namespace vellumo::e2e {

// What to look for. Empty strings match anything; `id` -1 matches any control ID.
struct WindowSpec {
  std::wstring className;
  std::wstring text;
  int id = -1;
  bool visibleOnly = true;
};

// Top-level windows of a process (all processes when processId is 0), in Z order, owned
// windows (message boxes, dialogs, tooltips, file dialogs) included.
std::vector<HWND> TopWindows(DWORD processId, const WindowSpec& wanted = {});
// All descendants of `parent`, depth first.
std::vector<HWND> ChildWindows(HWND parent, const WindowSpec& wanted = {});

HWND FindTopWindow(const App& app, const WindowSpec& wanted);  // nullptr when none
HWND FindChild(HWND parent, const WindowSpec& wanted);         // nullptr when none

// Waits for a visible top-level window of `app` matching `wanted` and returns it.
HWND WaitTopWindow(const App& app, const WindowSpec& wanted, Millis limit = kDefaultTimeout,
                   Where where = Where::current());
// Waits for a child control of `parent` matching `wanted` and returns it.
HWND WaitChild(HWND parent, const WindowSpec& wanted, Millis limit = kDefaultTimeout,
               Where where = Where::current());
// A message box or dialog of `app` (class "#32770") with this caption.
HWND WaitDialog(const App& app, std::wstring_view caption, Millis limit = kDefaultTimeout,
                Where where = Where::current());
// Whether `app` shows a dialog or message box (class "#32770") with this caption, or any one when
// the caption is empty.
bool DialogShown(const App& app, std::wstring_view caption = L"");
// Waits until the window is destroyed or hidden.
void WaitGone(HWND window, Millis limit = kDefaultTimeout, Where where = Where::current());
void WaitVisible(HWND window, bool visible = true, Millis limit = kDefaultTimeout,
                 Where where = Where::current());
void WaitEnabled(HWND window, bool enabled = true, Millis limit = kDefaultTimeout,
                 Where where = Where::current());
void WaitText(HWND window, std::wstring_view text, Millis limit = kDefaultTimeout,
              Where where = Where::current());
// Waits until the window with the keyboard focus in the window's thread is `window`.
void WaitFocus(HWND window, Millis limit = kDefaultTimeout, Where where = Where::current());

// Reading. Texts come with WM_GETTEXT (marshalled across processes by the system).
std::wstring TextOf(HWND window);
std::wstring ClassOf(HWND window);
int IdOf(HWND window);
bool IsShown(HWND window);  // exists and is visible
bool IsEnabled(HWND window);
RECT WindowRect(HWND window);   // screen coordinates, outer frame
RECT ClientRect(HWND window);   // (0, 0)-(width, height)
RECT RectInParent(HWND child);  // within the parent's client area
SIZE ClientSize(HWND window);
// Screen point of a client point, e.g. the middle of a control for a mouse click.
POINT ClientToScreenPoint(HWND window, POINT client);
POINT CenterOf(HWND window);  // screen coordinates
// The window holding the keyboard focus in `window`'s thread, nullptr when none.
HWND FocusOf(HWND window);
// The thread's active window (the one a modal dialog or message box makes active).
HWND ActiveOf(HWND window);
// The texts of a window's static and button children, in child order: a message box's text
// and its buttons, for instance.
std::vector<std::wstring> StaticTexts(HWND window);
std::vector<std::wstring> ButtonTexts(HWND window);
// An edit control's selection as {start, end}, in characters (EM_GETSEL).
std::vector<int> SelectionOf(HWND edit);

// Sending with a limit: a program that hangs ends the scenario instead of the driver.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
             Millis limit = kDefaultTimeout);
// Waits until the window's thread has handled all messages sent so far.
void Sync(HWND window);
// Waits until the edit control's thread has handled every message posted to it so far: a
// command posted before has then run to its end, or shows a modal window, whose own loop handles
// posted messages too. (Input still queued is not waited for: the system hands out posted
// messages first.) Posts a left margin one pixel wider, which nothing else sets, waits until it
// is in force, then puts the margin back.
void SyncPosted(HWND edit, Where where = Where::current());

// Posted, so that a command that opens a modal window does not block the driver.
void ClickButton(HWND button);      // BM_CLICK
void PostClose(HWND window);        // WM_CLOSE
void PostSystemClose(HWND window);  // WM_SYSCOMMAND SC_CLOSE, as the close box sends it
void PostCommand(HWND window, int id, int notify = 0, HWND control = nullptr);  // WM_COMMAND
void SetText(HWND window, std::wstring_view text);                              // WM_SETTEXT, sent
void SelectText(HWND edit, int start = 0, int end = -1);                        // EM_SETSEL, sent

}  // namespace vellumo::e2e
