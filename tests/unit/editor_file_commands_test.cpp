// The file commands: what location, caption, edit area and the files on disk hold after success,
// a cancelled dialog, a cancelled key request, text that does not decode and a file failure.
#include <gtest/gtest.h>

#include "editor/document_path.h"
#include "editor_fakes.h"

namespace vellumo {
namespace {

using testing::CancelDialog;
using testing::CipherRig;
using testing::Decrypted;
using testing::Encrypted;
using testing::EnterKey;
using testing::ExpectLocation;
using testing::FileOp;
using testing::InOutErrorOf;
using testing::kDefaultName;
using testing::MainFormRig;
using testing::ScriptedCipherView;

// An empty key accepted with OK in the warning box.
ScriptedCipherView::Script EnterEmptyKey() {
  return EnterKey("");
}

TEST(FileNew, StartsAnEmptyDocumentWithTheDefaultName) {
  MainFormRig rig;
  rig.form.CurrentDir = "C:\\docs\\";
  rig.form.CurrentFileName = "a.txt";
  rig.memo.text = "old text";
  rig.cipher.view.remember = true;
  rig.form.FileNew();
  ExpectLocation(rig, "", kDefaultName);
  EXPECT_EQ(rig.memo.text, "");
  EXPECT_EQ(rig.window.caption, "Vellumo - 202612062017.qzv");
  EXPECT_TRUE(rig.cipher.view.remember) << "the key state is not touched";
}

// The decrypting open puts whatever decryption answers into the edit area.
TEST(FileOpen, PutsTheDecryptionOutcomeIntoTheEditArea) {
  const Text encoded = Encrypted("secret\r\nline\r\n", "key");
  struct Case {
    const char* what;
    Text file;
    std::vector<ScriptedCipherView::Script> keyDialog;
    Text memo;
    std::size_t boxes;
  };
  const Case cases[] = {
      {"decrypts", encoded, {EnterKey("key")}, "secret\r\nline\r\n", 0},
      {"empty file, no key asked", "", {}, "", 0},
      {"empty key shows the text as read", encoded, {EnterEmptyKey()}, encoded, 1},
      {"cancelled key request empties", encoded, {CancelDialog()}, "", 0},
      {"plain text does not decode", "plain text\r\n", {EnterKey("key")}, "", 1},
  };
  for (const auto& c : cases) {
    MainFormRig rig;
    rig.WriteFile("C:\\docs\\a.qzv", c.file);
    rig.memo.text = "before";
    rig.dialogs.openAnswers.push_back("C:\\docs\\a.qzv");
    for (const auto& script : c.keyDialog)
      rig.cipher.view.scripts.push_back(script);
    rig.form.FileOpen();
    EXPECT_EQ(rig.memo.text, c.memo) << c.what;
    ExpectLocation(rig, "C:\\docs\\", "a.qzv");
    EXPECT_EQ(rig.window.caption, "Vellumo - a.qzv") << c.what;
    EXPECT_EQ(rig.cipher.boxes.shown.size(), c.boxes) << c.what;
    EXPECT_EQ(rig.ReadFile("C:\\docs\\a.qzv"), c.file) << c.what << ": opening never writes";
  }
}

TEST(FileOpen, DecodeFailureShowsItsMessage) {
  MainFormRig rig;
  rig.WriteFile("C:\\a.qzv", "これは平文です\r\n");
  rig.dialogs.openAnswers.push_back("C:\\a.qzv");
  rig.cipher.view.scripts.push_back(EnterKey("key"));
  rig.form.FileOpen();
  ASSERT_EQ(rig.cipher.boxes.shown.size(), 1u);
  EXPECT_EQ(rig.cipher.boxes.shown[0].text, kDecryptFailedMessage);
}

TEST(FileOpenNormal, PutsTheTextAsReadUpToAZeroByte) {
  const struct {
    Text file;
    Text memo;
  } cases[] = {
      {"a\rb", "a\r\nb\r\n"},
      {Text("ab\0cd", 5), "ab"},
      {"", ""},
  };
  for (const auto& c : cases) {
    MainFormRig rig;
    rig.WriteFile("D:\\x\\n.txt", c.file);
    rig.dialogs.openAnswers.push_back("D:\\x\\n.txt");
    rig.form.FileOpenNormal();
    EXPECT_EQ(rig.memo.text, c.memo);
    ExpectLocation(rig, "D:\\x\\", "n.txt");
    EXPECT_EQ(rig.window.caption, "Vellumo - n.txt");
    EXPECT_TRUE(rig.cipher.view.captionsShown.empty()) << "no key is asked for";
  }
}

TEST(FileOpen, EqualTextLeavesTheEditAreaAlone) {
  MainFormRig rig;
  rig.WriteFile("C:\\a.txt", "same\r\n");
  rig.memo.text = "same\r\n";
  rig.dialogs.openAnswers.push_back("C:\\a.txt");
  rig.form.FileOpenNormal();
  EXPECT_EQ(rig.memo.setTextCalls, 0);
}

TEST(FileOpen, CancelledDialogChangesNothing) {
  for (const auto command : {&TMainForm::FileOpen, &TMainForm::FileOpenNormal}) {
    MainFormRig rig;
    rig.form.FileNew();
    rig.memo.text = "kept";
    rig.dialogs.openAnswers.push_back(std::nullopt);
    (rig.form.*command)(nullptr);
    ExpectLocation(rig, "", kDefaultName);
    EXPECT_EQ(rig.memo.text, "kept");
    EXPECT_EQ(rig.window.caption, "Vellumo - 202612062017.qzv");
  }
}

// A file failure leaves the new location, the old caption and the old text.
TEST(FileOpen, FileFailureKeepsTheNewLocationAndTheOldCaptionAndText) {
  for (const auto command : {&TMainForm::FileOpen, &TMainForm::FileOpenNormal}) {
    MainFormRig rig;
    rig.form.FileNew();
    rig.memo.text = "kept";
    rig.dialogs.openAnswers.push_back("C:\\docs\\missing.qzv");
    EXPECT_EQ(InOutErrorOf([&] { (rig.form.*command)(nullptr); }), kErrorFileNotFound);
    ExpectLocation(rig, "C:\\docs\\", "missing.qzv");
    EXPECT_EQ(rig.window.caption, "Vellumo - 202612062017.qzv");
    EXPECT_EQ(rig.memo.text, "kept");
    EXPECT_TRUE(rig.cipher.view.captionsShown.empty());
  }
}

TEST(FileOpen, ReadFailureClosesTheFileAndKeepsTheText) {
  MainFormRig rig;
  rig.WriteFile("C:\\a.qzv", "abc");
  rig.memo.text = "kept";
  rig.files.FailNth(FileOp::Read, 1, 23);
  rig.dialogs.openAnswers.push_back("C:\\a.qzv");
  EXPECT_EQ(InOutErrorOf([&] { rig.form.FileOpen(); }), 23);
  EXPECT_EQ(rig.memo.text, "kept");
  EXPECT_EQ(rig.window.caption, "MainForm");
  EXPECT_EQ(rig.files.openFiles, 0);
}

TEST(FileSave, NewDocumentAsksForANamePresetWithTheDefaultName) {
  MainFormRig rig;
  rig.form.FileNew();
  rig.memo.text = "note\r\n";
  rig.dialogs.saveAnswers.push_back("C:\\docs\\note.qzv");
  rig.cipher.view.scripts.push_back(EnterKey("key"));
  rig.form.FileSave();
  EXPECT_EQ(rig.dialogs.savePresets, std::vector<std::string>{kDefaultName});
  ExpectLocation(rig, "C:\\docs\\", "note.qzv");
  EXPECT_EQ(rig.window.caption, "Vellumo - note.qzv");
  EXPECT_EQ(Decrypted(rig.ReadFile("C:\\docs\\note.qzv").value_or(""), "key"), "note\r\n");
}

TEST(FileSave, SavedDocumentIsEncryptedToItsOwnFileWithoutADialog) {
  MainFormRig rig;
  rig.form.CurrentDir = "C:\\docs\\";
  rig.form.CurrentFileName = "a.qzv";
  rig.WriteFile("C:\\docs\\a.qzv", "old");
  rig.memo.text = "new text\r\n";
  rig.cipher.view.scripts.push_back(EnterKey("key"));
  rig.form.FileSave();
  const Text written = rig.ReadFile("C:\\docs\\a.qzv").value_or("");
  EXPECT_NE(written, "new text\r\n");
  EXPECT_EQ(Decrypted(written, "key"), "new text\r\n");
  EXPECT_EQ(rig.window.caption, "Vellumo - a.qzv");
  EXPECT_TRUE(rig.dialogs.savePresets.empty());
}

TEST(FileSave, WhatIsWrittenForAnEmptyTextAnEmptyKeyAndACancelledKey) {
  struct Case {
    const char* what;
    Text memo;
    std::vector<ScriptedCipherView::Script> keyDialog;
    std::optional<Text> file;  // nothing: no file written
  };
  const Case cases[] = {
      {"empty text, no key asked", "", {}, ""},
      {"empty key writes the text itself", "plain\r\n", {EnterEmptyKey()}, "plain\r\n"},
      {"cancelled key writes nothing", "plain\r\n", {CancelDialog()}, std::nullopt},
  };
  for (const auto& c : cases) {
    MainFormRig rig;
    rig.form.CurrentDir = "C:\\";
    rig.form.CurrentFileName = "a.qzv";
    rig.memo.text = c.memo;
    for (const auto& script : c.keyDialog)
      rig.cipher.view.scripts.push_back(script);
    rig.form.FileSave();
    EXPECT_EQ(rig.ReadFile("C:\\a.qzv"), c.file) << c.what;
    EXPECT_EQ(rig.window.caption, c.file ? "Vellumo - a.qzv" : "MainForm") << c.what;
  }
}

TEST(FileSave, FileFailureLeavesTheOldFileAndCaption) {
  struct Case {
    FileOp op;
    int error;
  };
  for (const Case c : {Case{FileOp::ProbeWrite, kErrorAccessDenied},
                       Case{FileOp::Write, kErrorDiskFull}, Case{FileOp::Replace, 32}}) {
    for (const auto command : {&TMainForm::FileSave, &TMainForm::FileSaveNormal}) {
      MainFormRig rig;
      rig.cipher.view.remember = true;
      rig.cipher.view.key = "key";
      rig.form.CurrentDir = "C:\\";
      rig.form.CurrentFileName = "a.qzv";
      rig.WriteFile("C:\\a.qzv", "old");
      rig.memo.text = "new";
      rig.files.FailNth(c.op, 1, c.error);
      EXPECT_EQ(InOutErrorOf([&] { (rig.form.*command)(nullptr); }), c.error);
      EXPECT_EQ(rig.ReadFile("C:\\a.qzv"), "old");
      EXPECT_EQ(rig.window.caption, "MainForm");
      EXPECT_EQ(rig.memo.text, "new");
    }
  }
}

TEST(FileSaveAs, CancelledDialogChangesNothing) {
  for (const auto command : {&TMainForm::FileSaveAs, &TMainForm::FileSaveAsNormal}) {
    MainFormRig rig;
    rig.form.CurrentDir = "C:\\";
    rig.form.CurrentFileName = "a.qzv";
    rig.memo.text = "text";
    rig.dialogs.saveAnswers.push_back(std::nullopt);
    (rig.form.*command)(nullptr);
    EXPECT_EQ(rig.dialogs.savePresets, std::vector<std::string>{"a.qzv"});
    ExpectLocation(rig, "C:\\", "a.qzv");
    EXPECT_TRUE(rig.folder.Files().empty());
  }
}

// The location takes the chosen path before the key is asked for; a following save uses it.
TEST(FileSaveAs, CancelledKeyKeepsTheNewLocationAndTheOldCaption) {
  MainFormRig rig;
  rig.form.FileNew();
  rig.memo.text = "text\r\n";
  rig.dialogs.saveAnswers.push_back("C:\\docs\\b.qzv");
  rig.cipher.view.scripts.push_back(CancelDialog());
  rig.form.FileSaveAs();
  ExpectLocation(rig, "C:\\docs\\", "b.qzv");
  EXPECT_EQ(rig.window.caption, "Vellumo - 202612062017.qzv");
  EXPECT_TRUE(rig.folder.Files().empty());

  rig.cipher.view.scripts.push_back(EnterKey("key"));
  rig.form.FileSave();
  EXPECT_EQ(Decrypted(rig.ReadFile("C:\\docs\\b.qzv").value_or(""), "key"), "text\r\n");
  EXPECT_EQ(rig.window.caption, "Vellumo - b.qzv");
}

TEST(FileSaveAsNormal, WritesTheTextAsItIsUnderTheChosenName) {
  MainFormRig rig;
  rig.form.FileNew();
  rig.memo.text = "a\r\nb";
  rig.dialogs.saveAnswers.push_back("E:\\out.txt");
  rig.form.FileSaveNormal();  // a new document goes through the dialog
  EXPECT_EQ(rig.dialogs.savePresets, std::vector<std::string>{kDefaultName});
  EXPECT_EQ(rig.ReadFile("E:\\out.txt"), "a\r\nb");
  ExpectLocation(rig, "E:\\", "out.txt");
  EXPECT_EQ(rig.window.caption, "Vellumo - out.txt");
  EXPECT_TRUE(rig.cipher.view.captionsShown.empty());
}

TEST(FileSaveNormal, AfterADecryptingOpenWritesThePlainTextToTheOpenedFile) {
  MainFormRig rig;
  rig.WriteFile("C:\\a.qzv", Encrypted("plain\r\n", "key"));
  rig.dialogs.openAnswers.push_back("C:\\a.qzv");
  rig.cipher.view.scripts.push_back(EnterKey("key"));
  rig.form.FileOpen();
  rig.form.FileSaveNormal();
  EXPECT_EQ(rig.ReadFile("C:\\a.qzv"), "plain\r\n");
}

TEST(FileExit, ClosesTheWindow) {
  MainFormRig rig;
  rig.memo.text = "unsaved";
  rig.form.FileExit();
  EXPECT_TRUE(rig.window.closed);
  EXPECT_TRUE(rig.folder.Files().empty()) << "nothing is saved";
}

}  // namespace
}  // namespace vellumo
