// Message boxes of the programs under test (the system's own, class "#32770"): how one looks.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "tests/e2e/driver/wait.h"

namespace vellumo::e2e {

struct BoxLook {
  std::wstring text;
  std::vector<std::wstring> buttons;  // left to right
  int defaultId;
};

// Checks a message box's text, its buttons left to right in one row of one width, its default
// button (which also starts with the focus) and its icon. `what`, when given, heads every failure.
void CheckBoxLook(HWND box, const BoxLook& want, std::string_view what = "",
                  Where where = Where::current());

}  // namespace vellumo::e2e
