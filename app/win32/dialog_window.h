// A window built on the system dialog class, so that the dialog manager gives it Tab order,
// Enter on the default (or focused) push button, Escape and access keys. It is created hidden
// from an empty template; subclasses create their controls in pixels. Every such window is shown
// modally and follows a change of DPI the same way, through this base: it lays itself out for
// the DPI of the window that was active, places itself, and lays itself out again when moved to
// a monitor of another DPI.
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
  void Destroy();
  // Shows the window modally and returns once EndModal was called: laid out for the DPI of the
  // window that was active, placed by Place, with OnShown run once it is shown and active.
  void RunModal();
  void EndModal() { closed_ = true; }

  // Sizes the window so that its client area is width x height pixels at dpi, keeping its
  // top-left corner.
  void SetClientSize(int width, int height, UINT dpi);

  // Called once the window exists, to create the controls.
  virtual void OnCreate() = 0;
  // Lays the controls and the window's size out for dpi.
  virtual void Layout(UINT dpi) = 0;
  // Places the window on the screen before it is shown, and sets what every showing starts with.
  virtual void Place() = 0;
  // Puts the focus into the window once it is shown.
  virtual void OnShown() = 0;
  // Handles a message; set handled to true to keep it from the dialog manager. Failures that
  // escape are shown by the failure display and the window stays as it is.
  virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

  // Creates a child control at a position in pixels.
  HWND AddControl(const wchar_t* className, const wchar_t* text, DWORD style, int id,
                  DWORD exStyle = 0);

 private:
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // Keeps the dialog manager's own per-monitor rescaling out of the way: these windows lay
  // themselves out again on WM_DPICHANGED.
  void TakeOverDpiScaling(HWND control);

  HWND hwnd_ = nullptr;
  bool closed_ = true;
};

}  // namespace vellumo::win32
