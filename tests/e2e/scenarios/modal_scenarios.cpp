// Scenarios on modality: while the key dialog, one of the program's own message boxes or the
// failure box is up, every other window of the program (the application window, which carries
// the task-bar entry, included) is disabled; the shortcuts, a tool bar click and a close request
// from the task bar do nothing, and activating the task-bar entry brings the modal window forward.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/unicode.h"
#include "tests/e2e/driver/e2e.h"

namespace vellumo::e2e {
namespace {

const std::wstring kOpenCaption = L"開く";
const std::wstring kSaveCaption = L"名前を付けて保存";
constexpr char kBefore[] = "before\r\n";

HWND ApplicationWindow(const App& app) {
  return WaitForValue<HWND>("the application window", [&]() -> std::optional<HWND> {
    const auto found = TopWindows(app.Id(), {.className = L"TApplication", .visibleOnly = false});
    if (found.empty()) return std::nullopt;
    return found.front();
  });
}

// The dialogs and message boxes the program shows (class "#32770").
std::vector<HWND> ShownDialogs(const App& app) {
  return TopWindows(app.Id(), {.className = L"#32770"});
}

// A modal window that is up, the control of it that holds the focus, and how to end it.
struct Modal {
  HWND window = nullptr;
  HWND focus = nullptr;
  void (*end)(const Editor&, HWND window) = nullptr;
};

}  // namespace

// Each modal window the program shows, with the document a file that a save would overwrite. While
// it is up: every other shown window of the program and the application window are disabled;
// Ctrl+S, Ctrl+O and Ctrl+K, clicks on the tool bar's save and open buttons, and Close on the
// task-bar entry (WM_SYSCOMMAND SC_CLOSE to the application window) change nothing; activating
// the task-bar entry from another program brings the modal window forward. Once it is closed the
// program runs on with its windows enabled and the file as it was.
E2E_SCENARIO(modal_windows_keep_commands_out, "") {
  const struct {
    const char* name;
    bool missingFile;  // started on a file that does not exist, whose open fails
    Modal (*open)(const Editor&);
  } cases[] = {
      {"the key dialog of a save", false,
       [](const Editor& e) {
         PressKeys(e.memo, {VK_CONTROL, 'S'});
         const KeyDialog d = WaitKeyDialog(e.app);
         return Modal{d.window, d.field, [](const Editor& e, HWND) { CancelKey(e.app); }};
       }},
      {"the empty-key warning over the key dialog", false,
       [](const Editor& e) {
         PressKeys(e.memo, {VK_CONTROL, 'S'});
         const KeyDialog d = WaitKeyDialog(e.app);
         ClickButton(d.ok);
         HWND box = WaitDialog(e.app, kWarningCaption);
         return Modal{box, FocusOf(box), [](const Editor& e, HWND box) {
                        ClickButton(WaitChild(box, {.id = kBoxCancelId}));
                        WaitGone(box);
                        CancelKey(e.app);
                      }};
       }},
      {"the save dialog", false,
       [](const Editor& e) {
         PostCommand(e.main, kFileSaveAsId);
         HWND d = WaitDialog(e.app, kSaveCaption);
         WaitFor("the focus in the save dialog", [&] { return IsChild(d, FocusOf(d)) != FALSE; });
         return Modal{d, FocusOf(d), [](const Editor&, HWND d) {
                        ClickButton(WaitChild(d, {.className = L"Button", .id = IDCANCEL}));
                        WaitGone(d);
                      }};
       }},
      {"the failure box of the start-up open", true,
       [](const Editor& e) {
         HWND box = WaitDialog(e.app, kFailureCaption);
         return Modal{box, FocusOf(box), [](const Editor&, HWND box) {
                        ClickButton(WaitChild(box, {.className = L"Button", .id = IDOK}));
                        WaitGone(box);
                      }};
       }},
  };
  const std::wstring folder = ScenarioFolder();
  bool first = true;
  for (const auto& c : cases) {
    const std::string what = c.name;
    const std::wstring doc = folder + (c.missingFile ? L"ない.txt" : L"doc.txt");
    DeleteFileW(doc.c_str());
    if (!c.missingFile) WriteFileBytes(doc, kBefore);
    Editor editor = StartEditor(QuoteArgument(doc));
    if (!c.missingFile) {
      WaitText(editor.memo, L"before\r\n");
      FocusOn(editor.memo);
    }
    const HWND application = ApplicationWindow(editor.app);
    const Modal modal = c.open(editor);
    const std::vector<HWND> dialogs = ShownDialogs(editor.app);

    CheckEqual(false, IsEnabled(application), what + ": the application window is disabled");
    for (HWND window : TopWindows(editor.app.Id())) {
      if (window == modal.window) continue;
      CheckEqual(false, IsEnabled(window),
                 what + ": the program's window " +
                     WideToUtf8(ClassOf(window) + L" \"" + TextOf(window) + L"\"") +
                     " is disabled");
    }
    if (first) {
      Screenshot("key-dialog-over-disabled-windows");
      first = false;
    }

    for (const WORD letter : {WORD{'S'}, WORD{'O'}, WORD{'K'}}) {
      PressKeys(modal.focus, {VK_CONTROL, letter});
    }
    // Out of the way of the tool bar, which it covers where it first stands.
    const RECT frame = WindowRect(modal.window);
    SetWindowPos(modal.window, nullptr, GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left),
                 GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (const int button : {3, 2}) {
      const POINT point = ToolButtonPoint(editor, button);
      WaitFor(what + ": the tool bar button uncovered", [&] {
        const RECT now = WindowRect(modal.window);
        return PtInRect(&now, point) == FALSE;
      });
      ClickMouse(point);
    }
    PostSystemClose(application);
    SyncPosted(editor.memo);
    Check(editor.app.Running(), what + ": the program still runs after Close on the task bar");
    CheckEqual(dialogs, ShownDialogs(editor.app),
               what + ": no file dialog, key dialog or box came up");
    Check(IsShown(modal.window), what + ": the modal window stays up");

    // Another program comes to the front; activating the task-bar entry then brings the modal
    // window forward, as a click on the task-bar button does.
    {
      App other = Launch(FixtureExe());
      HWND otherMain = WaitTopWindow(other, {.className = L"VellumoE2EFixture"});
      FocusOn(WaitChild(otherMain, {.className = L"Edit"}));
      SetForegroundWindow(application);
      WaitFor(what + ": the modal window in front",
              [&] { return GetForegroundWindow() == modal.window; });
      PostClose(otherMain);
      other.WaitExit();
    }

    modal.end(editor, modal.window);
    SyncPosted(editor.memo);
    Check(ShownDialogs(editor.app).empty(), what + ": nothing follows the modal window");
    CheckEqual(true, IsEnabled(application), what + ": the application window is enabled again");
    CheckEqual(true, IsEnabled(editor.main), what + ": the main window is enabled again");
    CheckEqual(c.missingFile ? std::nullopt : std::optional<std::string>(kBefore),
               ReadFileBytes(doc), what + ": the file is as it was");
    CloseEditor(editor);
  }
}

}  // namespace vellumo::e2e

namespace vellumo::e2e {

// Moved to a monitor of another DPI (WM_DPICHANGED, delivered from inside the program), the key
// dialog and the warning box over it lay themselves out again for that DPI: fonts, controls and
// client size. (The box used to keep its first layout.)
E2E_SCENARIO(modal_windows_follow_a_dpi_change, "") {
  constexpr int kNewDpi = 144;
  const auto scaled = [](int pixels) { return MulDiv(pixels, kNewDpi, 96); };
  Editor editor = StartOnNewDocument();
  TypeText(editor.memo, L"移動");
  WaitText(editor.memo, L"移動");
  SelectText(editor.memo);
  PressKeys(editor.memo, {VK_CONTROL, 'C'});
  const KeyDialog dialog = WaitKeyDialog(editor.app);
  ProbeAfterDpiChange(dialog.window, kNewDpi);
  // Sized for a client area of 370 x 143 at 144 DPI. (Wine keeps drawing the frame at the
  // system's DPI, so the client area itself comes out higher here.)
  RECT frame{0, 0, scaled(370), scaled(143)};
  AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongW(dialog.window, GWL_STYLE)),
                           FALSE, static_cast<DWORD>(GetWindowLongW(dialog.window, GWL_EXSTYLE)),
                           kNewDpi);
  const RECT outer = WindowRect(dialog.window);
  CheckEqual(SIZE{frame.right - frame.left, frame.bottom - frame.top},
             SIZE{outer.right - outer.left, outer.bottom - outer.top}, "key dialog: frame size");
  CheckEqual(RECT{scaled(192), scaled(112), scaled(192 + 77), scaled(112 + 21)},
             RectInParent(dialog.ok), "key dialog: O.K.");
  CheckEqual(-scaled(12), static_cast<int>(FontOf(dialog.field).height),
             "key dialog: the field's character height");

  Screenshot("key-dialog-after-dpi-change");
  ClickButton(dialog.ok);  // with the field empty: the warning
  HWND box = WaitDialog(editor.app, kWarningCaption);
  const SIZE before = ClientSize(box);
  ProbeAfterDpiChange(box, kNewDpi);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (Check(SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                       kNewDpi) != FALSE,
            "the system's message font at 144 DPI")) {
    for (HWND control : ChildWindows(box, {.className = L"Button"})) {
      CheckEqual(metrics.lfMessageFont.lfHeight, FontOf(control).height,
                 "warning box: a button's font");
    }
    CheckEqual(metrics.lfMessageFont.lfHeight,
               FontOf(WaitChild(box, {.className = L"Static",
                                      .text = L"「鍵」がありません。\r\n"
                                              L"（テキストは暗号化も解読も"
                                              L"されません。）"}))
                   .height,
               "warning box: the text's font");
  }
  HWND ok = WaitChild(box, {.id = kBoxOkId});
  const RECT button = RectInParent(ok);
  CheckEqual(scaled(23), static_cast<int>(button.bottom - button.top),
             "warning box: button height");
  Check(button.right - button.left >= scaled(75), "warning box: button width at least the minimum");
  const SIZE after = ClientSize(box);
  Check(after.cx > before.cx && after.cy > before.cy, "warning box: the box grew with the DPI");
  CheckBoxLook(box,
               {L"「鍵」がありません。\r\n（テキストは暗号化も解読もされません。）",
                {L"OK", L"キャンセル"},
                kBoxOkId},
               "warning box after the change");
  Screenshot("warning-after-dpi-change");
  ClickButton(WaitChild(box, {.id = kBoxCancelId}));
  WaitGone(box);
  CancelKey(editor.app);
  CloseEditor(editor);
}

}  // namespace vellumo::e2e
