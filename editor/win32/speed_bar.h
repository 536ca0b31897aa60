// The tool bar SpeedBar: a panel with a raised bevel holding picture buttons that are drawn with
// the system's push-button frame, never take the keyboard focus, and run their command when the
// left button, pressed on one, is released over it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/win32/dpi.h"
#include "app/win32/window_base.h"

namespace vellumo::win32 {

class SpeedBar final : public WindowBase {
 public:
  struct Button {
    int designLeft;    // left edge at 96 DPI
    int bitmapId;      // 40 x 20 picture: normal on the left, disabled form on the right
    std::string hint;  // "short|long"
    std::function<void(const void* sender)> click;
  };

  SpeedBar(HWND parent, std::vector<Button> buttons);
  ~SpeedBar() override;

  // The bar's height at dpi.
  static int Height(UINT dpi);
  void SetDpi(UINT dpi);

  // The button under a point of the bar's client area, or -1.
  int ButtonAt(POINT client) const;
  const Button& ButtonInfo(int index) const { return buttons_[static_cast<std::size_t>(index)]; }
  RECT ButtonRect(int index) const;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Paint(HDC dc) override;
  void Pressed(POINT client);
  void Released(POINT client);
  void SetPushed(int index);

  std::vector<Button> buttons_;
  std::vector<HBITMAP> bitmaps_;
  UINT dpi_ = kDesignDpi;
  int pressed_ = -1;  // the button the left mouse button went down on, while it is held
  bool pushedIn_ = false;
};

}  // namespace vellumo::win32
