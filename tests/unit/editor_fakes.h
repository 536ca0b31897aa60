// Fakes for the main window's ports: window, edit area, file dialogs, clipboard and About box that
// record what happens and answer from scripts; and a TMainForm wired to all of them, on real
// files reached through Windows-style paths (file_fakes.h).
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cipher_fakes.h"
#include "editor/main_form.h"
#include "file_fakes.h"

namespace vellumo::testing {

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

// The default name of a new document on the rig's clock (its local minute).
inline constexpr const char* kDefaultName = "202612062017.qzv";

inline void ExpectLocation(const MainFormRig& rig, const std::string& dir,
                           const std::string& name) {
  EXPECT_EQ(rig.form.CurrentDir, dir);
  EXPECT_EQ(rig.form.CurrentFileName, name);
}

}  // namespace vellumo::testing
