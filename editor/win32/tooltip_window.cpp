#include "editor/win32/tooltip_window.h"

#include "app/win32/application.h"
#include "platform/win32/unicode.h"

namespace vellumo::win32 {
namespace {

constexpr int kPaddingX = 2;
constexpr int kPaddingY = 1;

HFONT CreateStatusFont(UINT dpi) {
  const NONCLIENTMETRICSW metrics = NonClientMetrics(dpi);
  return CreateFontIndirectW(&metrics.lfStatusFont);
}

// The bottom of the pointer's image below the hot spot, in pixels.
int PointerDepth() {
  CURSORINFO info{};
  info.cbSize = sizeof(info);
  int depth = GetSystemMetrics(SM_CYCURSOR);
  if (GetCursorInfo(&info) && info.hCursor) {
    ICONINFO icon{};
    if (GetIconInfo(info.hCursor, &icon)) {
      BITMAP bm{};
      HBITMAP shape = icon.hbmColor ? icon.hbmColor : icon.hbmMask;
      if (shape && GetObjectW(shape, sizeof(bm), &bm)) {
        const int height = icon.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
        depth = height - static_cast<int>(icon.yHotspot);
      }
      if (icon.hbmColor) DeleteObject(icon.hbmColor);
      if (icon.hbmMask) DeleteObject(icon.hbmMask);
    }
  }
  return depth;
}

}  // namespace

TooltipWindow::TooltipWindow() {
  Create({.name = L"THintWindow", .style = CS_SAVEBITS | CS_DROPSHADOW, .background = COLOR_INFOBK},
         L"",
         {.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE,
          .style = WS_POPUP,
          .parent = Application::Instance().Handle()});
}

TooltipWindow::~TooltipWindow() {
  Destroy();
}

void TooltipWindow::ShowBelowPointer(const std::string& text, std::optional<POINT> at) {
  text_ = Utf8ToWide(text);
  SetWindowTextW(Handle(), text_.c_str());  // what the tooltip says, for accessibility tools too
  POINT pointer{};
  if (at) {
    pointer = *at;
  } else {
    GetCursorPos(&pointer);
  }
  const UINT dpi = DpiOf(Application::Instance().MainWindow());
  font_.Reset(CreateStatusFont(dpi));
  HDC dc = GetDC(Handle());
  HGDIOBJ old = SelectObject(dc, font_.Get());
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &r,
            DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(Handle(), dc);
  const int width = r.right + 2 * Scale(kPaddingX, dpi) + 2;
  const int height = r.bottom + 2 * Scale(kPaddingY, dpi) + 2;
  int left = pointer.x;
  int top = pointer.y + PointerDepth();
  // Keep it on the monitor.
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &info);
  if (left + width > info.rcWork.right) left = info.rcWork.right - width;
  if (top + height > info.rcWork.bottom) top = pointer.y - height;
  SetWindowPos(Handle(), HWND_TOPMOST, left, top, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TooltipWindow::Hide() {
  ShowWindow(Handle(), SW_HIDE);
}

LRESULT TooltipWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      return PaintWindow();
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    default:
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

void TooltipWindow::Paint(HDC dc) {
  RECT r{};
  GetClientRect(Handle(), &r);
  DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RECT);
  HGDIOBJ old = SelectObject(dc, font_.Get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
  InflateRect(&r, -1, -1);
  DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &r,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
}

}  // namespace vellumo::win32
