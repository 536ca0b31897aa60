// The About box "Vellumo のバージョン情報": the logo, the version and "O.K.", which closes it.
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
  void Layout(UINT dpi) override;
  void Place() override;
  void OnShown() override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

  HWND image1_ = nullptr;
  HWND label1_ = nullptr;
  HWND button1_ = nullptr;
  HBITMAP logo_ = nullptr;
  GdiFont labelFont_;
  GdiFont buttonFont_;
};

}  // namespace vellumo::win32
