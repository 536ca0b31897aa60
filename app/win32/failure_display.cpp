#include "app/win32/failure_display.h"

#include <windows.h>

#include <new>

#include "app/failure_text.h"
#include "app/win32/application.h"
#include "platform/win32/unicode.h"

namespace vellumo::win32 {

void ShowFailure(const std::string& message) noexcept {
  try {
    ReleaseCapture();
    Application& app = Application::Instance();
    const std::wstring text = Utf8ToWide(FailureText(message));
    HWND active = GetActiveWindow();
    HWND owner = active ? active : app.Handle();
    const Application::SystemModal modal(owner);
    MessageBoxW(owner, text.c_str(), app.Title().c_str(), MB_OK | MB_ICONHAND);
  } catch (...) {
    // Nothing more can be shown; the program goes on.
  }
}

void ShowFailure(const std::exception& failure) noexcept {
  if (dynamic_cast<const std::bad_alloc*>(&failure)) {
    ShowFailure(std::string("メモリが不足しています"));
  } else {
    ShowFailure(std::string(failure.what()));
  }
}

}  // namespace vellumo::win32
