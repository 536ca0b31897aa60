#include "editor/win32/main_window.h"

#include <windows.h>

#include <commctrl.h>
#include <windowsx.h>

#include "app/win32/application.h"
#include "app/win32/failure_display.h"
#include "platform/win32/unicode.h"
#include "resources/resource_ids.h"

namespace vellumo::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TMainForm";
constexpr UINT kFormActivateMessage = WM_APP + 1;
constexpr UINT kFilesDroppedMessage = WM_APP + 2;
constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kHideTimer = 2;
// A key message's context code: Alt was down when the key was pressed.
constexpr LPARAM kAltDownFlag = LPARAM{1} << 29;

// The window's frame at 96 DPI: outer corner and size.
constexpr int kLeft = 226;
constexpr int kTop = 121;
constexpr int kWidth = 480;
constexpr int kHeight = 320;

// Tooltip control numbers: buttons are 1 to 8, the bar itself this.
constexpr ControlId kSpeedBarControl = 100;

constexpr int kPictures[] = {IDB_NEW, IDB_OPEN, IDB_SAVE,  IDB_UNDO,
                             IDB_CUT, IDB_COPY, IDB_PASTE, IDB_ABOUT};

bool OwnedByThisThread(HWND hwnd) {
  return hwnd && GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId();
}

}  // namespace

MainWindow::MainWindow() {
  Application& app = Application::Instance();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = app.InstanceHandle();
  wc.hIcon = LoadIconW(app.InstanceHandle(), MAKEINTRESOURCEW(IDI_VELLUMO));
  wc.hIconSm = static_cast<HICON>(LoadImageW(app.InstanceHandle(), MAKEINTRESOURCEW(IDI_VELLUMO),
                                             IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
  const UINT dpi = DpiOf(nullptr);
  hwnd_ = CreateWindowExW(0, kClassName, L"MainForm", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                          Scale(kLeft, dpi), Scale(kTop, dpi), Scale(kWidth, dpi),
                          Scale(kHeight, dpi), app.Handle(), nullptr, app.InstanceHandle(), this);
  // Scaled up on a small screen, the frame is moved back onto the monitor rather than cut off.
  PlaceAtDesignPosition(hwnd_, kLeft, kTop, hwnd_);
  memo_ = std::make_unique<Memo>(hwnd_);
  // The layout gives the edit area one empty line until the first activation fills it.
  SetWindowTextW(memo_->Handle(), L"");
  statusLine_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0,
                                0, 0, 0, hwnd_, nullptr, app.InstanceHandle(), nullptr);
  SendMessageW(statusLine_, SB_SIMPLE, TRUE, 0);
  app.SetMainWindow(hwnd_);
  app.SetMessageHook([this](const MSG& msg) { return PreTranslate(msg); });
  app.SetIdleHook([this] { Idle(); });
}

MainWindow::~MainWindow() {
  Application::Instance().SetMessageHook({});
  Application::Instance().SetIdleHook({});
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

void MainWindow::Bind(TMainForm& form, HintState& hints) {
  form_ = &form;
  hints_ = &hints;
  std::vector<SpeedBar::Button> buttons;
  for (const CommandItem* item : ToolButtons()) {
    buttons.push_back({item->buttonLeft, kPictures[item->button - 1], item->buttonHint,
                       [this, item](const void* sender) { Run(*item, sender); }});
  }
  speedBar_ = std::make_unique<SpeedBar>(hwnd_, std::move(buttons));
  BuildMenu();
  ApplyDpi(DpiOf(hwnd_));
  // The drop only takes the paths: the file is opened (perhaps asking for the key) after the
  // dragging program has been let go.
  dropTarget_ = std::make_unique<DropTarget>(hwnd_, [this](std::vector<std::wstring> paths) {
    droppedFiles_.clear();
    for (const std::wstring& path : paths)
      droppedFiles_.push_back(WideToUtf8(path));
    PostMessageW(hwnd_, kFilesDroppedMessage, 0, 0);
  });
  form.FormCreate(this);
}

void MainWindow::OpenDroppedFiles() {
  std::vector<std::string> paths = std::move(droppedFiles_);
  droppedFiles_.clear();
  // Refused while a modal window is up, also when one came up after the drop.
  if (paths.empty() || !form_ || !IsWindowEnabled(hwnd_)) return;
  Act(tracker_.Cancel());
  SetForegroundWindow(hwnd_);
  Guard([&] { form_->FilesDropped(paths, this); });
}

void MainWindow::BuildMenu() {
  menu_ = CreateMenu();
  for (const MenuHead& head : MenuHeads()) {
    HMENU popup = CreatePopupMenu();
    for (const CommandItem& item : Commands()) {
      if (item.menu != head.menu) continue;
      if (item.IsSeparator()) {
        AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        continue;
      }
      std::string text = item.caption;
      const std::string shortcut = item.ShortcutText();
      if (!shortcut.empty()) text += "\t" + shortcut;
      AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(item.id), Utf8ToWide(text).c_str());
    }
    AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                Utf8ToWide(head.caption).c_str());
  }
  SetMenu(hwnd_, menu_);
}

void MainWindow::ApplyDpi(UINT dpi) {
  dpi_ = dpi;
  memo_->SetDpi(dpi);
  if (speedBar_) speedBar_->SetDpi(dpi);
  Layout();
}

void MainWindow::Layout() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  SendMessageW(statusLine_, WM_SIZE, 0, 0);
  RECT status{};
  GetWindowRect(statusLine_, &status);
  const int statusHeight = status.bottom - status.top;
  const int barHeight = SpeedBar::Height(dpi_);
  if (speedBar_) MoveWindow(speedBar_->Handle(), 0, 0, client.right, barHeight, TRUE);
  MoveWindow(memo_->Handle(), 0, barHeight, client.right,
             std::max(0, static_cast<int>(client.bottom) - barHeight - statusHeight), TRUE);
}

void MainWindow::SetCaption(const std::string& caption) {
  SetWindowTextW(hwnd_, Utf8ToWide(caption).c_str());
}

void MainWindow::SetStatusText(const std::string& text) {
  SendMessageW(statusLine_, SB_SETTEXTW, SB_SIMPLEID,
               reinterpret_cast<LPARAM>(Utf8ToWide(text).c_str()));
}

void MainWindow::Close() {
  PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void MainWindow::Run(const CommandItem& item, const void* sender) {
  Act(tracker_.Cancel());
  if (form_) Guard([&] { RunCommand(*form_, item, sender); });
}

bool MainWindow::PreTranslate(const MSG& msg) {
  if (!OwnedByThisThread(msg.hwnd)) return false;
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      Act(tracker_.Cancel());
      if (!form_ || !IsWindowEnabled(hwnd_) || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) {
        return false;
      }
      // Menu shortcuts come before the control with the focus sees the key.
      const bool shift = GetKeyState(VK_SHIFT) < 0;
      const bool ctrl = GetKeyState(VK_CONTROL) < 0;
      const bool alt = (msg.lParam & kAltDownFlag) != 0;
      if (const CommandItem* item =
              FindShortcut(ShortcutCode(static_cast<unsigned>(msg.wParam), shift, ctrl, alt))) {
        Run(*item, item);
        return true;
      }
      // Tab is not the edit area's: it moves the focus to the window's next control that takes
      // it, and the edit area is the only one, so the focus stays.
      if (msg.wParam == VK_TAB && msg.hwnd == memo_->Handle() && !ctrl && !alt) return true;
      return false;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_MOUSEWHEEL:
    case WM_NCMOUSEMOVE:  // over a window frame
      Act(tracker_.Cancel());
      return false;
    case WM_MOUSEMOVE: {
      POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
      ClientToScreen(msg.hwnd, &p);
      Act(tracker_.MouseMove(HintControlAt(p)), p);
      return false;
    }
    default:
      return false;
  }
}

std::optional<ControlId> MainWindow::HintControlAt(POINT screen) const {
  if (!speedBar_) return std::nullopt;
  HWND under = WindowFromPoint(screen);
  if (under != speedBar_->Handle()) return std::nullopt;
  ScreenToClient(under, &screen);
  const int index = speedBar_->ButtonAt(screen);
  return index >= 0 ? ControlId{index + 1} : kSpeedBarControl;
}

std::vector<std::string_view> MainWindow::HintChainAt(POINT screen) const {
  std::vector<std::string_view> chain;
  HWND under = WindowFromPoint(screen);
  if (!OwnedByThisThread(under) || under == tooltip_.Handle()) return chain;
  if (speedBar_ && under == speedBar_->Handle()) {
    POINT client = screen;
    ScreenToClient(under, &client);
    const int index = speedBar_->ButtonAt(client);
    if (index >= 0) chain.push_back(speedBar_->ButtonInfo(index).hint);
  }
  // The bar, the edit area, the status line, the window and the program's other windows have
  // empty hints.
  chain.push_back(std::string_view());
  return chain;
}

void MainWindow::Idle() {
  if (!hints_) return;
  POINT p{};
  GetCursorPos(&p);
  const auto chain = HintChainAt(p);
  if (chain.empty()) Act(tracker_.Cancel());
  hints_->SetCurrentHint(IdleHint(chain));
}

void MainWindow::Act(const TooltipAction& action, std::optional<POINT> pointer) {
  switch (action.kind) {
    case TooltipAction::Kind::None:
      return;
    case TooltipAction::Kind::StartTimer:
      tooltip_.Hide();
      KillTimer(hwnd_, kHideTimer);
      if (action.delayMs == 0) {
        KillTimer(hwnd_, kShowTimer);
        // At once, for the place of the move being handled: the system's pointer position may
        // not have caught up with it yet.
        ShowTimerFired(pointer);
      } else {
        SetTimer(hwnd_, kShowTimer, static_cast<UINT>(action.delayMs), nullptr);
      }
      return;
    case TooltipAction::Kind::Show:
      KillTimer(hwnd_, kShowTimer);
      tooltip_.ShowBelowPointer(action.text, pointer);
      SetTimer(hwnd_, kHideTimer, kTooltipHideDelayMs, nullptr);
      return;
    case TooltipAction::Kind::Hide:
      KillTimer(hwnd_, kShowTimer);
      KillTimer(hwnd_, kHideTimer);
      tooltip_.Hide();
      return;
  }
}

void MainWindow::ShowTimerFired(std::optional<POINT> pointer) {
  POINT p{};
  if (pointer) {
    p = *pointer;
  } else {
    GetCursorPos(&p);
  }
  DWORD process = 0;
  GetWindowThreadProcessId(GetForegroundWindow(), &process);
  const auto chain = HintChainAt(p);
  Act(tracker_.ShowTimerFired(process == GetCurrentProcessId(), HintControlAt(p), chain), p);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = WindowObject<MainWindow>(hwnd, message, lParam);
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCCREATE) self->hwnd_ = hwnd;
  return Guard([&] { return self->HandleMessage(message, wParam, lParam); }, LRESULT{0});
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        if (!activated_) {
          activated_ = true;
          // Posted messages come before input, so the start-up open runs before anything typed.
          PostMessageW(hwnd_, kFormActivateMessage, 0, 0);
        }
        SetFocus(memo_->Handle());
        return 0;
      }
      break;
    case WM_ACTIVATEAPP:
      Act(tracker_.Cancel());
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
      if (HIWORD(wParam) == 0 && lParam == 0) {  // a menu item
        if (const CommandItem* item = FindCommand(static_cast<CommandId>(LOWORD(wParam)))) {
          Run(*item, item);
        }
        return 0;
      }
      break;
    case WM_MENUSELECT: {
      if (!hints_) break;
      const UINT flags = HIWORD(wParam);
      if (flags == 0xFFFF && lParam == 0) {  // the menu closed
        hints_->SetCurrentHint("");
      } else if (flags & (MF_POPUP | MF_SEPARATOR)) {
        hints_->SetCurrentHint("");
      } else {
        hints_->SetCurrentHint(MenuHint(static_cast<CommandId>(LOWORD(wParam))));
      }
      return 0;
    }
    case WM_UNINITMENUPOPUP:  // a menu closed; at most its head stays highlighted
    case WM_EXITMENULOOP:
      if (hints_) hints_->SetCurrentHint("");
      break;
    case WM_TIMER:
      if (wParam == kShowTimer) {
        KillTimer(hwnd_, kShowTimer);
        ShowTimerFired();
        return 0;
      }
      if (wParam == kHideTimer) {
        KillTimer(hwnd_, kHideTimer);
        Act(tracker_.HideTimerFired());
        return 0;
      }
      break;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_DPICHANGED: {
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      ApplyDpi(HIWORD(wParam));
      return 0;
    }
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        Application::Instance().Minimize();
        return 0;
      }
      break;
    case WM_DESTROY:
      dropTarget_.reset();  // unregistered while the window still exists
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace vellumo::win32
