// The About box "Vellumo のバージョン情報": the logo, the version and "O.K.".
#pragma once

#include "app/win32/dialog_window.h"
#include "app/win32/dpi.h"
#include "editor/about_box.h"

namespace vellumo::win32 {

class AboutWindow final : public DialogWindow, public IAboutBox {
 public:
  explicit AboutWindow(HWND owner);
  ~AboutWindow() override;

  // Shows the box modally; returns once it has closed.
  void ShowModal() override;

 private:
  void OnCreate() override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
  void Layout(UINT dpi);

  HWND image1_ = nullptr;
  HWND label1_ = nullptr;
  HWND button1_ = nullptr;
  HBITMAP logo_ = nullptr;
  GdiFont labelFont_;
  GdiFont buttonFont_;
  bool closed_ = true;
};

}  // namespace vellumo::win32
