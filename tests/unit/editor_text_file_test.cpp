// Reading and writing whole text files on disk, and what every failure leaves behind.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "editor/text_file.h"
#include "editor_fakes.h"

namespace vellumo {
namespace {

using testing::FaultyFileSystem;
using testing::FileOp;
using testing::FileOpName;
using testing::InOutErrorOf;
using testing::ScratchFolder;

TEST(ReadTextFile, ReadsAFileByTheRules) {
  const struct {
    Text file;
    Text text;
  } cases[] = {
      {"", ""},
      {"\x1a"
       "abc",
       ""},
      {"abc", "abc\r\n"},
      {"a\rb\r\n\nc", "a\r\nb\r\n\nc\r\n"},
      {Text("a\0b\r\n\0", 6), Text("a\0b\r\n\0\r\n", 8)},
      {"ab\x1a"
       "cd\r\n",
       "ab\r\n"},
  };
  ScratchFolder folder;
  for (const auto& c : cases) {
    folder.Write("a.txt", c.file);
    EXPECT_EQ(ReadTextFile(SystemFileSystem(), folder / "a.txt"), c.text) << c.file;
  }
}

TEST(ReadTextFile, LinesAndLineBreaksCrossBlockBoundaries) {
  constexpr std::size_t kBlock = kReadBlockSize;
  // Block 1 ends with a CR whose LF opens block 2; a line runs from block 2 into block 3, where a
  // byte 26 ends the file.
  const Text file = Text(kBlock - 1, 'a') + "\r" + "\n" + Text(kBlock - 1, 'b') +
                    "bbbbb\x1a"
                    "after";
  ScratchFolder folder;
  folder.Write("big.txt", file);
  FaultyFileSystem files(SystemFileSystem());
  EXPECT_EQ(ReadTextFile(files, folder / "big.txt"),
            Text(kBlock - 1, 'a') + "\r\n" + Text(kBlock + 4, 'b') + "\r\n");
  EXPECT_EQ(files.Calls(FileOp::Read), 3) << "nothing after the byte 26 is read";
  EXPECT_EQ(files.openFiles, 0);
}

TEST(ReadTextFile, BrokenPipeIsTheEndOfTheFile) {
  ScratchFolder folder;
  folder.Write("a.txt", Text(kReadBlockSize, 'a') + "more");
  FaultyFileSystem files(SystemFileSystem());
  files.FailNth(FileOp::Read, 2, kErrorBrokenPipe);
  EXPECT_EQ(ReadTextFile(files, folder / "a.txt"), Text(kReadBlockSize, 'a') + "\r\n");
  EXPECT_EQ(files.openFiles, 0);
}

TEST(ReadTextFile, FailuresRaiseTheirNumberAndCloseTheFile) {
  const struct {
    FileOp op;
    int nth;
    int error;
  } cases[] = {
      {FileOp::OpenRead, 1, kErrorSharingViolation},
      {FileOp::Read, 1, 23},
      {FileOp::Read, 2, 38},
      {FileOp::Close, 1, 6},
  };
  ScratchFolder folder;
  folder.Write("a.txt", Text(kReadBlockSize + 5, 'a'));
  for (const auto& c : cases) {
    FaultyFileSystem files(SystemFileSystem());
    files.FailNth(c.op, c.nth, c.error);
    EXPECT_EQ(InOutErrorOf([&] { ReadTextFile(files, folder / "a.txt"); }), c.error)
        << FileOpName(c.op);
    EXPECT_EQ(files.openFiles, 0) << FileOpName(c.op);
  }
}

TEST(ReadTextFile, MissingFileOrFolder) {
  ScratchFolder folder;
  EXPECT_EQ(InOutErrorOf([&] { ReadTextFile(SystemFileSystem(), folder / "none.txt"); }),
            kErrorFileNotFound);
  EXPECT_EQ(InOutErrorOf([&] { ReadTextFile(SystemFileSystem(), folder / "no/b.txt"); }),
            kErrorPathNotFound);
  folder.Write("a.txt", "");
  EXPECT_EQ(InOutErrorOf([&] { ReadTextFile(SystemFileSystem(), folder / "a.txt/b.txt"); }),
            kErrorPathNotFound);
}

TEST(WriteTextFile, WritesExactlyTheBytes) {
  const Text texts[] = {"x", "", Text("a\0\rb\n\x1a\r\n", 8), Text(3 * kReadBlockSize / 2, 'q')};
  ScratchFolder folder;
  for (const auto& text : texts) {
    for (const bool existing : {false, true}) {
      if (existing) {
        folder.Write("a.txt", Text(2 * kReadBlockSize, 'o'));
      } else {
        std::filesystem::remove(folder / "a.txt");
      }
      WriteTextFile(SystemFileSystem(), folder / "a.txt", text);
      EXPECT_EQ(folder.Read("a.txt"), text) << text.size() << " bytes, existing " << existing;
      EXPECT_EQ(folder.Files(), std::set<std::string>{"a.txt"});
    }
  }
}

TEST(WriteTextFile, WrittenTextReadsBackWhenItEndsWithALineBreak) {
  ScratchFolder folder;
  for (const Text text : {"", "one\r\n", "\x83\x5c\x83\x7c\r\n\r\nthree\r\n"}) {
    WriteTextFile(SystemFileSystem(), folder / "a.txt", text);
    EXPECT_EQ(ReadTextFile(SystemFileSystem(), folder / "a.txt"), text);
  }
}

// A failure at any step leaves the old file as it was (or no file at all) and no temporary file.
TEST(WriteTextFile, AFailureAtAnyStepLeavesTheOldFileAndNoTemporaryFile) {
  const struct {
    FileOp op;
    int error;
  } cases[] = {
      {FileOp::ProbeWrite, kErrorSharingViolation},
      {FileOp::CreateNew, kErrorAccessDenied},
      {FileOp::Write, kErrorDiskFull},
      {FileOp::Flush, 29},
      {FileOp::Close, 1117},
      {FileOp::Replace, kErrorSharingViolation},
  };
  for (const auto& c : cases) {
    for (const bool existing : {true, false}) {
      ScratchFolder folder;
      if (existing) folder.Write("a.txt", "old text\r\n");
      FaultyFileSystem files(SystemFileSystem());
      files.FailNth(c.op, 1, c.error);
      EXPECT_EQ(InOutErrorOf([&] { WriteTextFile(files, folder / "a.txt", "new text"); }), c.error)
          << FileOpName(c.op);
      if (existing) {
        EXPECT_EQ(folder.Files(), std::set<std::string>{"a.txt"}) << FileOpName(c.op);
        EXPECT_EQ(folder.Read("a.txt"), "old text\r\n") << FileOpName(c.op);
      } else {
        EXPECT_EQ(folder.Files(), std::set<std::string>{}) << FileOpName(c.op);
      }
      EXPECT_EQ(files.openFiles, 0) << FileOpName(c.op);
    }
  }
}

TEST(WriteTextFile, ATakenTemporaryNameIsReplacedByAnother) {
  ScratchFolder folder;
  FaultyFileSystem files(SystemFileSystem());
  files.FailNth(FileOp::CreateNew, 1, kErrorFileExists);
  WriteTextFile(files, folder / "a.txt", "text");
  EXPECT_EQ(folder.Read("a.txt"), "text");
  EXPECT_EQ(files.Calls(FileOp::CreateNew), 2);
}

TEST(WriteTextFile, ReadOnlyFileAndMissingFolderFailAsADirectWriteWould) {
  ScratchFolder folder;
  folder.Write("ro.txt", "kept");
  ASSERT_EQ(chmod((folder / "ro.txt").c_str(), 0444), 0);
  EXPECT_EQ(InOutErrorOf([&] { WriteTextFile(SystemFileSystem(), folder / "ro.txt", "new"); }),
            kErrorAccessDenied);
  EXPECT_EQ(folder.Read("ro.txt"), "kept");
  EXPECT_EQ(InOutErrorOf([&] { WriteTextFile(SystemFileSystem(), folder / "no/a.txt", "new"); }),
            kErrorPathNotFound);
  EXPECT_EQ(InOutErrorOf([&] { WriteTextFile(SystemFileSystem(), folder.Path().string(), "x"); }),
            kErrorAccessDenied)
      << "a folder is no file";
  EXPECT_EQ(folder.Files(), std::set<std::string>{"ro.txt"});
}

TEST(WriteTextFile, ADeviceIsWrittenDirectly) {
  // No temporary file beside it, and no flush to storage, which a device refuses.
  WriteTextFile(SystemFileSystem(), "/dev/null", "text");
  FaultyFileSystem files(SystemFileSystem());
  WriteTextFile(files, "/dev/null", "text");
  EXPECT_EQ(files.Calls(FileOp::CreateNew) + files.Calls(FileOp::Flush) +
                files.Calls(FileOp::Replace) + files.Calls(FileOp::Remove),
            0);
  EXPECT_EQ(files.openFiles, 0);
}

}  // namespace
}  // namespace vellumo
