// The question before characters without a code page 932 form become "?": its text, the line
// and character it names, and its flow in the four saves and the encrypting cut and copy (OK goes
// on, キャンセル ends the command before the key is asked for, Save As asks after its dialog).
#include <gtest/gtest.h>

#include "editor/unmappable.h"
#include "editor_fakes.h"

namespace vellumo {
namespace {

using testing::Decrypted;
using testing::EnterKey;
using testing::MainFormRig;
using testing::ScriptedCipherView;

TEST(UnmappableQuestion, NamesTheLineAndTheCharacter) {
  EXPECT_EQ(UnmappableQuestion({12, "한"}),
            "このテキストには、Shift_JIS（コードページ 932）で表せない文字が含まれています"
            "（12 行目の「한」など）。\r\nこれらの文字は「?」に置き換えられます。続けますか？");
}

TEST(DescribeUnmappable, LineAndCharacterAtAnIndex) {
  struct Case {
    const char* what;
    std::u16string text;
    std::size_t index;
    UnmappableCharacter expected;
  };
  const Case cases[] = {
      {"first line", u"한", 0, {1, "한"}},
      {"lines end at CR LF", u"a\r\n\r\nb♥", 6, {3, "♥"}},
      {"a lone CR or LF ends no line", u"a\rb\nc\r\né", 7, {2, "é"}},
      {"a surrogate pair is one character", u"ab\r\n😀", 4, {2, "😀"}},
  };
  for (const auto& c : cases) {
    const UnmappableCharacter got = DescribeUnmappable(c.text, c.index);
    EXPECT_EQ(got.line, c.expected.line) << c.what;
    EXPECT_EQ(got.character, c.expected.character) << c.what;
  }
}

// A document at C:\docs\a.txt on disk, whose edit area holds "one", a line break and "t한o",
// where 한 reads as "?"; for the cut and copy the second line is selected.
constexpr const char* kPath = "C:\\docs\\a.txt";
constexpr const char* kText = "one\r\nt?o\r\n";
constexpr const char* kQuestion =
    "このテキストには、Shift_JIS（コードページ 932）で表せない文字が含まれています"
    "（2 行目の「한」など）。\r\nこれらの文字は「?」に置き換えられます。続けますか？";

void OpenDocument(MainFormRig& rig) {
  rig.form.CurrentDir = "C:\\docs\\";
  rig.form.CurrentFileName = "a.txt";
  rig.WriteFile(kPath, "old");
  rig.window.caption = "Vellumo - a.txt";
  rig.memo.text = kText;
  rig.memo.unmappable = {{6, "한"}};
  rig.memo.Select(5, 3);
  rig.clipboard.content = "old clip";
}

struct Command {
  const char* name;
  void (TMainForm::*run)(Sender);
  bool encrypts;
  bool clipboard;  // writes the clipboard, not the file
};
constexpr Command kCommands[] = {
    {"FileSave", &TMainForm::FileSave, true, false},
    {"FileSaveNormal", &TMainForm::FileSaveNormal, false, false},
    {"EditCut", &TMainForm::EditCut, true, true},
    {"EditCopy", &TMainForm::EditCopy, true, true},
};

TEST(UnmappableQuestion, CancelEndsTheCommandBeforeTheKeyIsAskedFor) {
  for (const Command& c : kCommands) {
    MainFormRig rig;
    OpenDocument(rig);
    rig.cipher.boxes.answers.push_back(kResultCancel);
    (rig.form.*c.run)(nullptr);
    ASSERT_EQ(rig.cipher.boxes.shown.size(), 1u) << c.name;
    EXPECT_EQ(rig.cipher.boxes.shown[0].text, kQuestion) << c.name;
    EXPECT_EQ(rig.cipher.boxes.shown[0].kind, MessageKind::Warning) << c.name;
    EXPECT_EQ(rig.cipher.boxes.shown[0].buttons, kOkCancel) << c.name;
    EXPECT_TRUE(rig.cipher.view.captionsShown.empty()) << c.name << ": no key asked for";
    EXPECT_EQ(rig.ReadFile(kPath), "old") << c.name;
    EXPECT_EQ(rig.clipboard.opens, 0) << c.name;
    EXPECT_EQ(rig.clipboard.content, "old clip") << c.name;
    EXPECT_EQ(rig.form.CurrentDir + rig.form.CurrentFileName, kPath) << c.name;
    EXPECT_EQ(rig.window.caption, "Vellumo - a.txt") << c.name;
    EXPECT_EQ(rig.memo.text, kText) << c.name;
    EXPECT_EQ(rig.memo.GetSelectedText(), "t?o") << c.name;
  }
}

TEST(UnmappableQuestion, OkGoesOnAsWithoutTheQuestion) {
  for (const Command& c : kCommands) {
    MainFormRig rig;
    OpenDocument(rig);
    rig.cipher.boxes.answers.push_back(kResultOk);
    if (c.encrypts) {
      rig.cipher.view.scripts.push_back([&rig, c](ScriptedCipherView& view) {
        EXPECT_EQ(rig.cipher.boxes.shown.size(), 1u) << c.name << ": asked before the key";
        EnterKey("key")(view);
      });
    }
    (rig.form.*c.run)(nullptr);
    EXPECT_EQ(rig.cipher.boxes.shown.size(), 1u) << c.name;
    if (c.clipboard) {
      EXPECT_EQ(Decrypted(rig.clipboard.content.value_or(""), "key"), "t?o") << c.name;
    } else {
      const Text written = rig.ReadFile(kPath).value_or("");
      EXPECT_EQ(c.encrypts ? Decrypted(written, "key") : written, kText) << c.name;
    }
  }
}

// Save As asks after its dialog; declining then keeps the new location and the old caption, as a
// cancelled key request does. A cancelled dialog asks nothing.
TEST(UnmappableQuestion, SaveAsAsksAfterItsDialog) {
  for (const auto command : {&TMainForm::FileSaveAs, &TMainForm::FileSaveAsNormal}) {
    MainFormRig rig;
    OpenDocument(rig);
    rig.dialogs.saveAnswers.push_back(std::nullopt);
    (rig.form.*command)(nullptr);
    EXPECT_TRUE(rig.cipher.boxes.shown.empty());

    rig.dialogs.saveAnswers.push_back("D:\\new.qzv");
    rig.cipher.boxes.answers.push_back(kResultCancel);
    (rig.form.*command)(nullptr);
    EXPECT_EQ(rig.dialogs.savePresets.size(), 2u);
    ASSERT_EQ(rig.cipher.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.cipher.boxes.shown[0].text, kQuestion);
    EXPECT_TRUE(rig.cipher.view.captionsShown.empty());
    EXPECT_EQ(rig.form.CurrentDir, "D:\\");
    EXPECT_EQ(rig.form.CurrentFileName, "new.qzv");
    EXPECT_EQ(rig.window.caption, "Vellumo - a.txt");
    EXPECT_FALSE(rig.ReadFile("D:\\new.qzv"));
    EXPECT_EQ(rig.memo.text, kText);
  }
}

// Nothing is asked when every character has a form, nor for a selection without the unmappable
// one.
TEST(UnmappableQuestion, NotAskedWhenEveryCharacterHasAForm) {
  for (const Command& c : kCommands) {
    MainFormRig rig;
    OpenDocument(rig);
    if (c.clipboard) {
      rig.memo.Select(0, 3);
    } else {
      rig.memo.unmappable.clear();
    }
    if (c.encrypts) rig.cipher.view.scripts.push_back(EnterKey("key"));
    (rig.form.*c.run)(nullptr);
    EXPECT_TRUE(rig.cipher.boxes.shown.empty()) << c.name;
  }
}

// An edit area that shows a character as "?" does not hold the text "?": opening a file whose
// bytes equal that form still puts the file's text in.
TEST(UnmappableQuestion, OpeningReplacesAnEditAreaThatOnlyLooksTheSame) {
  MainFormRig rig;
  rig.memo.text = "t?o\r\n";
  rig.memo.unmappable = {{1, "한"}};
  rig.WriteFile(kPath, "t?o\r\n");
  rig.dialogs.openAnswers.push_back(kPath);
  const int before = rig.memo.setTextCalls;
  rig.form.FileOpenNormal();
  EXPECT_EQ(rig.memo.setTextCalls, before + 1);
}

}  // namespace
}  // namespace vellumo
