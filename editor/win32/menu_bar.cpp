#include "editor/win32/menu_bar.h"

#include <string>

#include "editor/commands.h"
#include "platform/win32/unicode.h"

namespace vellumo::win32 {

HMENU BuildMenuBar() {
  HMENU bar = CreateMenu();
  for (const MenuHead& head : MenuHeads()) {
    HMENU popup = CreatePopupMenu();
    for (const CommandItem& item : Commands()) {
      if (item.menu != head.menu) continue;
      if (item.IsSeparator()) {
        AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        continue;
      }
      std::string text = item.caption;
      const std::string shortcut = item.ShortcutText();
      if (!shortcut.empty()) text += "\t" + shortcut;
      AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(item.id), Utf8ToWide(text).c_str());
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), Utf8ToWide(head.caption).c_str());
  }
  return bar;
}

}  // namespace vellumo::win32
