// Every open and save command, with each file-system operation made to fail in turn at every one
// of its calls: the failure's message, the location, caption and edit area afterwards, and the
// files on disk, which never lose their previous content.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "editor_fakes.h"

namespace vellumo {
namespace {

using testing::FileOp;
using testing::FileOpName;
using testing::InOutErrorOf;
using testing::kFileOps;
using testing::MainFormRig;

// Large enough that reading it takes several blocks.
const Text& BigText() {
  static const Text text = [] {
    const Text line = "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67\r\n";
    Text t;
    t.reserve(1'100'000 + line.size());
    while (t.size() < 1'100'000)
      t += line;
    return t;
  }();
  return text;
}

struct CommandCase {
  const char* what;
  std::string commandLine = "vellumo.exe";
  // Files on disk before the command (Windows-style path -> bytes).
  std::map<std::string, Text> files{};
  std::function<void(MainFormRig&)> prepare{};
  std::function<void(MainFormRig&)> run;
  // Where the document is once the command has chosen its file (before any file operation).
  std::string dir, file;
};

std::vector<CommandCase> Commands() {
  const Text& plain = BigText();
  const Text encoded = testing::Encrypted(plain, "k");
  const Text oldFile = "old content that must survive\r\n";
  const auto document = [](MainFormRig& rig, const char* dir, const char* name) {
    rig.form.CurrentDir = dir;
    rig.form.CurrentFileName = name;
  };
  return {
      {.what = "FileOpen",
       .files = {{"C:\\docs\\big.qzv", encoded}},
       .prepare = [](MainFormRig& rig) { rig.dialogs.openAnswers.push_back("C:\\docs\\big.qzv"); },
       .run = [](MainFormRig& rig) { rig.form.FileOpen(); },
       .dir = "C:\\docs\\",
       .file = "big.qzv"},
      {.what = "FileOpenNormal",
       .files = {{"C:\\docs\\big.txt", plain}},
       .prepare = [](MainFormRig& rig) { rig.dialogs.openAnswers.push_back("C:\\docs\\big.txt"); },
       .run = [](MainFormRig& rig) { rig.form.FileOpenNormal(); },
       .dir = "C:\\docs\\",
       .file = "big.txt"},
      {.what = "FileSave over an existing file",
       .files = {{"C:\\docs\\a.qzv", oldFile}},
       .prepare = [=](MainFormRig& rig) { document(rig, "C:\\docs\\", "a.qzv"); },
       .run = [](MainFormRig& rig) { rig.form.FileSave(); },
       .dir = "C:\\docs\\",
       .file = "a.qzv"},
      {.what = "FileSave to a new file",
       .files = {},
       .prepare = [=](MainFormRig& rig) { document(rig, "C:\\docs\\", "new.qzv"); },
       .run = [](MainFormRig& rig) { rig.form.FileSave(); },
       .dir = "C:\\docs\\",
       .file = "new.qzv"},
      {.what = "FileSaveNormal",
       .files = {{"D:\\a.txt", oldFile}},
       .prepare = [=](MainFormRig& rig) { document(rig, "D:\\", "a.txt"); },
       .run = [](MainFormRig& rig) { rig.form.FileSaveNormal(); },
       .dir = "D:\\",
       .file = "a.txt"},
      {.what = "FileSaveAs",
       .files = {{"E:\\b.qzv", oldFile}},
       .prepare = [](MainFormRig& rig) { rig.dialogs.saveAnswers.push_back("E:\\b.qzv"); },
       .run = [](MainFormRig& rig) { rig.form.FileSaveAs(); },
       .dir = "E:\\",
       .file = "b.qzv"},
      {.what = "FileSaveAsNormal",
       .files = {{"E:\\b.txt", oldFile}},
       .prepare = [](MainFormRig& rig) { rig.dialogs.saveAnswers.push_back("E:\\b.txt"); },
       .run = [](MainFormRig& rig) { rig.form.FileSaveAsNormal(); },
       .dir = "E:\\",
       .file = "b.txt"},
      {.what = "start-up open of a .qzv",
       .commandLine = "vellumo.exe \"C:\\docs\\big.qzv\"",
       .files = {{"C:\\docs\\big.qzv", encoded}},
       .prepare = {},
       .run = [](MainFormRig& rig) { rig.form.FormActivate(); },
       .dir = "C:\\docs\\",
       .file = "big.qzv"},
  };
}

// A rig with the case's files, a remembered key "k", and a document that the command replaces.
std::unique_ptr<MainFormRig> Prepare(const CommandCase& c) {
  auto rig = std::make_unique<MainFormRig>(c.commandLine);
  for (const auto& [path, bytes] : c.files)
    rig->WriteFile(path, bytes);
  rig->cipher.view.remember = true;
  rig->cipher.view.key = "k";
  rig->memo.text = BigText().substr(0, 1000) + "edited\r\n";
  rig->window.caption = "Vellumo - before.qzv";
  if (c.prepare) c.prepare(*rig);
  return rig;
}

TEST(FaultInjection, EveryOperationFailingAtEveryCallLosesNothing) {
  constexpr int kInjected = kErrorDiskFull;
  int faultsInjected = 0;
  for (const CommandCase& c : Commands()) {
    // A run without faults tells how often the command calls each operation.
    std::map<FileOp, int> calls;
    {
      auto rig = Prepare(c);
      ASSERT_EQ(InOutErrorOf([&] { c.run(*rig); }), -1) << c.what << " without faults";
      for (const FileOp op : kFileOps)
        calls[op] = rig->files.Calls(op);
      ASSERT_GT(calls[FileOp::OpenRead] + calls[FileOp::CreateNew], 0) << c.what;
    }
    for (const FileOp op : kFileOps) {
      for (int nth = 1; nth <= calls[op]; ++nth) {
        const std::string what =
            std::string(c.what) + ": " + FileOpName(op) + " call " + std::to_string(nth) + " fails";
        auto rig = Prepare(c);
        const Text memoBefore = rig->memo.text;
        const std::string captionBefore = rig->window.caption;
        const std::set<std::string> filesBefore = rig->folder.Files();
        rig->files.FailNth(op, nth, kInjected);
        ++faultsInjected;

        EXPECT_EQ(InOutErrorOf([&] { c.run(*rig); }), kInjected) << what;
        EXPECT_EQ(rig->form.CurrentDir, c.dir) << what;
        EXPECT_EQ(rig->form.CurrentFileName, c.file) << what;
        EXPECT_EQ(rig->window.caption, captionBefore) << what;
        EXPECT_EQ(rig->memo.text, memoBefore) << what;
        for (const auto& [path, bytes] : c.files) {
          EXPECT_EQ(rig->ReadFile(path), bytes) << what << ": " << path;
        }
        EXPECT_EQ(rig->folder.Files(), filesBefore) << what << ": nothing new left on disk";
        EXPECT_EQ(rig->files.openFiles, 0) << what << ": every file closed";
      }
    }
  }
  // Say how much was tried, for the record of the run.
  std::cout << "[ fault injection ] " << faultsInjected << " faults injected\n";
}

}  // namespace
}  // namespace vellumo
