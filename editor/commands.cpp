#include "editor/commands.h"

#include <array>

#include "editor/hints.h"

namespace vellumo {
namespace {

constexpr std::uint16_t Ctrl(char key) {
  return kShortcutCtrl + static_cast<std::uint16_t>(key);
}
constexpr std::uint16_t CtrlAlt(char key) {
  return Ctrl(key) + kShortcutAlt;
}

constexpr CommandItem Separator(const char* name, MenuName menu) {
  return {CommandId::None, name, menu, nullptr, 0, "", nullptr, 0, 0, ""};
}

constexpr std::array kCommands{
    CommandItem{CommandId::FileNew, "FileNewItem", MenuName::File, "新規作成(&N)", 0,
                "新しいファイルを作成します", &TMainForm::FileNew, 1, 8,
                "新規作成|新しいファイルを作成します"},
    Separator("N6", MenuName::File),
    CommandItem{CommandId::FileOpen, "FileOpenItem", MenuName::File, "開いて解読(&O)...", Ctrl('O'),
                "既存のファイルを開いて解読します", &TMainForm::FileOpen, 2, 32,
                "開く|既存のファイルを開いて解読します"},
    CommandItem{CommandId::FileSave, "FileSaveItem", MenuName::File, "暗号化して上書き保存(&S)",
                Ctrl('S'), "現在のファイルを暗号化して保存します", &TMainForm::FileSave, 3, 56,
                "上書き保存|現在のファイルを暗号化して保存します"},
    CommandItem{CommandId::FileSaveAs, "FileSaveAsItem", MenuName::File,
                "暗号化して名前をつけて保存(&A)...", 0,
                "ファイルを別の名前をつけて暗号化して保存します", &TMainForm::FileSaveAs, 0, 0, ""},
    Separator("N7", MenuName::File),
    CommandItem{CommandId::FileOpenNormal, "FileOpenNormalItem", MenuName::File, "開く(&P)",
                CtrlAlt('O'), "既存のファイルを開きます", &TMainForm::FileOpenNormal, 0, 0, ""},
    CommandItem{CommandId::FileSaveNormal, "FileSaveNormalItem", MenuName::File, "上書き保存(&T)",
                CtrlAlt('S'), "現在のファイルを保存します", &TMainForm::FileSaveNormal, 0, 0, ""},
    CommandItem{CommandId::FileSaveAsNormal, "FileSaveAsNormalItem", MenuName::File,
                "名前をつけて保存(&B)...", 0, "ファイルを別の名前をつけて保存します",
                &TMainForm::FileSaveAsNormal, 0, 0, ""},
    Separator("N1", MenuName::File),
    CommandItem{CommandId::FileExit, "FileExitItem", MenuName::File, "終了(&X)", 0,
                "このアプリケーションを終了します", &TMainForm::FileExit, 0, 0, ""},
    CommandItem{CommandId::EditUndo, "EditUndoItem", MenuName::Edit, "元に戻す(&U)", Ctrl('Z'),
                "最後の操作を元に戻します", &TMainForm::EditUndo, 4, 84,
                "元に戻す|最後の操作を元に戻します"},
    Separator("N2", MenuName::Edit),
    CommandItem{CommandId::EditCut, "EditCutItem", MenuName::Edit, "暗号化切り取り(&T)", Ctrl('X'),
                "選択された項目を暗号化してクリップボードへ切り取ります", &TMainForm::EditCut, 5,
                108, "切り取り|選択された項目を暗号化してクリップボードへ切り取ります"},
    CommandItem{CommandId::EditCopy, "EditCopyItem", MenuName::Edit, "暗号化コピー(&C)", Ctrl('C'),
                "選択された項目を暗号化してクリップボードへコピーします", &TMainForm::EditCopy, 6,
                132, "コピー|選択された項目を暗号化してクリップボードへコピーします"},
    CommandItem{CommandId::EditPaste, "EditPasteItem", MenuName::Edit, "解読貼り付け(&P)",
                Ctrl('V'), "クリップボードの内容を解読して貼り付けます", &TMainForm::EditPaste, 7,
                156, "貼り付け|クリップボードの内容を解読して貼り付けます"},
    Separator("N5", MenuName::Edit),
    CommandItem{CommandId::EditCutNormal, "EditCutNormalItem", MenuName::Edit, "切り取り(&S)",
                CtrlAlt('X'), "選択された項目をクリップボードへ切り取ります",
                &TMainForm::EditCutNormal, 0, 0, ""},
    CommandItem{CommandId::EditCopyNormal, "EditCopyNormalItem", MenuName::Edit, "コピー(&B)",
                CtrlAlt('C'), "選択された項目をクリップボードへコピーします",
                &TMainForm::EditCopyNormal, 0, 0, ""},
    CommandItem{CommandId::EditPasteNormal, "EditPasteNormalItem", MenuName::Edit, "貼り付け(&O)",
                CtrlAlt('V'), "クリップボードの内容を貼り付けます", &TMainForm::EditPasteNormal, 0,
                0, ""},
    Separator("N3", MenuName::Edit),
    CommandItem{CommandId::EditSelectAll, "EditSelectAllItem", MenuName::Edit, "すべて選択(&A)",
                Ctrl('A'), "編集中のテキストをすべて選択します", &TMainForm::EditSelectAll, 0, 0,
                ""},
    Separator("N4", MenuName::Edit),
    CommandItem{CommandId::EditKey, "EditKeyItem", MenuName::Edit, "「鍵」の変更(&K)", Ctrl('K'),
                "暗号化と解読に使用する「鍵」を変更します", &TMainForm::EditKey, 0, 0, ""},
    CommandItem{CommandId::HelpAbout, "HelpInfo", MenuName::Help, "バージョン情報(&A)...", 0,
                "このアプリケーションのバージョン情報を表示します", &TMainForm::HelpAbout, 8, 184,
                "バージョン情報|このアプリケーションのバージョン情報を表示します"},
};

constexpr std::array kMenuHeads{
    MenuHead{MenuName::File, "FileMenu", "ファイル(&F)"},
    MenuHead{MenuName::Edit, "EditMenu", "編集(&E)"},
    MenuHead{MenuName::Help, "Help", "ヘルプ(&H)"},
};

}  // namespace

std::string CommandItem::ShortcutText() const {
  return vellumo::ShortcutText(shortcut);
}

std::span<const CommandItem> Commands() {
  return kCommands;
}

std::span<const MenuHead> MenuHeads() {
  return kMenuHeads;
}

std::vector<const CommandItem*> ToolButtons() {
  std::vector<const CommandItem*> buttons;
  for (const auto& item : kCommands) {
    if (item.button != 0) buttons.push_back(&item);
  }
  return buttons;
}

std::uint16_t ShortcutCode(unsigned virtualKey, bool shift, bool ctrl, bool alt) {
  return static_cast<std::uint16_t>((virtualKey & 0xFF) + (shift ? kShortcutShift : 0) +
                                    (ctrl ? kShortcutCtrl : 0) + (alt ? kShortcutAlt : 0));
}

std::string ShortcutText(std::uint16_t code) {
  if (code == 0) return {};
  std::string text;
  if (code & kShortcutShift) text += "Shift+";
  if (code & kShortcutCtrl) text += "Ctrl+";
  if (code & kShortcutAlt) text += "Alt+";
  const unsigned key = code & 0xFF;
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
    text += static_cast<char>(key);
  } else if (key >= 0x70 && key <= 0x87) {  // VK_F1 to VK_F24
    text += 'F';
    text += std::to_string(key - 0x70 + 1);
  } else {
    text += '#';
    text += std::to_string(key);
  }
  return text;
}

const CommandItem* FindShortcut(std::uint16_t code) {
  if (code == 0) return nullptr;
  for (const auto& item : kCommands) {
    if (item.shortcut == code) return &item;
  }
  return nullptr;
}

const CommandItem* FindCommand(CommandId id) {
  if (id == CommandId::None) return nullptr;
  for (const auto& item : kCommands) {
    if (item.id == id) return &item;
  }
  return nullptr;
}

std::string MenuHint(CommandId id) {
  const CommandItem* item = FindCommand(id);
  return item ? LongHint(item->hint) : std::string();
}

void RunCommand(TMainForm& form, const CommandItem& item, Sender sender) {
  if (item.handler) (form.*item.handler)(sender);
}

}  // namespace vellumo
