#include "editor/win32/speed_bar.h"

#include <windows.h>

#include <windowsx.h>

#include "app/win32/application.h"

namespace vellumo::win32 {
namespace {

constexpr int kBarHeight = 33;
constexpr int kButtonTop = 4;
constexpr int kButtonSize = 25;
constexpr int kPictureSize = 20;
constexpr COLORREF kTransparent = RGB(128, 128, 0);

}  // namespace

SpeedBar::SpeedBar(HWND parent, std::vector<Button> buttons) : buttons_(std::move(buttons)) {
  HINSTANCE instance = Application::Instance().InstanceHandle();
  for (const auto& b : buttons_) {
    bitmaps_.push_back(static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(b.bitmapId),
                                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  }
  // No CS_DBLCLKS: the second press of a double click is a press.
  Create({.name = L"TPanel", .background = COLOR_BTNFACE}, L"",
         {.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, .parent = parent});
}

SpeedBar::~SpeedBar() {
  for (HBITMAP b : bitmaps_) {
    if (b) DeleteObject(b);
  }
}

int SpeedBar::Height(UINT dpi) {
  return Scale(kBarHeight, dpi);
}

void SpeedBar::SetDpi(UINT dpi) {
  dpi_ = dpi;
  InvalidateRect(Handle(), nullptr, TRUE);
}

RECT SpeedBar::ButtonRect(int index) const {
  const int left = Scale(buttons_[static_cast<std::size_t>(index)].designLeft, dpi_);
  const int top = Scale(kButtonTop, dpi_);
  const int size = Scale(kButtonSize, dpi_);
  return RECT{left, top, left + size, top + size};
}

int SpeedBar::ButtonAt(POINT client) const {
  // Later buttons lie on top where neighbours share their border line.
  for (int i = static_cast<int>(buttons_.size()) - 1; i >= 0; --i) {
    const RECT r = ButtonRect(i);
    if (PtInRect(&r, client)) return i;
  }
  return -1;
}

void SpeedBar::SetPushed(int index) {
  const bool in = index >= 0;
  if (in == pushedIn_) return;
  pushedIn_ = in;
  const RECT r = ButtonRect(pressed_);
  InvalidateRect(Handle(), &r, TRUE);
}

LRESULT SpeedBar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      return PaintWindow();
    case WM_LBUTTONDOWN:
      Pressed(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_MOUSEMOVE:
      if (pressed_ >= 0) {
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        SetPushed(ButtonAt(p) == pressed_ ? pressed_ : -1);
      }
      return 0;
    case WM_LBUTTONUP:
      Released(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_CAPTURECHANGED:
      if (pressed_ >= 0 && reinterpret_cast<HWND>(lParam) != Handle()) {
        SetPushed(-1);
        pressed_ = -1;
      }
      return 0;
    default:
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

void SpeedBar::Pressed(POINT client) {
  const int index = ButtonAt(client);
  if (index < 0) return;
  pressed_ = index;
  pushedIn_ = false;
  SetCapture(Handle());
  SetPushed(index);
}

void SpeedBar::Released(POINT client) {
  if (pressed_ < 0) return;
  const int index = pressed_;
  const bool over = ButtonAt(client) == index;
  SetPushed(-1);
  pressed_ = -1;
  ReleaseCapture();
  Button& button = buttons_[static_cast<std::size_t>(index)];
  if (over && button.click) button.click(&button);
}

void SpeedBar::Paint(HDC dc) {
  RECT client{};
  GetClientRect(Handle(), &client);
  DrawEdge(dc, &client, BDR_RAISEDINNER, BF_RECT);
  const int picture = Scale(kPictureSize, dpi_);
  HDC source = CreateCompatibleDC(dc);
  for (int i = 0; i < static_cast<int>(buttons_.size()); ++i) {
    RECT r = ButtonRect(i);
    const bool pushed = i == pressed_ && pushedIn_;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    HBITMAP bitmap = bitmaps_[static_cast<std::size_t>(i)];
    if (!bitmap) continue;
    const int shift = pushed ? 1 : 0;
    const int x = r.left + (r.right - r.left - picture) / 2 + shift;
    const int y = r.top + (r.bottom - r.top - picture) / 2 + shift;
    HGDIOBJ old = SelectObject(source, bitmap);
    // The left half is the picture for the enabled state; the buttons are always enabled.
    TransparentBlt(dc, x, y, picture, picture, source, 0, 0, kPictureSize, kPictureSize,
                   kTransparent);
    SelectObject(source, old);
  }
  DeleteDC(source);
}

}  // namespace vellumo::win32
