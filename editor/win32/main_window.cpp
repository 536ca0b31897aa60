#include "editor/win32/main_window.h"

#include "app/win32/application.h"
#include "app/win32/dpi.h"
#include "app/win32/failure_display.h"

namespace vellumo::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TMainForm";
constexpr UINT kFormActivateMessage = WM_APP + 1;

constexpr int kLeft = 226;
constexpr int kTop = 121;
constexpr int kWidth = 480;
constexpr int kHeight = 320;

}  // namespace

MainWindow::MainWindow() {
  Application& app = Application::Instance();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = app.InstanceHandle();
  wc.hIcon = LoadIconW(app.InstanceHandle(), MAKEINTRESOURCEW(1));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
  const UINT dpi = DpiOf(nullptr);
  hwnd_ = CreateWindowExW(0, kClassName, L"MainForm", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                          Scale(kLeft, dpi), Scale(kTop, dpi), Scale(kWidth, dpi),
                          Scale(kHeight, dpi), app.Handle(), nullptr, app.InstanceHandle(), this);
  app.SetMainWindow(hwnd_);
}

MainWindow::~MainWindow() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  return Guard([&] { return self->HandleMessage(message, wParam, lParam); }, LRESULT{0});
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !activated_) {
        activated_ = true;
        // Posted messages come before input, so the start-up open runs before anything typed.
        PostMessageW(hwnd_, kFormActivateMessage, 0, 0);
      }
      break;
    case kFormActivateMessage:
      if (formActivate_) formActivate_();
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        Application::Instance().Minimize();
        return 0;
      }
      break;
    case WM_DESTROY:
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
