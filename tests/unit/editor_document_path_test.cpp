// The document's location rules: path split, extension, default file name, caption, and the
// messages of file failures.
#include <gtest/gtest.h>

#include "editor/document_path.h"
#include "editor/in_out_error.h"
#include "editor_fakes.h"

namespace vellumo {
namespace {

TEST(SplitPath, SplitsAtTheLastBackslashOrColon) {
  const struct {
    std::string path;
    std::string dir;
    std::string name;
  } cases[] = {
      {"C:\\memo\\a.txt", "C:\\memo\\", "a.txt"},
      {"memo.qzv", "", "memo.qzv"},
      {"C:a.txt", "C:", "a.txt"},
      {"C:\\", "C:\\", ""},
      {"\\\\server\\share\\a.txt", "\\\\server\\share\\", "a.txt"},
      {"C:/dir/a.txt", "C:", "/dir/a.txt"},
      // Characters whose code page 932 form ends in byte 92 never split the path.
      {"C:\\ソフト\\a.txt", "C:\\ソフト\\", "a.txt"},
      {"C:\\表\\十能.txt", "C:\\表\\", "十能.txt"},
      {"D:\\予定ソ", "D:\\", "予定ソ"},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    const PathParts parts = SplitPath(c.path);
    EXPECT_EQ(parts.dir, c.dir) << c.path;
    EXPECT_EQ(parts.name, c.name) << c.path;
    EXPECT_EQ(parts.dir + parts.name, c.path);
  }
}

TEST(PathExtension, IsTheRestFromTheLastDotOfTheName) {
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\dir\\file.QZV", ".QZV"},
      {"C:\\a.b\\file", ""},
      {"a.qzv.txt", ".txt"},
      {"C:.qzv", ".qzv"},
      {"file.", "."},
      {"file", ""},
      {"C:\\ソ.qzv", ".qzv"},
      {"C:\\a.qzv:stream", ""},
  };
  for (const auto& [path, extension] : cases)
    EXPECT_EQ(PathExtension(path), extension) << path;
}

TEST(IsEncryptedExtension, FoldsOnlyAsciiLetters) {
  const std::pair<std::string, bool> cases[] = {
      {".qzv", true},   {".QZV", true},   {".qZv", true}, {"qzv", false},
      {".qzv ", false}, {".qzvx", false}, {"", false},    {".ｑｚｖ", false},
  };
  for (const auto& [extension, encrypted] : cases) {
    EXPECT_EQ(IsEncryptedExtension(extension), encrypted) << extension;
  }
}

TEST(DefaultFileName, IsTheLocalMinuteZeroPadded) {
  const struct {
    LocalDateTime time;
    std::string name;
  } cases[] = {
      {{2026, 12, 6, 20, 17, 59, 999}, "202612062017.qzv"},
      {{2027, 3, 1, 9, 5, 0, 0}, "202703010905.qzv"},
      {{2000, 1, 1, 0, 0, 0, 0}, "200001010000.qzv"},
      {{1999, 12, 31, 23, 59, 30, 0}, "199912312359.qzv"},
  };
  for (const auto& c : cases) {
    testing::FixedClock clock;
    clock.local = c.time;
    EXPECT_EQ(DefaultFileName(clock), c.name);
  }
}

TEST(DocumentCaption, NamesTheFile) {
  EXPECT_EQ(DocumentCaption("202612062017.qzv"), "Vellumo - 202612062017.qzv");
  EXPECT_EQ(DocumentCaption(""), "Vellumo - ");
}

TEST(InOutErrorMessage, KnownNumbersByNameOthersByNumber) {
  const std::pair<int, std::string> cases[] = {
      {2, "ファイルが見つかりません"},
      {3, "不正なファイル名です"},
      {4, "オープンしたファイルが多すぎます"},
      {5, "ファイルへのアクセスが拒否されました"},
      {100, "ファイルの末尾以降を読み込みました"},
      {101, "ディスクがいっぱいです"},
      {106, "入力値が数値ではありません"},
      {32, "I/O エラー (32)"},
      {112, "I/O エラー (112)"},
      {0, "I/O エラー (0)"},
      {-1, "I/O エラー (-1)"},
  };
  for (const auto& [code, message] : cases) {
    EXPECT_EQ(InOutErrorMessage(code), message);
    EXPECT_EQ(testing::InOutErrorOf([&] { RaiseInOutError(code); }), code);
  }
}

}  // namespace
}  // namespace vellumo
