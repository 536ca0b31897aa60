// The tool bar's tooltip: a small window with a thin raised edge in the tooltip colour, its text
// in the status-bar font, shown just below the mouse pointer's image.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/win32/dpi.h"
#include "app/win32/window_base.h"

namespace vellumo::win32 {

class TooltipWindow final : public WindowBase {
 public:
  TooltipWindow();
  ~TooltipWindow() override;

  // Shows text just below the pointer's image, at pointer (the system's pointer position when
  // not given).
  void ShowBelowPointer(const std::string& text, std::optional<POINT> pointer = std::nullopt);
  void Hide();

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Paint(HDC dc) override;

  std::wstring text_;
  GdiFont font_;
};

}  // namespace vellumo::win32
