#include "editor/win32/main_window.h"

#include <windows.h>

#include <commctrl.h>
#include <windowsx.h>

#include "app/win32/application.h"
#include "app/win32/failure_display.h"
#include "editor/win32/menu_bar.h"
#include "platform/win32/unicode.h"
#include "resources/resource_ids.h"

namespace vellumo::win32 {
namespace {

constexpr UINT kFormActivateMessage = WM_APP + 1;
constexpr UINT kFilesDroppedMessage = WM_APP + 2;
// A key message's context code: Alt was down when the key was pressed.
constexpr LPARAM kAltDownFlag = LPARAM{1} << 29;

// The window's frame at 96 DPI: outer corner and size.
constexpr int kLeft = 226;
constexpr int kTop = 121;
constexpr int kWidth = 480;
constexpr int kHeight = 320;

constexpr int kPictures[] = {IDB_NEW, IDB_OPEN, IDB_SAVE,  IDB_UNDO,
                             IDB_CUT, IDB_COPY, IDB_PASTE, IDB_ABOUT};

bool OwnedByThisThread(HWND hwnd) {
  return hwnd && GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId();
}

}  // namespace

MainWindow::MainWindow() {
  Application& app = Application::Instance();
  const UINT dpi = DpiOf(nullptr);
  Create({.name = L"TMainForm", .background = COLOR_BTNFACE, .programIcon = true}, L"MainForm",
         {.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
          .x = Scale(kLeft, dpi),
          .y = Scale(kTop, dpi),
          .width = Scale(kWidth, dpi),
          .height = Scale(kHeight, dpi),
          .parent = app.Handle()});
  // Scaled up on a small screen, the frame is moved back onto the monitor rather than cut off.
  PlaceAtDesignPosition(Handle(), kLeft, kTop, Handle());
  memo_ = std::make_unique<Memo>(Handle());
  // The layout gives the edit area one empty line until the first activation fills it.
  SetWindowTextW(memo_->Handle(), L"");
  statusLine_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0,
                                0, 0, 0, Handle(), nullptr, app.InstanceHandle(), nullptr);
  SendMessageW(statusLine_, SB_SIMPLE, TRUE, 0);
  app.SetMainWindow(Handle());
  app.SetMessageHook([this](const MSG& msg) { return PreTranslate(msg); });
  app.SetIdleHook([this] { toolHints_.Idle(); });
}

MainWindow::~MainWindow() {
  Application::Instance().SetMessageHook({});
  Application::Instance().SetIdleHook({});
  Destroy();
}

void MainWindow::Bind(TMainForm& form, HintState& hints) {
  form_ = &form;
  hints_ = &hints;
  std::vector<SpeedBar::Button> buttons;
  for (const CommandItem* item : ToolButtons()) {
    buttons.push_back({item->buttonLeft, kPictures[item->button - 1], item->buttonHint,
                       [this, item](const void* sender) { CancelHintsAndRun(*item, sender); }});
  }
  speedBar_ = std::make_unique<SpeedBar>(Handle(), std::move(buttons));
  toolHints_.Attach(Handle(), speedBar_.get(), &hints);
  SetMenu(Handle(), BuildMenuBar());
  ApplyDpi(DpiOf(Handle()));
  // The drop only takes the paths: the file is opened (perhaps asking for the key) after the
  // dragging program has been let go.
  dropTarget_ = std::make_unique<DropTarget>(Handle(), [this](std::vector<std::wstring> paths) {
    droppedFiles_.clear();
    for (const std::wstring& path : paths)
      droppedFiles_.push_back(WideToUtf8(path));
    PostMessageW(Handle(), kFilesDroppedMessage, 0, 0);
  });
  form.FormCreate(this);
}

void MainWindow::SetCaption(const std::string& caption) {
  SetWindowTextW(Handle(), Utf8ToWide(caption).c_str());
}

void MainWindow::SetStatusText(const std::string& text) {
  SendMessageW(statusLine_, SB_SETTEXTW, SB_SIMPLEID,
               reinterpret_cast<LPARAM>(Utf8ToWide(text).c_str()));
}

void MainWindow::Close() {
  PostMessageW(Handle(), WM_CLOSE, 0, 0);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) break;
      Activated();
      return 0;
    case WM_ACTIVATEAPP:
      toolHints_.Cancel();
      break;
    case kFormActivateMessage:
      if (form_) form_->FormActivate(this);
      return 0;
    case kFilesDroppedMessage:
      OpenDroppedFiles();
      return 0;
    case WM_SETFOCUS:
      SetFocus(memo_->Handle());
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) != 0 || lParam != 0) break;  // not a menu item
      MenuCommand(wParam);
      return 0;
    case WM_MENUSELECT:
      if (!hints_) break;
      MenuSelected(wParam, lParam);
      return 0;
    case WM_UNINITMENUPOPUP:  // a menu closed; at most its head stays highlighted
    case WM_EXITMENULOOP:
      if (hints_) hints_->SetCurrentHint("");
      break;
    case WM_TIMER:
      if (toolHints_.TimerFired(wParam)) return 0;
      break;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_DPICHANGED:
      FollowDpiChange(Handle(), wParam, lParam, [this](UINT dpi) { ApplyDpi(dpi); });
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != SC_MINIMIZE) break;
      Application::Instance().Minimize();
      return 0;
    case WM_DESTROY:
      dropTarget_.reset();  // unregistered while the window still exists
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

bool MainWindow::PreTranslate(const MSG& msg) {
  if (!OwnedByThisThread(msg.hwnd)) return false;
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      toolHints_.Cancel();
      return PreTranslateKey(msg);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_MOUSEWHEEL:
    case WM_NCMOUSEMOVE:  // over a window frame
      toolHints_.Cancel();
      return false;
    case WM_MOUSEMOVE: {
      POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
      ClientToScreen(msg.hwnd, &p);
      toolHints_.PointerMoved(p);
      return false;
    }
    default:
      return false;
  }
}

bool MainWindow::PreTranslateKey(const MSG& msg) {
  if (!form_ || !IsWindowEnabled(Handle()) ||
      (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd))) {
    return false;
  }
  // Menu shortcuts come before the control with the focus sees the key. Matched here rather than
  // by an accelerator table, which would send the menus' WM_INITMENU and WM_INITMENUPOPUP first.
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool alt = (msg.lParam & kAltDownFlag) != 0;
  if (const CommandItem* item =
          FindShortcut(ShortcutCode(static_cast<unsigned>(msg.wParam), shift, ctrl, alt))) {
    CancelHintsAndRun(*item, item);
    return true;
  }
  // Tab is not the edit area's: it moves the focus to the window's next control that takes it,
  // and the edit area is the only one, so the focus stays.
  return msg.wParam == VK_TAB && msg.hwnd == memo_->Handle() && !ctrl && !alt;
}

void MainWindow::Activated() {
  if (!activated_) {
    activated_ = true;
    // Posted messages come before input, so the start-up open runs before anything typed.
    PostMessageW(Handle(), kFormActivateMessage, 0, 0);
  }
  SetFocus(memo_->Handle());
}

void MainWindow::MenuCommand(WPARAM wParam) {
  if (const CommandItem* item = FindCommand(static_cast<CommandId>(LOWORD(wParam)))) {
    CancelHintsAndRun(*item, item);
  }
}

void MainWindow::MenuSelected(WPARAM wParam, LPARAM lParam) {
  const UINT flags = HIWORD(wParam);
  if ((flags == 0xFFFF && lParam == 0) || (flags & (MF_POPUP | MF_SEPARATOR))) {
    hints_->SetCurrentHint("");  // the menu closed, or a head or separator is highlighted
  } else {
    hints_->SetCurrentHint(MenuHint(static_cast<CommandId>(LOWORD(wParam))));
  }
}

void MainWindow::OpenDroppedFiles() {
  std::vector<std::string> paths = std::move(droppedFiles_);
  droppedFiles_.clear();
  // Refused while a modal window is up, also when one came up after the drop.
  if (paths.empty() || !form_ || !IsWindowEnabled(Handle())) return;
  toolHints_.Cancel();
  SetForegroundWindow(Handle());
  Guard([&] { form_->FilesDropped(paths, this); });
}

void MainWindow::Layout() {
  RECT client{};
  GetClientRect(Handle(), &client);
  SendMessageW(statusLine_, WM_SIZE, 0, 0);
  RECT status{};
  GetWindowRect(statusLine_, &status);
  const int statusHeight = status.bottom - status.top;
  const int barHeight = SpeedBar::Height(dpi_);
  if (speedBar_) MoveWindow(speedBar_->Handle(), 0, 0, client.right, barHeight, TRUE);
  MoveWindow(memo_->Handle(), 0, barHeight, client.right,
             std::max(0, static_cast<int>(client.bottom) - barHeight - statusHeight), TRUE);
}

void MainWindow::ApplyDpi(UINT dpi) {
  dpi_ = dpi;
  memo_->SetDpi(dpi);
  if (speedBar_) speedBar_->SetDpi(dpi);
  Layout();
}

void MainWindow::CancelHintsAndRun(const CommandItem& item, const void* sender) {
  toolHints_.Cancel();
  if (form_) Guard([&] { RunCommand(*form_, item, sender); });
}

}  // namespace vellumo::win32
