#include "app/win32/startup.h"

#include <windows.h>

#include "platform/win32/unicode.h"

namespace vellumo::win32 {

int StartupShowCommand() {
  STARTUPINFOW info{};
  info.cb = sizeof(info);
  GetStartupInfoW(&info);
  if (info.dwFlags & STARTF_USESHOWWINDOW) return info.wShowWindow;
  return SW_SHOWNORMAL;
}

std::string CommandLineUtf8() {
  return WideToUtf8(GetCommandLineW());
}

}  // namespace vellumo::win32
