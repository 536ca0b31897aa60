// Failure texts, the message box model and command-line splitting.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/failure_text.h"
#include "app/message_box.h"

namespace vellumo {
namespace {

TEST(FailureText, AppendsAFullStopAfterCharactersAboveIt) {
  const std::pair<std::string, std::string> cases[] = {
      {"ファイルが見つかりません", "ファイルが見つかりません."},
      {"I/O エラー (32)", "I/O エラー (32)"},
      {"done.", "done."},
      {"解読に失敗しました。", "解読に失敗しました。."},
      {"abc", "abc."},
      {"disk 9", "disk 9."},
      {"ends with slash/", "ends with slash/."},  // "/" (47) is above "." (46)
      {"ends with space ", "ends with space "},
      {"comma,", "comma,"},
      {"ｶ", "ｶ."},  // a half-width katakana
      {"", ""},
  };
  for (const auto& [in, out] : cases)
    EXPECT_EQ(FailureText(in), out) << in;
}

TEST(MessageBox, ButtonsInTableOrderWithDefaultAndCancel) {
  using B = MessageButton;
  struct Case {
    MessageButtons set;
    std::vector<B> shown;
    std::optional<B> enter, escape;
  };
  const Case cases[] = {
      {kOkCancel, {B::OK, B::Cancel}, B::OK, B::Cancel},
      {kOkOnly, {B::OK}, B::OK, B::OK},
      {static_cast<MessageButtons>(ButtonBit(B::No) | ButtonBit(B::Yes)),
       {B::Yes, B::No},
       B::Yes,
       B::No},
      {static_cast<MessageButtons>(ButtonBit(B::Ignore) | ButtonBit(B::Retry) |
                                   ButtonBit(B::Abort)),
       {B::Abort, B::Retry, B::Ignore},
       B::Retry,
       std::nullopt},
      {0x07FF,
       {B::Yes, B::No, B::OK, B::Cancel, B::Abort, B::Retry, B::Ignore, B::All, B::NoToAll,
        B::YesToAll, B::Help},
       B::OK,
       B::Cancel},
      {ButtonBit(B::Help), {B::Help}, std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ButtonsShown(c.set), c.shown) << c.set;
    EXPECT_EQ(DefaultButton(c.set), c.enter) << c.set;
    EXPECT_EQ(CancelButton(c.set), c.escape) << c.set;
  }
}

TEST(MessageBox, CaptionsResultsAndIcons) {
  EXPECT_EQ(KindCaption(MessageKind::Warning), "警告");
  EXPECT_EQ(KindCaption(MessageKind::Error), "エラー");
  EXPECT_EQ(KindCaption(MessageKind::Information), "情報");
  EXPECT_EQ(KindCaption(MessageKind::Confirmation), "確認");
  EXPECT_EQ(KindCaption(MessageKind::Custom), "Vellumo");
  EXPECT_EQ(KindIconId(MessageKind::Warning), 32515);
  EXPECT_EQ(KindIconId(MessageKind::Custom), 0);
  const int results[] = {6, 7, 1, 2, 3, 4, 5, 8, 9, 10, 0};
  for (int b = 0; b < kMessageButtonCount; ++b) {
    EXPECT_EQ(ButtonInfo(static_cast<MessageButton>(b)).result, results[b]) << b;
  }
  EXPECT_STREQ(ButtonInfo(MessageButton::Cancel).caption, "キャンセル");
  EXPECT_STREQ(ButtonInfo(MessageButton::YesToAll).caption, "すべてはい(&A)");
}

TEST(CommandLine, Splitting) {
  struct Case {
    std::string line;
    std::vector<std::string> args;
  };
  const Case cases[] = {
      {"prog", {"prog"}},
      {"prog a.qzv", {"prog", "a.qzv"}},
      {"\"C:\\Program Files\\v.exe\" \"C:\\メモ\\a b.qzv\" more",
       {"C:\\Program Files\\v.exe", "C:\\メモ\\a b.qzv", "more"}},
      {"prog\t\x01 x", {"prog", "x"}},
      {"prog \"\" \"\" file", {"prog", "file"}},
      {"prog \"\"\"\"", {"prog"}},
      {"prog \"\"x", {"prog", "x"}},
      {"prog a\"b c\"d", {"prog", "ab cd"}},
      {"prog \"unterminated rest", {"prog", "unterminated rest"}},
      {"prog \" \"", {"prog", " "}},
      {std::string("prog a\0b", 8), {"prog", "a"}},
      {"   ", {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
}

TEST(CommandLine, FirstArgument) {
  EXPECT_EQ(FirstArgument("prog"), "");
  EXPECT_EQ(FirstArgument("prog  \"\"  "), "");
  EXPECT_EQ(FirstArgument("prog memo.qzv other"), "memo.qzv");
  const std::string longPath = "C:\\" + std::string(100000, 'a') + ".qzv";
  EXPECT_EQ(FirstArgument("prog \"" + longPath + "\""), longPath);
}

}  // namespace
}  // namespace vellumo
