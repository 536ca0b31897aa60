// Fakes for the main window's ports: window, edit area, file dialogs, clipboard and About box that
// record what happens and answer from scripts; a scratch folder; file systems that put
// Windows-style paths onto real files under that folder and that fail a chosen call; and a
// TMainForm wired to all of them.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "cipher_fakes.h"
#include "editor/in_out_error.h"
#include "editor/main_form.h"
#include "platform/file_system.h"

namespace vellumo::testing {

// Runs f, which should raise EInOutError, and answers its error number, or -1 when f raised
// nothing. The message must be the one of the number.
template <typename F>
int InOutErrorOf(F&& f) {
  try {
    f();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.what(), InOutErrorMessage(e.ErrorCode));
    return e.ErrorCode;
  }
  return -1;
}

class FakeWindow final : public IMainWindow {
 public:
  std::string caption = "MainForm";
  std::string statusText;
  int statusWrites = 0;
  bool closed = false;

  void SetCaption(const std::string& c) override { caption = c; }
  void SetStatusText(const std::string& t) override {
    statusText = t;
    ++statusWrites;
  }
  void Close() override { closed = true; }
};

// Holds CF_TEXT or nothing; a busy clipboard refuses to open.
class FakeClipboard final : public IClipboard {
 public:
  std::optional<Text> content;
  bool busy = false;
  int opens = 0;

  void SetClipboardText(TextView text) override {
    ++opens;
    if (busy) RaiseClipboardOpenFailure();
    EXPECT_EQ(text.find('\0'), TextView::npos) << "clipboard text is cut at its first zero byte";
    content = Text(text);
  }
  Text GetClipboardText() override {
    ++opens;
    if (busy) RaiseClipboardOpenFailure();
    return content.value_or(Text());
  }
};

// A multi-line edit control with a one-level undo: its own cut and paste can be undone, a
// replacement of the whole text or of the selection cannot (and empties the undo), as the
// platform's control does. Characters without a code page 932 form are the "?" bytes listed in
// unmappable, by their offset in text.
class FakeEditArea final : public IEditArea {
 public:
  explicit FakeEditArea(FakeClipboard& clipboard) : clipboard_(clipboard) {}

  Text text = "\r\n";  // the layout's one empty line
  std::size_t selStart = 0;
  std::size_t selLength = 0;
  std::optional<Text> undo;  // the text before the last undoable change
  int setTextCalls = 0;
  std::map<std::size_t, std::string> unmappable;  // offset of a "?" -> the character it was

  void Select(std::size_t start, std::size_t length) {
    selStart = start;
    selLength = length;
  }

  Text GetText(std::optional<UnmappableCharacter>* first = nullptr) override {
    Report(0, text.size(), first);
    return text;
  }
  void SetText(TextView t) override {
    EXPECT_EQ(t.find('\0'), TextView::npos) << "the edit area takes text up to a zero byte";
    text.assign(t);
    Select(0, 0);
    undo.reset();
    unmappable.clear();
    ++setTextCalls;
  }
  Text GetSelectedText(std::optional<UnmappableCharacter>* first = nullptr) override {
    Report(selStart, selStart + selLength, first);
    return text.substr(selStart, selLength);
  }
  void ReplaceSelection(TextView t) override {
    EXPECT_EQ(t.find('\0'), TextView::npos) << "the edit area takes text up to a zero byte";
    text.replace(selStart, selLength, t);
    Select(selStart + t.size(), 0);
    undo.reset();
  }
  void Undo() override {
    if (!undo) return;
    std::swap(text, *undo);
    Select(0, 0);
  }
  void Cut() override {
    if (selLength == 0) return;
    clipboard_.content = GetSelectedText();
    undo = text;
    text.erase(selStart, selLength);
    Select(selStart, 0);
  }
  void Copy() override {
    if (selLength > 0) clipboard_.content = GetSelectedText();
  }
  void Paste() override {
    if (!clipboard_.content) return;
    const Text pasted = *clipboard_.content;
    undo = text;
    text.replace(selStart, selLength, pasted);
    Select(selStart + pasted.size(), 0);
  }
  void SelectAll() override { Select(0, text.size()); }

 private:
  // The first unmappable character in text[begin, end), with its line in the whole text.
  void Report(std::size_t begin, std::size_t end, std::optional<UnmappableCharacter>* first) {
    if (!first) return;
    first->reset();
    const auto it = unmappable.lower_bound(begin);
    if (it == unmappable.end() || it->first >= end) return;
    EXPECT_EQ(text[it->first], '?') << "an unmappable character reads as \"?\"";
    std::size_t line = 1;
    for (std::size_t i = 0; i + 1 < it->first; ++i) {
      if (text.compare(i, 2, "\r\n") == 0) ++line;
    }
    *first = UnmappableCharacter{line, it->second};
  }

  FakeClipboard& clipboard_;
};

// Answers each showing from a queue: a path, or nothing for cancel.
class ScriptedFileDialogs final : public IFileDialogs {
 public:
  std::deque<std::optional<std::string>> openAnswers;
  std::deque<std::optional<std::string>> saveAnswers;
  int openShown = 0;
  std::vector<std::string> savePresets;  // the file name each save dialog was shown with

  std::optional<std::string> ShowOpenDialog() override {
    ++openShown;
    return Next(openAnswers, "open");
  }
  std::optional<std::string> ShowSaveDialog(const std::string& fileName) override {
    savePresets.push_back(fileName);
    return Next(saveAnswers, "save");
  }

 private:
  static std::optional<std::string> Next(std::deque<std::optional<std::string>>& answers,
                                         const char* which) {
    if (answers.empty()) {
      ADD_FAILURE() << "the " << which << " dialog was shown without a scripted answer";
      return std::nullopt;
    }
    auto answer = std::move(answers.front());
    answers.pop_front();
    return answer;
  }
};

class FakeAboutBox final : public IAboutBox {
 public:
  int shown = 0;
  void ShowModal() override { ++shown; }
};

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vellumo-XXXXXX").string();
    if (!mkdtemp(pattern.data())) ADD_FAILURE() << "cannot make a scratch folder";
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string operator/(const std::string& relative) const { return (path_ / relative).string(); }

  void Write(const std::string& relative, const std::string& bytes) const {
    const auto file = path_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& relative) const {
    std::ifstream in(path_ / relative, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  bool Exists(const std::string& relative) const {
    return std::filesystem::exists(path_ / relative);
  }
  // Every file below the folder, as paths relative to it.
  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_)) {
      if (!entry.is_directory()) names.insert(entry.path().lexically_relative(path_).string());
    }
    return names;
  }

 private:
  std::filesystem::path path_;
};

// Windows-style paths on real files: "C:\docs\a.txt" is <root>/C/docs/a.txt and a bare
// "memo.qzv" is <root>/memo.qzv, as if <root> were the current folder. Temporary names are made
// by the Windows rule (the folder ends at the last "\" or ":").
class WindowsPathFileSystem final : public IFileSystem {
 public:
  WindowsPathFileSystem(std::filesystem::path root, IFileSystem& inner)
      : root_(std::move(root)), inner_(inner) {}

  std::string Map(const std::string& path) const {
    std::string mapped;
    for (const char c : path)
      mapped += (c == '\\' || c == ':') ? '/' : c;
    return root_.string() + "/" + mapped;
  }

  int OpenRead(const std::string& path, std::unique_ptr<IFile>& file) override {
    return inner_.OpenRead(Map(path), file);
  }
  int ProbeWrite(const std::string& path, std::unique_ptr<IFile>& direct) override {
    return inner_.ProbeWrite(Map(path), direct);
  }
  std::string TemporaryPathBeside(const std::string& target) override {
    const auto cut = target.find_last_of("\\:");
    const std::string folder = cut == std::string::npos ? "" : target.substr(0, cut + 1);
    return folder + "~tmp-" + std::to_string(++temporaries_) + ".tmp";
  }
  int CreateNew(const std::string& path, std::unique_ptr<IFile>& file) override {
    return inner_.CreateNew(Map(path), file);
  }
  int Replace(const std::string& from, const std::string& to) override {
    return inner_.Replace(Map(from), Map(to));
  }
  int Remove(const std::string& path) override { return inner_.Remove(Map(path)); }

 private:
  std::filesystem::path root_;
  IFileSystem& inner_;
  int temporaries_ = 0;
};

enum class FileOp { OpenRead, ProbeWrite, CreateNew, Read, Write, Flush, Close, Replace, Remove };
inline constexpr std::array kFileOps{FileOp::OpenRead, FileOp::ProbeWrite, FileOp::CreateNew,
                                     FileOp::Read,     FileOp::Write,      FileOp::Flush,
                                     FileOp::Close,    FileOp::Replace,    FileOp::Remove};

inline const char* FileOpName(FileOp op) {
  constexpr const char* kNames[] = {"OpenRead", "ProbeWrite", "CreateNew", "Read",  "Write",
                                    "Flush",    "Close",      "Replace",   "Remove"};
  return kNames[static_cast<int>(op)];
}

// Wraps a file system and makes the Nth call of any operation fail with a chosen error number
// (the call then does nothing, except that a failing Close still releases the file). Counts calls
// and the files open at any moment.
class FaultyFileSystem final : public IFileSystem {
 public:
  explicit FaultyFileSystem(IFileSystem& inner) : inner_(inner) {}

  // The nth call (from 1) of op fails with error.
  void FailNth(FileOp op, int nth, int error) { faults_[{op, nth}] = error; }
  int Calls(FileOp op) const {
    const auto it = calls_.find(op);
    return it == calls_.end() ? 0 : it->second;
  }
  int openFiles = 0;

  int OpenRead(const std::string& path, std::unique_ptr<IFile>& file) override {
    if (const int error = Fault(FileOp::OpenRead)) return error;
    return Wrap(inner_.OpenRead(path, file), file);
  }
  int ProbeWrite(const std::string& path, std::unique_ptr<IFile>& direct) override {
    if (const int error = Fault(FileOp::ProbeWrite)) return error;
    const int error = inner_.ProbeWrite(path, direct);
    if (direct) Wrap(error, direct);
    return error;
  }
  std::string TemporaryPathBeside(const std::string& target) override {
    return inner_.TemporaryPathBeside(target);
  }
  int CreateNew(const std::string& path, std::unique_ptr<IFile>& file) override {
    if (const int error = Fault(FileOp::CreateNew)) return error;
    return Wrap(inner_.CreateNew(path, file), file);
  }
  int Replace(const std::string& from, const std::string& to) override {
    if (const int error = Fault(FileOp::Replace)) return error;
    return inner_.Replace(from, to);
  }
  int Remove(const std::string& path) override {
    if (const int error = Fault(FileOp::Remove)) return error;
    return inner_.Remove(path);
  }

 private:
  class File final : public IFile {
   public:
    File(FaultyFileSystem& owner, std::unique_ptr<IFile> inner)
        : owner_(owner), inner_(std::move(inner)) {
      ++owner_.openFiles;
    }
    ~File() override {
      if (inner_) --owner_.openFiles;
    }
    int Read(char* buffer, std::size_t capacity, std::size_t& got) override {
      got = 0;
      if (const int error = owner_.Fault(FileOp::Read)) return error;
      return inner_->Read(buffer, capacity, got);
    }
    int Write(const char* data, std::size_t size) override {
      if (const int error = owner_.Fault(FileOp::Write)) return error;
      return inner_->Write(data, size);
    }
    int Flush() override {
      if (const int error = owner_.Fault(FileOp::Flush)) return error;
      return inner_->Flush();
    }
    int Close() override {
      const int fault = owner_.Fault(FileOp::Close);
      const int error = inner_->Close();
      inner_.reset();
      --owner_.openFiles;
      return fault ? fault : error;
    }
    std::uint64_t SizeHint() override { return inner_->SizeHint(); }
    bool CanRewind() override { return inner_->CanRewind(); }
    int Rewind() override { return inner_->Rewind(); }

   private:
    FaultyFileSystem& owner_;
    std::unique_ptr<IFile> inner_;
  };

  int Fault(FileOp op) {
    const int n = ++calls_[op];
    const auto it = faults_.find({op, n});
    return it == faults_.end() ? kFileOk : it->second;
  }
  int Wrap(int error, std::unique_ptr<IFile>& file) {
    if (error == kFileOk) file = std::make_unique<File>(*this, std::move(file));
    return error;
  }

  IFileSystem& inner_;
  std::map<FileOp, int> calls_;
  std::map<std::pair<FileOp, int>, int> faults_;
};

// A TMainForm on fakes: a scripted key dialog and file dialogs, the clipboard, and real files under
// a scratch folder reached by Windows-style paths (see WindowsPathFileSystem), where the folders
// C:\, C:\docs\, D:\ and E:\ exist.
struct MainFormRig {
  explicit MainFormRig(std::string commandLine = "vellumo.exe")
      : form(MainFormPorts{window, memo, dialogs, clipboard, about, cipher.form, cipher.boxes,
                           hints, files, cipher.clock, std::move(commandLine)}) {
    for (const char* dir : {"C:\\docs\\", "D:\\", "E:\\"}) {
      std::filesystem::create_directories(Disk(dir));
    }
    form.FormCreate();
  }

  CipherRig cipher;
  FakeWindow window;
  FakeClipboard clipboard;
  FakeEditArea memo{clipboard};
  ScriptedFileDialogs dialogs;
  FakeAboutBox about;
  HintState hints;
  ScratchFolder folder;
  WindowsPathFileSystem windowsPaths{folder.Path(), SystemFileSystem()};
  FaultyFileSystem files{windowsPaths};
  TMainForm form;

  // The real file behind a Windows-style path.
  std::string Disk(const std::string& path) const { return windowsPaths.Map(path); }
  void WriteFile(const std::string& path, const std::string& bytes) {
    const std::filesystem::path file = Disk(path);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
  }
  std::optional<std::string> ReadFile(const std::string& path) const {
    std::ifstream in(Disk(path), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
};

}  // namespace vellumo::testing
