// The command table: menu order and separators, shortcut codes and their texts, key routing, the
// tool bar buttons, and that every entry runs its own handler.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

#include "editor/commands.h"
#include "editor/hints.h"
#include "editor_fakes.h"

namespace vellumo {
namespace {

using testing::CancelDialog;

std::vector<std::string> NamesOf(MenuName menu) {
  std::vector<std::string> names;
  for (const auto& item : Commands()) {
    if (item.menu == menu) names.push_back(item.name);
  }
  return names;
}

TEST(Commands, MenusHoldTheirItemsAndSeparatorsInOrder) {
  EXPECT_EQ(
      NamesOf(MenuName::File),
      (std::vector<std::string>{"FileNewItem", "N6", "FileOpenItem", "FileSaveItem",
                                "FileSaveAsItem", "N7", "FileOpenNormalItem", "FileSaveNormalItem",
                                "FileSaveAsNormalItem", "N1", "FileExitItem"}));
  EXPECT_EQ(NamesOf(MenuName::Edit),
            (std::vector<std::string>{"EditUndoItem", "N2", "EditCutItem", "EditCopyItem",
                                      "EditPasteItem", "N5", "EditCutNormalItem",
                                      "EditCopyNormalItem", "EditPasteNormalItem", "N3",
                                      "EditSelectAllItem", "N4", "EditKeyItem"}));
  EXPECT_EQ(NamesOf(MenuName::Help), std::vector<std::string>{"HelpInfo"});
  std::vector<std::string> heads;
  for (const auto& head : MenuHeads())
    heads.push_back(head.caption);
  EXPECT_EQ(heads, (std::vector<std::string>{"ファイル(&F)", "編集(&E)", "ヘルプ(&H)"}));
}

TEST(Commands, SeparatorsAndItemsAreWellFormed) {
  std::set<CommandId> ids;
  for (const auto& item : Commands()) {
    if (item.IsSeparator()) {
      EXPECT_EQ(item.id, CommandId::None) << item.name;
      EXPECT_EQ(item.handler, nullptr) << item.name;
      EXPECT_STREQ(item.hint, "") << item.name;
      continue;
    }
    EXPECT_TRUE(ids.insert(item.id).second) << item.name << ": ids are unique";
    EXPECT_NE(item.handler, nullptr) << item.name;
    EXPECT_STRNE(item.hint, "") << item.name;
    EXPECT_EQ(std::string(item.hint).find('|'), std::string::npos) << item.name;
    EXPECT_EQ(FindCommand(item.id), &item);
  }
}

TEST(Commands, ShortcutCodesAndTexts) {
  const struct {
    CommandId id;
    std::uint16_t code;
    const char* text;
  } cases[] = {
      {CommandId::FileOpen, 16463, "Ctrl+O"},
      {CommandId::FileSave, 16467, "Ctrl+S"},
      {CommandId::FileOpenNormal, 49231, "Ctrl+Alt+O"},
      {CommandId::FileSaveNormal, 49235, "Ctrl+Alt+S"},
      {CommandId::EditUndo, 16474, "Ctrl+Z"},
      {CommandId::EditCut, 16472, "Ctrl+X"},
      {CommandId::EditCopy, 16451, "Ctrl+C"},
      {CommandId::EditPaste, 16470, "Ctrl+V"},
      {CommandId::EditCutNormal, 49240, "Ctrl+Alt+X"},
      {CommandId::EditCopyNormal, 49219, "Ctrl+Alt+C"},
      {CommandId::EditPasteNormal, 49238, "Ctrl+Alt+V"},
      {CommandId::EditSelectAll, 16449, "Ctrl+A"},
      {CommandId::EditKey, 16459, "Ctrl+K"},
  };
  std::size_t withShortcut = 0;
  for (const auto& item : Commands())
    withShortcut += item.shortcut != 0;
  EXPECT_EQ(withShortcut, std::size(cases)) << "no other item has a shortcut";
  for (const auto& c : cases) {
    const CommandItem* item = FindCommand(c.id);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->shortcut, c.code) << item->name;
    EXPECT_EQ(item->ShortcutText(), c.text) << item->name;
  }
  EXPECT_EQ(ShortcutText(0x2000 + 0x4000 + 0x8000 + 'Q'), "Shift+Ctrl+Alt+Q");
  EXPECT_EQ(ShortcutText(0x2000 + 0x70), "Shift+F1");
}

// A key event's code finds its item, which takes the key away from the edit area; other keys go
// on to it.
TEST(Commands, KeyRouting) {
  const struct {
    unsigned key;
    bool shift, ctrl, alt;
    CommandId id;
  } cases[] = {
      {'C', false, true, false, CommandId::EditCopy},
      {'C', false, true, true, CommandId::EditCopyNormal},
      {'X', false, true, false, CommandId::EditCut},
      {'V', false, true, true, CommandId::EditPasteNormal},
      {'A', false, true, false, CommandId::EditSelectAll},
      {'O', false, true, true, CommandId::FileOpenNormal},
      {'C', true, true, false, CommandId::None},
      {'C', false, false, false, CommandId::None},
      {'N', false, true, false, CommandId::None},
      {'F', false, false, true, CommandId::None},
  };
  for (const auto& c : cases) {
    const CommandItem* item = FindShortcut(ShortcutCode(c.key, c.shift, c.ctrl, c.alt));
    EXPECT_EQ(item ? item->id : CommandId::None, c.id) << static_cast<char>(c.key);
  }
  EXPECT_EQ(FindShortcut(0), nullptr);
}

TEST(Commands, ToolBarButtons) {
  const struct {
    CommandId id;
    int left;
    const char* shortHint;
  } expected[] = {
      {CommandId::FileNew, 8, "新規作成"},     {CommandId::FileOpen, 32, "開く"},
      {CommandId::FileSave, 56, "上書き保存"}, {CommandId::EditUndo, 84, "元に戻す"},
      {CommandId::EditCut, 108, "切り取り"},   {CommandId::EditCopy, 132, "コピー"},
      {CommandId::EditPaste, 156, "貼り付け"}, {CommandId::HelpAbout, 184, "バージョン情報"},
  };
  const auto buttons = ToolButtons();
  ASSERT_EQ(buttons.size(), std::size(expected));
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    EXPECT_EQ(buttons[i]->id, expected[i].id);
    EXPECT_EQ(buttons[i]->button, static_cast<int>(i) + 1);
    EXPECT_EQ(buttons[i]->buttonLeft, expected[i].left);
    EXPECT_EQ(ShortHint(buttons[i]->buttonHint), expected[i].shortHint);
    EXPECT_EQ(LongHint(buttons[i]->buttonHint), buttons[i]->hint) << "the status line reads alike";
  }
}

// Every entry reaches its own handler: each command leaves its own trace on the fakes.
TEST(Commands, EachEntryRunsItsOwnHandler) {
  using Check = std::function<bool(testing::MainFormRig&)>;
  const std::map<CommandId, Check> traces{
      {CommandId::FileNew, [](auto& r) { return r.form.CurrentFileName == "202612062017.qzv"; }},
      {CommandId::FileOpen, [](auto& r) { return r.dialogs.openShown == 1; }},
      {CommandId::FileOpenNormal, [](auto& r) { return r.dialogs.openShown == 1; }},
      {CommandId::FileSave, [](auto& r) { return r.dialogs.savePresets.size() == 1; }},
      {CommandId::FileSaveAs, [](auto& r) { return r.dialogs.savePresets.size() == 1; }},
      {CommandId::FileSaveNormal, [](auto& r) { return r.dialogs.savePresets.size() == 1; }},
      {CommandId::FileSaveAsNormal, [](auto& r) { return r.dialogs.savePresets.size() == 1; }},
      {CommandId::FileExit, [](auto& r) { return r.window.closed; }},
      {CommandId::EditUndo, [](auto& r) { return r.memo.text == "undone"; }},
      {CommandId::EditCut, [](auto& r) { return r.memo.text == "bc" && r.clipboard.opens == 1; }},
      {CommandId::EditCopy, [](auto& r) { return r.memo.text == "abc" && r.clipboard.opens == 1; }},
      {CommandId::EditPaste, [](auto& r) { return r.memo.text == "clipbc"; }},
      {CommandId::EditCutNormal,
       [](auto& r) { return r.memo.text == "bc" && r.clipboard.opens == 0; }},
      {CommandId::EditCopyNormal,
       [](auto& r) { return r.clipboard.content == "a" && r.clipboard.opens == 0; }},
      {CommandId::EditPasteNormal,
       [](auto& r) { return r.memo.text == "clipbc" && r.clipboard.opens == 0; }},
      {CommandId::EditSelectAll, [](auto& r) { return r.memo.selLength == 3; }},
      {CommandId::EditKey, [](auto& r) { return r.cipher.view.captionsShown.size() == 1; }},
      {CommandId::HelpAbout, [](auto& r) { return r.about.shown == 1; }},
  };
  for (const auto& item : Commands()) {
    if (item.IsSeparator()) continue;
    testing::MainFormRig rig;
    rig.memo.text = "abc";
    rig.memo.Select(0, 1);
    rig.memo.undo = "undone";
    rig.clipboard.content = "clip";
    rig.dialogs.openAnswers.push_back(std::nullopt);
    rig.dialogs.saveAnswers.push_back(std::nullopt);
    rig.cipher.view.remember = true;  // EditKey still shows the dialog; the others pass unasked
    rig.cipher.view.scripts.push_back(CancelDialog());
    rig.cipher.view.key = "";
    RunCommand(rig.form, item, &item);
    ASSERT_TRUE(traces.count(item.id)) << item.name;
    EXPECT_TRUE(traces.at(item.id)(rig)) << item.name;
  }
}

}  // namespace
}  // namespace vellumo
