// The edit and clipboard commands: the encrypting cut and copy, the decrypting paste, the plain
// commands and undo, the key change and the About box, on success, cancel, decode failure and a
// clipboard that cannot be opened.
#include <gtest/gtest.h>

#include "editor_fakes.h"

namespace vellumo {
namespace {

using testing::CancelDialog;
using testing::CipherRig;
using testing::Decrypted;
using testing::Encrypted;
using testing::EnterKey;
using testing::MainFormRig;
using testing::ScriptedCipherView;

// "one secret two" with "secret" selected.
void SelectSecret(MainFormRig& rig) {
  rig.memo.text = "one secret two";
  rig.memo.Select(4, 6);
}

// The key dialog's script, checking that the clipboard has not been opened before the key is in.
ScriptedCipherView::Script EnterKeyBeforeClipboard(MainFormRig& rig, Text key) {
  return [&rig, key](ScriptedCipherView& view) {
    EXPECT_EQ(rig.clipboard.opens, 0) << "the clipboard is never open while the key is asked for";
    EnterKey(key)(view);
  };
}

TEST(EditCut, PutsTheEncryptedSelectionOnTheClipboardAndRemovesItForGood) {
  MainFormRig rig;
  SelectSecret(rig);
  rig.cipher.view.scripts.push_back(EnterKeyBeforeClipboard(rig, "key"));
  rig.form.EditCut();
  ASSERT_TRUE(rig.clipboard.content);
  EXPECT_EQ(Decrypted(*rig.clipboard.content, "key"), "secret");
  EXPECT_EQ(rig.memo.text, "one  two");
  rig.form.EditUndo();
  EXPECT_EQ(rig.memo.text, "one  two") << "undo never brings the cut text back";
}

TEST(EditCopy, PutsTheEncryptedSelectionOnTheClipboardAndLeavesTheText) {
  MainFormRig rig;
  SelectSecret(rig);
  rig.cipher.view.scripts.push_back(EnterKeyBeforeClipboard(rig, "key"));
  rig.form.EditCopy();
  ASSERT_TRUE(rig.clipboard.content);
  EXPECT_EQ(Decrypted(*rig.clipboard.content, "key"), "secret");
  EXPECT_EQ(rig.memo.text, "one secret two");
  EXPECT_EQ(rig.memo.GetSelectedText(), "secret");
}

// Nothing selected: no key is asked for, the clipboard ends up holding an empty text, and the text
// does not change. A cancelled key request changes nothing at all.
TEST(EditCutAndCopy, EmptySelectionAndCancelledKey) {
  for (const auto command : {&TMainForm::EditCut, &TMainForm::EditCopy}) {
    MainFormRig rig;
    rig.memo.text = "text";
    rig.memo.Select(2, 0);
    rig.clipboard.content = "old";
    (rig.form.*command)(nullptr);
    EXPECT_EQ(rig.clipboard.content, Text());
    EXPECT_EQ(rig.memo.text, "text");
    EXPECT_TRUE(rig.cipher.view.captionsShown.empty());

    SelectSecret(rig);
    rig.clipboard.content = "old";
    rig.cipher.view.scripts.push_back(CancelDialog());
    (rig.form.*command)(nullptr);
    EXPECT_EQ(rig.clipboard.content, "old");
    EXPECT_EQ(rig.memo.text, "one secret two");
    EXPECT_EQ(rig.memo.GetSelectedText(), "secret");
    EXPECT_EQ(rig.clipboard.opens, 1) << "opened only for the empty selection";
  }
}

TEST(EditCutAndCopy, EmptyKeyPutsTheSelectionItself) {
  MainFormRig rig;
  SelectSecret(rig);
  rig.cipher.view.scripts.push_back(EnterKey(""));
  rig.form.EditCut();
  EXPECT_EQ(rig.clipboard.content, "secret");
  EXPECT_EQ(rig.memo.text, "one  two");
}

// A clipboard that cannot be opened fails the command after the key was asked for, and the cut
// keeps the selection.
TEST(EditCutAndCopy, BusyClipboardFailsAndKeepsTheSelection) {
  for (const auto command : {&TMainForm::EditCut, &TMainForm::EditCopy}) {
    MainFormRig rig;
    SelectSecret(rig);
    rig.clipboard.busy = true;
    rig.cipher.view.scripts.push_back(EnterKey("key"));
    try {
      (rig.form.*command)(nullptr);
      ADD_FAILURE() << "no failure raised";
    } catch (const Failure& e) {
      EXPECT_STREQ(e.what(), "クリップボードを開くことができません");
    }
    EXPECT_EQ(rig.memo.text, "one secret two");
    EXPECT_EQ(rig.memo.GetSelectedText(), "secret");
  }
}

TEST(EditPaste, ReplacesTheSelectionWithTheDecryptedClipboardForGood) {
  MainFormRig rig;
  SelectSecret(rig);
  rig.clipboard.content = Encrypted("plain\r\ntext", "key");
  rig.cipher.view.scripts.push_back([&rig](ScriptedCipherView& view) {
    EXPECT_EQ(rig.clipboard.opens, 1) << "the clipboard is read before the key is asked for";
    EnterKey("key")(view);
  });
  rig.form.EditPaste();
  EXPECT_EQ(rig.memo.text, "one plain\r\ntext two");
  EXPECT_EQ(rig.memo.selStart, 15u) << "the caret stands after the pasted text";
  rig.form.EditUndo();
  EXPECT_EQ(rig.memo.text, "one plain\r\ntext two") << "undo never brings the selection back";
}

TEST(EditPaste, OutcomesByClipboardAndKey) {
  const Text encoded = Encrypted("plain", "key");
  struct Case {
    const char* what;
    std::optional<Text> clipboard;
    std::vector<ScriptedCipherView::Script> keyDialog;
    Text memo;
    std::size_t boxes;
  };
  const Case cases[] = {
      {"no text on the clipboard deletes the selection", std::nullopt, {}, "one  two", 0},
      {"empty text deletes the selection", "", {}, "one  two", 0},
      {"empty key pastes the clipboard unchanged", "as is", {EnterKey("")}, "one as is two", 1},
      {"cancelled key changes nothing", encoded, {CancelDialog()}, "one secret two", 0},
      {"text that does not decode changes nothing",
       "ふつうの文章",
       {EnterKey("key")},
       "one secret two",
       1},
      {"a decoded zero byte ends the pasted text",
       Encrypted(Text("ab\0cd", 5), "key"),
       {EnterKey("key")},
       "one ab two",
       0},
  };
  for (const auto& c : cases) {
    MainFormRig rig;
    SelectSecret(rig);
    rig.clipboard.content = c.clipboard;
    for (const auto& script : c.keyDialog)
      rig.cipher.view.scripts.push_back(script);
    rig.form.EditPaste();
    EXPECT_EQ(rig.memo.text, c.memo) << c.what;
    EXPECT_EQ(rig.cipher.boxes.shown.size(), c.boxes) << c.what;
  }
}

TEST(EditPaste, BusyClipboardFailsWithoutAskingForTheKey) {
  MainFormRig rig;
  SelectSecret(rig);
  rig.clipboard.busy = true;
  EXPECT_THROW(rig.form.EditPaste(), Failure);
  EXPECT_TRUE(rig.cipher.view.captionsShown.empty());
  EXPECT_EQ(rig.memo.text, "one secret two");
}

TEST(EditCopyThenPaste, GivesBackTheCopiedText) {
  MainFormRig rig;
  rig.memo.text = "第一行\r\n二行目\r\n";
  rig.form.EditSelectAll();
  rig.cipher.view.scripts.push_back(EnterKey("鍵"));
  rig.form.EditCopy();
  rig.memo.Select(rig.memo.text.size(), 0);
  rig.cipher.view.scripts.push_back(EnterKey("鍵"));
  rig.form.EditPaste();
  EXPECT_EQ(rig.memo.text, "第一行\r\n二行目\r\n第一行\r\n二行目\r\n");
}

// The plain commands are the edit area's own, so their changes can be undone.
TEST(PlainEditCommands, AreTheEditAreasOwnAndUndoable) {
  MainFormRig rig;
  SelectSecret(rig);
  rig.form.EditCutNormal();
  EXPECT_EQ(rig.clipboard.content, "secret");
  EXPECT_EQ(rig.memo.text, "one  two");
  rig.form.EditUndo();
  EXPECT_EQ(rig.memo.text, "one secret two");

  rig.memo.Select(0, 3);
  rig.form.EditCopyNormal();
  EXPECT_EQ(rig.clipboard.content, "one");
  rig.memo.Select(rig.memo.text.size(), 0);
  rig.form.EditPasteNormal();
  EXPECT_EQ(rig.memo.text, "one secret twoone");
  rig.form.EditUndo();
  EXPECT_EQ(rig.memo.text, "one secret two");

  rig.form.EditSelectAll();
  EXPECT_EQ(rig.memo.GetSelectedText(), "one secret two");
  EXPECT_TRUE(rig.cipher.view.captionsShown.empty());
}

TEST(EditKey, RunsTheKeyChange) {
  MainFormRig rig;
  rig.cipher.view.scripts.push_back(EnterKey("new"));
  rig.form.EditKey();
  EXPECT_EQ(rig.cipher.view.captionsShown, std::vector<std::string>{kChangeKeyCaption});
  EXPECT_TRUE(rig.cipher.view.remember);
}

TEST(HelpAbout, ShowsTheAboutBox) {
  MainFormRig rig;
  rig.form.HelpAbout();
  rig.form.HelpAbout();
  EXPECT_EQ(rig.about.shown, 2);
}

}  // namespace
}  // namespace vellumo
