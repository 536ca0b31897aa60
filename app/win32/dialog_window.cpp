#include "app/win32/dialog_window.h"

#include <cstring>

#include "app/win32/application.h"
#include "app/win32/dpi.h"
#include "app/win32/failure_display.h"

namespace vellumo::win32 {
namespace {

// An in-memory dialog template with no controls and no size; the window sizes itself.
struct alignas(DWORD) EmptyTemplate {
  DLGTEMPLATE header;
  WORD menu = 0;
  WORD windowClass = 0;
  WORD title = 0;
};

using DialogBehaviorFn = BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS,
                                       DIALOG_DPI_CHANGE_BEHAVIORS);
using ControlBehaviorFn = BOOL(WINAPI*)(HWND, DIALOG_CONTROL_DPI_CHANGE_BEHAVIORS,
                                        DIALOG_CONTROL_DPI_CHANGE_BEHAVIORS);

template <class Fn>
Fn User32Function(const char* name) {
  // Present from Windows 10 1703 on; older systems and Wine may lack them.
  return reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

DialogWindow::~DialogWindow() {
  Destroy();
}

void DialogWindow::Create(HWND owner) {
  EmptyTemplate t{};
  t.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK;
  t.header.dwExtendedStyle = WS_EX_DLGMODALFRAME;
  hwnd_ = CreateDialogIndirectParamW(Application::Instance().InstanceHandle(), &t.header, owner,
                                     Proc, reinterpret_cast<LPARAM>(this));
}

void DialogWindow::SetClientSize(int width, int height, UINT dpi) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
  const SIZE outer = OuterSizeForClient(width, height, style, exStyle, false, dpi);
  SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DialogWindow::RunModal() {
  closed_ = false;
  HWND active = GetActiveWindow();
  Layout(DpiOf(active ? active : hwnd_));
  Place();
  Application::Instance().ShowModal(hwnd_, closed_, [this] { OnShown(); });
}

void DialogWindow::Destroy() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
  }
}

HWND DialogWindow::AddControl(const wchar_t* className, const wchar_t* text, DWORD style, int id,
                              DWORD exStyle) {
  HWND control = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0,
                                 0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 Application::Instance().InstanceHandle(), nullptr);
  TakeOverDpiScaling(control);
  return control;
}

void DialogWindow::TakeOverDpiScaling(HWND control) {
  if (control == hwnd_) {
    static const auto fn = User32Function<DialogBehaviorFn>("SetDialogDpiChangeBehavior");
    if (fn) fn(hwnd_, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
  } else {
    static const auto fn = User32Function<ControlBehaviorFn>("SetDialogControlDpiChangeBehavior");
    const auto all = static_cast<DIALOG_CONTROL_DPI_CHANGE_BEHAVIORS>(DCDC_DISABLE_FONT_UPDATE |
                                                                      DCDC_DISABLE_RELAYOUT);
    if (fn) fn(control, all, all);
  }
}

INT_PTR CALLBACK DialogWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<DialogWindow*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    self->hwnd_ = hwnd;
    self->TakeOverDpiScaling(hwnd);
    Guard([&] { self->OnCreate(); });
    return FALSE;  // the focus is set when the window is shown
  }
  auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!self) return FALSE;
  bool handled = false;
  const INT_PTR result = Guard(
      [&] {
        if (message != WM_DPICHANGED) return self->OnMessage(message, wParam, lParam, handled);
        handled = true;
        FollowDpiChange(hwnd, wParam, lParam, [self](UINT dpi) { self->Layout(dpi); });
        return INT_PTR{0};
      },
      INT_PTR{0});
  if (!handled) return FALSE;
  // These messages answer through the return value itself, not DWLP_MSGRESULT.
  if ((message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) || message == WM_COMPAREITEM ||
      message == WM_VKEYTOITEM || message == WM_CHARTOITEM || message == WM_QUERYDRAGICON) {
    return result;
  }
  SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, static_cast<LONG_PTR>(result));
  return TRUE;
}

}  // namespace vellumo::win32
