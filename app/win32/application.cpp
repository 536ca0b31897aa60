#include "app/win32/application.h"

#include "app/win32/failure_display.h"

namespace vellumo::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TApplication";

BOOL CALLBACK CollectEnabled(HWND hwnd, LPARAM param) {
  auto* windows = reinterpret_cast<std::vector<HWND>*>(param);
  if (IsWindowEnabled(hwnd)) windows->push_back(hwnd);
  return TRUE;
}

}  // namespace

Application& Application::Instance() {
  static Application application;
  return application;
}

void Application::Initialize(HINSTANCE instance, const std::wstring& title) {
  instance_ = instance;
  title_ = title;
  // A window of no size: it carries the task-bar entry under the application title and owns the
  // main window, so minimizing the application hides all of the program's windows at once.
  Create({.name = kClassName, .programIcon = true}, title.c_str(),
         {.style = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
          .x = GetSystemMetrics(SM_CXSCREEN) / 2,
          .y = GetSystemMetrics(SM_CYSCREEN) / 2});
}

void Application::ShowMainWindow(int showCommand) {
  if (showCommand == SW_SHOWMINNOACTIVE) {
    ShowWindow(Handle(), SW_SHOWMINNOACTIVE);
    return;
  }
  ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  ShowWindow(mainWindow_, showCommand == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  SetForegroundWindow(mainWindow_);
}

void Application::Minimize() {
  // Minimizing the owner hides every window it owns; restoring shows them again.
  ShowWindow(Handle(), SW_MINIMIZE);
}

void Application::Restore() {
  restoring_ = true;
  ShowWindow(Handle(), SW_RESTORE);
  restoring_ = false;
  if (mainWindow_ && !IsWindowVisible(mainWindow_)) ShowWindow(mainWindow_, SW_SHOWNORMAL);
  if (HWND target = ActivationTarget()) SetForegroundWindow(target);
}

HWND Application::ActivationTarget() const {
  if (IsWindowEnabled(Handle())) return mainWindow_;
  // A modal window is up: it is the one shown window of the program that is enabled (the system
  // sets the last active window to the application window itself as soon as that is activated).
  HWND modal = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM param) -> BOOL {
        if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return TRUE;
        *reinterpret_cast<HWND*>(param) = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&modal));
  return modal;
}

void Application::RequestClose() {
  // The application window is disabled only while a modal window is up: a command is then
  // waiting for that window to close, and ending the program under it would cut the command off.
  if (!IsWindowEnabled(Handle())) {
    HWND target = ActivationTarget();
    if (target && IsWindowVisible(target) && IsWindowEnabled(target)) SetForegroundWindow(target);
    return;
  }
  if (mainWindow_) PostMessageW(mainWindow_, WM_CLOSE, 0, 0);
}

LRESULT Application::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
          Minimize();
          return 0;
        case SC_RESTORE:
          Restore();
          return 0;
        case SC_CLOSE:
          RequestClose();
          return 0;
        default:
          break;
      }
      break;
    case WM_ACTIVATE:
      // The application window itself never keeps the activation: hand it to the main window
      // or to the modal window that is up.
      if (LOWORD(wParam) != WA_INACTIVE && !IsIconic(Handle())) {
        HWND target = ActivationTarget();
        if (target && IsWindowVisible(target) && IsWindowEnabled(target)) SetFocus(target);
        return 0;
      }
      break;
    case WM_QUERYOPEN:
      // Asked while this very restore runs: let it go ahead. Asked from elsewhere (the user
      // opening the icon): restore the whole application, main window included.
      if (restoring_) return TRUE;
      Restore();
      return FALSE;
    case WM_CLOSE:
      RequestClose();
      return 0;
    default:
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

void Application::Process(MSG& msg, HWND dialog) {
  if (messageHook_ && messageHook_(msg)) return;
  if (dialog && IsDialogMessageW(dialog, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

bool Application::Pump(const std::function<bool()>& done, HWND dialog) {
  while (!done()) {
    MSG msg;
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quitting_ = true;
        exitCode_ = static_cast<int>(msg.wParam);
        return false;
      }
      Process(msg, dialog);
      continue;
    }
    if (idleHook_) Guard([&] { idleHook_(); });
    if (done()) break;
    WaitMessage();
  }
  return true;
}

int Application::Run() {
  Pump([this] { return quitting_; }, nullptr);
  return exitCode_;
}

std::vector<HWND> Application::DisableWindows(HWND keep) {
  std::vector<HWND> enabled;
  EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&enabled));
  std::vector<HWND> disabled;
  for (HWND hwnd : enabled) {
    if (hwnd == keep) continue;
    EnableWindow(hwnd, FALSE);
    disabled.push_back(hwnd);
  }
  return disabled;
}

void Application::EnableWindows(const std::vector<HWND>& windows) {
  for (HWND hwnd : windows) {
    if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
  }
}

void Application::ShowModal(HWND window, const bool& closed, const std::function<void()>& onShown) {
  HWND previous = GetActiveWindow();
  const std::vector<HWND> disabled = DisableWindows(window);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  if (onShown) Guard(onShown);
  Pump([&] { return closed || quitting_; }, window);
  // Enable the others before hiding, so that the activation does not go to another program.
  EnableWindows(disabled);
  ShowWindow(window, SW_HIDE);
  if (quitting_) PostQuitMessage(exitCode_);
  if (previous && IsWindow(previous) && IsWindowVisible(previous)) SetActiveWindow(previous);
}

Application::SystemModal::SystemModal(HWND owner)
    : previous_(GetActiveWindow()), disabled_(Instance().DisableWindows(owner)) {}

Application::SystemModal::~SystemModal() {
  EnableWindows(disabled_);
  if (previous_ && IsWindow(previous_) && IsWindowVisible(previous_)) SetActiveWindow(previous_);
}

}  // namespace vellumo::win32
