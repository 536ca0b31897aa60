// The main window's menu bar, made from the command table: the three menus with their items,
// each shortcut shown after a tab, and the separators.
#pragma once

#include <windows.h>

namespace vellumo::win32 {

HMENU BuildMenuBar();

}  // namespace vellumo::win32
