// The one way the program makes a window of a class of its own (in the spirit of the BaseWindow
// of Microsoft's Win32 samples): the class is registered once, the C++ object is stored at
// WM_NCCREATE, every message is handled under the failure guard, and the object lets go of the
// window at WM_NCDESTROY.
#pragma once

#include <windows.h>

namespace vellumo::win32 {

// What window classes differ in; the cursor is always the arrow.
struct WindowClass {
  const wchar_t* name;
  UINT style = 0;
  int background = -1;       // a COLOR_ index, or -1 for none
  bool programIcon = false;  // the program's icon, large and small
};

// Where and how a window is made.
struct WindowPlace {
  DWORD exStyle = 0;
  DWORD style = 0;
  int x = 0, y = 0, width = 0, height = 0;
  HWND parent = nullptr;  // the parent of a child window, the owner of a top-level one
};

class WindowBase {
 public:
  HWND Handle() const { return hwnd_; }

 protected:
  WindowBase() = default;
  // A window still there is let go first, so that no message reaches the half-destroyed object.
  virtual ~WindowBase();
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  // Registers the class unless it is already, and creates the window with this object behind it.
  void Create(const WindowClass& windowClass, const wchar_t* title, const WindowPlace& place);
  // Destroys the window while the object is whole, so that its handlers see WM_DESTROY.
  void Destroy();

  // Handles one message; what it leaves goes to DefaultHandling. A failure that escapes is shown
  // by the failure display and answered with 0.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);
  // Answers WM_PAINT, drawing the invalid part with Paint.
  LRESULT PaintWindow();
  virtual void Paint(HDC) {}

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
};

}  // namespace vellumo::win32
