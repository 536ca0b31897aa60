// The start-up open and files dropped on the window: what location, caption, edit area and the
// files on disk hold after success, a cancelled key request, text that does not decode and a
// file failure.
#include <gtest/gtest.h>

#include "editor_fakes.h"

namespace vellumo {
namespace {

using testing::CancelDialog;
using testing::Decrypted;
using testing::Encrypted;
using testing::EnterKey;
using testing::ExpectLocation;
using testing::InOutErrorOf;
using testing::kDefaultName;
using testing::MainFormRig;
using testing::ScriptedCipherView;

TEST(FormActivate, WithoutAnArgumentStartsANewDocument) {
  for (const char* line : {"vellumo.exe", "\"C:\\Program Files\\vellumo.exe\"  \"\" ", ""}) {
    MainFormRig rig(line);
    rig.form.FormActivate();
    ExpectLocation(rig, "", kDefaultName);
    EXPECT_EQ(rig.memo.text, "") << line;
    EXPECT_EQ(rig.window.caption, "Vellumo - 202612062017.qzv") << line;
  }
}

// The argument's extension decides whether the file is decrypted; a cancelled key request shows
// the text as read, text that does not decode an empty edit area.
TEST(FormActivate, OpensTheArgumentDecryptingOnlyQzvFiles) {
  const Text encoded = Encrypted("plain\r\n", "key");
  struct Case {
    std::string argument;
    std::string dir;
    std::string name;
    Text file;
    std::vector<ScriptedCipherView::Script> keyDialog;
    Text memo;
  };
  const Case cases[] = {
      {"C:\\a\\b.qzv", "C:\\a\\", "b.qzv", encoded, {EnterKey("key")}, "plain\r\n"},
      {"C:\\a\\b.QZV", "C:\\a\\", "b.QZV", encoded, {EnterKey("key")}, "plain\r\n"},
      {"C:\\a\\b.Qzv", "C:\\a\\", "b.Qzv", encoded, {EnterKey("key")}, "plain\r\n"},
      {"C:\\a\\b.qzv.txt", "C:\\a\\", "b.qzv.txt", encoded, {}, encoded},
      {"C:\\a.qzv\\b", "C:\\a.qzv\\", "b", encoded, {}, encoded},
      {"C:\\a\\b.qzv", "C:\\a\\", "b.qzv", encoded, {CancelDialog()}, encoded},
      {"C:\\a\\b.qzv", "C:\\a\\", "b.qzv", "not encoded\r\n", {EnterKey("key")}, ""},
      {"memo.qzv", "", "memo.qzv", encoded, {EnterKey("key")}, "plain\r\n"},
  };
  for (const auto& c : cases) {
    MainFormRig rig("vellumo.exe \"" + c.argument + "\" ignored");
    rig.WriteFile(c.argument, c.file);
    for (const auto& script : c.keyDialog)
      rig.cipher.view.scripts.push_back(script);
    rig.form.FormActivate();
    ExpectLocation(rig, c.dir, c.name);
    EXPECT_EQ(rig.memo.text, c.memo) << c.argument;
    EXPECT_EQ(rig.window.caption, "Vellumo - " + c.name);
  }
}

TEST(FormActivate, RunsOnlyAtTheFirstActivation) {
  MainFormRig rig;
  rig.form.FormActivate();
  rig.memo.text = "typed";
  rig.form.CurrentFileName = "other.txt";
  rig.form.FormActivate();
  EXPECT_EQ(rig.memo.text, "typed");
  EXPECT_EQ(rig.form.CurrentFileName, "other.txt");
}

// A missing file: the failure is raised, the window keeps what it was created with, and a later
// save creates the file at the named path.
TEST(FormActivate, MissingFileFailsAndALaterSaveCreatesIt) {
  MainFormRig rig("vellumo.exe C:\\a\\new.qzv");
  rig.WriteFile("C:\\a\\other.txt", "");
  EXPECT_EQ(InOutErrorOf([&] { rig.form.FormActivate(); }), kErrorFileNotFound);
  ExpectLocation(rig, "C:\\a\\", "new.qzv");
  EXPECT_EQ(rig.window.caption, "MainForm");
  EXPECT_EQ(rig.memo.text, "\r\n");

  rig.memo.text = "first\r\n";
  rig.cipher.view.scripts.push_back(EnterKey("key"));
  rig.form.FileSave();
  EXPECT_EQ(Decrypted(rig.ReadFile("C:\\a\\new.qzv").value_or(""), "key"), "first\r\n");
  EXPECT_EQ(rig.window.caption, "Vellumo - new.qzv");
}

// Started with a bare name, the document has no folder, so saving asks for a name preset with it.
TEST(FormActivate, BareNameMakesTheNextSaveAskForAName) {
  MainFormRig rig("vellumo.exe memo.txt");
  rig.WriteFile("memo.txt", "text\r\n");
  rig.form.FormActivate();
  EXPECT_EQ(rig.memo.text, "text\r\n");
  rig.dialogs.saveAnswers.push_back(std::nullopt);
  rig.form.FileSaveNormal();
  EXPECT_EQ(rig.dialogs.savePresets, std::vector<std::string>{"memo.txt"});
}

// A dropped file is opened exactly as the start-up open opens the command line's: the same
// location, caption, edit area, key requests, messages and failures, case by case.
TEST(FilesDropped, OpenTheFirstFileAsTheStartUpOpenDoes) {
  const Text encoded = Encrypted("plain\r\n", "key");
  struct Case {
    const char* what;
    std::string path;
    std::optional<Text> file;  // none: missing
    std::vector<ScriptedCipherView::Script> keyDialog;
  };
  const Case cases[] = {
      {"decrypted", "C:\\a\\b.qzv", encoded, {EnterKey("key")}},
      {"upper-case extension", "C:\\a\\b.QZV", encoded, {EnterKey("key")}},
      {"key request cancelled: the text as read", "C:\\a\\b.qzv", encoded, {CancelDialog()}},
      {"does not decode: empty, with the message", "C:\\a\\b.qzv", "plain\r\n", {EnterKey("key")}},
      {"not .qzv: as read", "C:\\a\\b.qzv.txt", encoded, {}},
      {"missing file", "C:\\a\\gone.qzv", std::nullopt, {}},
  };
  for (const Case& c : cases) {
    MainFormRig started("vellumo.exe \"" + c.path + "\"");
    MainFormRig dropped;
    int failures[2];
    int i = 0;
    for (MainFormRig* rig : {&started, &dropped}) {
      rig->memo.text = "typed\r\n";
      if (c.file) rig->WriteFile(c.path, *c.file);
      for (const auto& script : c.keyDialog)
        rig->cipher.view.scripts.push_back(script);
      failures[i++] = InOutErrorOf([&] {
        if (rig == &started) {
          rig->form.FormActivate();
        } else {
          rig->form.FilesDropped({c.path, "C:\\other.txt"});
        }
      });
    }
    EXPECT_EQ(failures[1], failures[0]) << c.what;
    ExpectLocation(dropped, started.form.CurrentDir, started.form.CurrentFileName);
    EXPECT_EQ(dropped.window.caption, started.window.caption) << c.what;
    EXPECT_EQ(dropped.memo.text, started.memo.text) << c.what;
    EXPECT_EQ(dropped.cipher.view.captionsShown, started.cipher.view.captionsShown) << c.what;
    EXPECT_EQ(dropped.cipher.boxes.shown.size(), started.cipher.boxes.shown.size()) << c.what;
  }
}

TEST(FilesDropped, TakesTheFirstOfSeveralAndIgnoresNone) {
  MainFormRig rig;
  rig.form.FormActivate();
  rig.memo.text = "typed\r\n";
  rig.form.FilesDropped({});
  EXPECT_EQ(rig.memo.text, "typed\r\n") << "nothing dropped, nothing opened";

  rig.WriteFile("D:\\first.txt", "first\r\n");
  rig.WriteFile("D:\\second.txt", "second\r\n");
  rig.form.FilesDropped({"D:\\first.txt", "D:\\second.txt"});
  ExpectLocation(rig, "D:\\", "first.txt");
  EXPECT_EQ(rig.memo.text, "first\r\n");
  EXPECT_EQ(rig.window.caption, "Vellumo - first.txt");
}

// A window shown without activation can take a drop before its first activation: the dropped
// file then stays, and the activation opens nothing over it.
TEST(FilesDropped, BeforeTheFirstActivationTakesThePlaceOfTheStartUpOpen) {
  MainFormRig rig("vellumo.exe C:\\docs\\argument.txt");
  rig.WriteFile("C:\\docs\\argument.txt", "argument\r\n");
  rig.WriteFile("D:\\dropped.txt", "dropped\r\n");
  rig.form.FilesDropped({"D:\\dropped.txt"});
  rig.form.FormActivate();
  ExpectLocation(rig, "D:\\", "dropped.txt");
  EXPECT_EQ(rig.memo.text, "dropped\r\n");
  EXPECT_EQ(rig.window.caption, "Vellumo - dropped.txt");
}

}  // namespace
}  // namespace vellumo
