// A window built on the system dialog class, so that the dialog manager gives it Tab order,
// Enter on the default (or focused) push button, Escape and access keys. It is created hidden
// from an empty template; subclasses create their controls in pixels and lay them out per DPI.
#pragma once

#include <windows.h>

namespace vellumo::win32 {

class DialogWindow {
 public:
  DialogWindow() = default;
  virtual ~DialogWindow();
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  HWND Handle() const { return hwnd_; }

 protected:
  // Creates the hidden window with a fixed dialog border, a caption and its close box; OnCreate
  // runs inside, before this returns.
  void Create(HWND owner);
  // Sizes the window so that its client area is width x height pixels at dpi, and moves its
  // top-left corner to at when given.
  void SetClientSize(int width, int height, UINT dpi, const POINT* at = nullptr);
  void Destroy();
  // Repaints the whole window and its controls, erasing first: after a new layout, a control
  // that was moved or resized must not keep bits of its old drawing.
  void RedrawAll();

  // Called once the window exists, to create the controls.
  virtual void OnCreate() = 0;
  // Handles a message; set handled to true to keep it from the dialog manager. Failures that
  // escape are shown by the failure display and the window stays as it is.
  virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

  // Creates a child control at a position in pixels.
  HWND AddControl(const wchar_t* className, const wchar_t* text, DWORD style, int id,
                  DWORD exStyle = 0);

  // Keeps the dialog manager's own per-monitor rescaling out of the way: these windows lay
  // themselves out again on WM_DPICHANGED.
  void TakeOverDpiScaling(HWND control);

 private:
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
};

}  // namespace vellumo::win32
