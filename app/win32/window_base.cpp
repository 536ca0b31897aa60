#include "app/win32/window_base.h"

#include "app/win32/application.h"
#include "app/win32/failure_display.h"
#include "resources/resource_ids.h"

namespace vellumo::win32 {

WindowBase::~WindowBase() {
  if (!hwnd_) return;
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

void WindowBase::Create(const WindowClass& windowClass, const wchar_t* title,
                        const WindowPlace& place) {
  const HINSTANCE instance = Application::Instance().InstanceHandle();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (!GetClassInfoExW(instance, windowClass.name, &wc)) {
    wc.style = windowClass.style;
    wc.lpfnWndProc = Procedure;
    wc.hInstance = instance;
    if (windowClass.programIcon) {
      wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_VELLUMO));
      wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_VELLUMO),
                                                 IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), 0));
    }
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    if (windowClass.background >= 0) {
      wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(windowClass.background + 1));
    }
    wc.lpszClassName = windowClass.name;
    RegisterClassExW(&wc);
  }
  CreateWindowExW(place.exStyle, windowClass.name, title, place.style, place.x, place.y,
                  place.width, place.height, place.parent, nullptr, instance, this);
}

void WindowBase::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT WindowBase::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT WindowBase::PaintWindow() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  Paint(dc);
  EndPaint(hwnd_, &ps);
  return 0;
}

LRESULT CALLBACK WindowBase::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowBase* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  const LRESULT result =
      Guard([&] { return self->HandleMessage(message, wParam, lParam); }, LRESULT{0});
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

}  // namespace vellumo::win32
