// The failure display and the guard every window procedure runs its handlers under, so that no
// C++ exception ever unwinds through a Win32 frame and the program never ends because of one.
#pragma once

#include <exception>
#include <string>

namespace vellumo::win32 {

// Shows a failure's message in a stop box captioned with the application title, with a "."
// appended by the failure text rule. Never throws.
void ShowFailure(const std::string& message) noexcept;
void ShowFailure(const std::exception& failure) noexcept;

// Runs f; a failure that escapes it is shown and onFailure answered instead.
template <class F, class R>
R Guard(F&& f, R onFailure) noexcept {
  try {
    return f();
  } catch (const std::exception& e) {
    ShowFailure(e);
  } catch (...) {
    ShowFailure(std::string("予期しないエラーが発生しました"));
  }
  return onFailure;
}

template <class F>
void Guard(F&& f) noexcept {
  Guard(
      [&] {
        f();
        return 0;
      },
      0);
}

}  // namespace vellumo::win32
