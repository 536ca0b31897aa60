// What the process was started with: its show command and its command line.
#pragma once

#include <string>

namespace vellumo::win32 {

// The show command the process was started with (SW_SHOWNORMAL when none was given).
int StartupShowCommand();

// The process's command line, as UTF-8.
std::string CommandLineUtf8();

}  // namespace vellumo::win32
