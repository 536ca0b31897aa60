// The one table of the main window's commands: every menu item and separator in menu order, with
// caption, shortcut, hint, handler and tool bar button. It feeds the menu bar, the keyboard
// shortcuts, the tool bar and the menu hints.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "editor/main_form.h"

namespace vellumo {

enum class MenuName { File, Edit, Help };

// Command ids as the menu and the buttons report them; 0 for separators.
enum class CommandId : std::uint16_t {
  None = 0,
  FileNew = 101,
  FileOpen,
  FileSave,
  FileSaveAs,
  FileOpenNormal,
  FileSaveNormal,
  FileSaveAsNormal,
  FileExit,
  EditUndo = 201,
  EditCut,
  EditCopy,
  EditPaste,
  EditCutNormal,
  EditCopyNormal,
  EditPasteNormal,
  EditSelectAll,
  EditKey,
  HelpAbout = 301,
};

using CommandHandler = void (TMainForm::*)(Sender);

// Shortcut codes: the key's virtual-key code plus these for the modifiers.
inline constexpr std::uint16_t kShortcutShift = 0x2000;
inline constexpr std::uint16_t kShortcutCtrl = 0x4000;
inline constexpr std::uint16_t kShortcutAlt = 0x8000;

struct CommandItem {
  CommandId id;
  const char* name;  // the member's name, such as "FileOpenItem" or "N6"
  MenuName menu;
  const char* caption;     // "&" marks the access key; nullptr for a separator
  std::uint16_t shortcut;  // 0 for none
  const char* hint;        // the status-line hint while highlighted; "" for a separator
  CommandHandler handler;  // nullptr for a separator
  int button;              // tool bar button number (SpeedButton1 to 8), 0 for none
  int buttonLeft;          // the button's left edge in the tool bar
  const char* buttonHint;  // "short|long" for the button, "" for none

  bool IsSeparator() const { return caption == nullptr; }
  // The shortcut as the menu shows it, such as "Ctrl+Alt+O"; empty for none.
  std::string ShortcutText() const;
};

struct MenuHead {
  MenuName menu;
  const char* name;
  const char* caption;
};

// Every item and separator of the three menus, in menu order (File, Edit, Help).
std::span<const CommandItem> Commands();
// The three menu heads, in menu-bar order.
std::span<const MenuHead> MenuHeads();
// The items with a tool bar button, in button order.
std::vector<const CommandItem*> ToolButtons();

// The code of a key event: its virtual-key code plus the modifiers held (Alt: the key message's
// Alt flag).
std::uint16_t ShortcutCode(unsigned virtualKey, bool shift, bool ctrl, bool alt);
// "Shift+", "Ctrl+", "Alt+" as needed, in this order, then the key's name.
std::string ShortcutText(std::uint16_t code);

// The item with this shortcut, or nullptr: the key then goes on to the focused control.
const CommandItem* FindShortcut(std::uint16_t code);
const CommandItem* FindCommand(CommandId id);

// The menu rule: the status-line hint while this entry is highlighted; empty for a menu head, a
// separator or no entry.
std::string MenuHint(CommandId id);

// Runs the item's handler on form with the item, button or key as the sender.
void RunCommand(TMainForm& form, const CommandItem& item, Sender sender);

}  // namespace vellumo
