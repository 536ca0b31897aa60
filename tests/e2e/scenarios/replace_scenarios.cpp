// Saving over a file keeps what belongs to it, in the editor and through vellumo-cli -o alike: a
// hidden file stays hidden, a read-only one is refused and left as it is, a symbolic link stays
// and the file it names gets the new text, and the creation time stays. What Wine cannot make is
// noted and skipped: its CreateSymbolicLinkW makes nothing (the host's symbolic links, which it
// follows, are checked by hooks/cli.sh), and it cannot set a creation time.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/driver/e2e.h"

namespace vellumo::e2e {
namespace {

const std::string kOld = "old text\r\n";
const std::wstring kNewText = L"新しい内容";
// "Hi" encrypted under the key "k" from the seed 0.
const std::string kEncrypted = ":6h5\r\n";

enum class Target { Hidden, ReadOnly, Link, CreationTime };
enum class Saver { Editor, Cli };

// Makes the target in folder: the file to save over, and (for a link) the link to save through.
// Answers the path to save to, or nothing when Wine cannot make such a target.
std::optional<std::wstring> MakeTarget(Target target, const std::wstring& folder) {
  const std::wstring file = folder + L"memo.txt";
  WriteFileBytes(file, kOld);
  switch (target) {
    case Target::Hidden:
      SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN);
      if (!(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN)) return std::nullopt;
      return file;
    case Target::ReadOnly:
      Require(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY) != FALSE,
              "the file is made read-only");
      return file;
    case Target::Link: {
      const std::wstring link = folder + L"link.txt";
      // Wine 8 answers success without making anything.
      const bool made = CreateSymbolicLinkW(link.c_str(), L"memo.txt",
                                            SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
      const DWORD attributes = GetFileAttributesW(link.c_str());
      if (!made || attributes == INVALID_FILE_ATTRIBUTES ||
          !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return std::nullopt;
      }
      return link;
    }
    case Target::CreationTime: {
      const HANDLE h =
          CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      FILETIME old{};
      old.dwHighDateTime = 0x01C00000;  // in 1999
      const bool set = SetFileTime(h, &old, nullptr, nullptr) != FALSE;
      CloseHandle(h);
      WIN32_FILE_ATTRIBUTE_DATA data{};
      GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data);
      if (!set || CompareFileTime(&data.ftCreationTime, &old) != 0) return std::nullopt;
      return file;
    }
  }
  return std::nullopt;
}

FILETIME CreationTime(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
  return data.ftCreationTime;
}

// Saves over path in the editor (plain save of a new text) or with vellumo-cli -o (the encrypted
// "Hi"); answers whether the save succeeded, checking the failure it shows otherwise.
bool Save(Saver saver, const std::wstring& path, const std::string& what) {
  if (saver == Saver::Cli) {
    const std::wstring folder = ScenarioFolder();
    WriteFileBytes(folder + L"key", "k");
    WriteFileBytes(folder + L"in", "Hi");
    App cli = Launch(BuildPath(L"cli/vellumo-cli.exe"),
                     L"encrypt --seed 0 --key-file " + QuoteArgument(folder + L"key") + L" -o " +
                         QuoteArgument(path) + L" " + QuoteArgument(folder + L"in"),
                     SW_HIDE);
    const DWORD code = cli.WaitExit();
    Check(code == 0 || code == 3, what + ": vellumo-cli exits 0 or 3 (a file failure)");
    return code == 0;
  }
  Editor editor = StartEditor(QuoteArgument(path));
  WaitText(editor.memo, L"old text\r\n");
  SetText(editor.memo, kNewText);
  PostCommand(editor.main, kFileSaveNormalId);
  bool saved = false;
  WaitFor("the save ends", [&] {
    saved = ReadFileBytes(path) == Cp932(kNewText);
    return saved || DialogShown(editor.app, kFailureCaption);
  });
  if (!saved) {
    HWND box = WaitDialog(editor.app, kFailureCaption);
    CheckBoxLook(box, {L"ファイルへのアクセスが拒否されました.", {L"OK"}, IDOK}, what);
    Screenshot("read-only");
    ClickButton(WaitChild(box, {.className = L"Button", .id = IDOK}));
    WaitGone(box);
  }
  CloseEditor(editor);
  return saved;
}

}  // namespace

E2E_SCENARIO(replace_keeps_what_belongs_to_the_file, "") {
  const struct {
    const char* name;
    Target target;
    bool saves;
  } targets[] = {
      {"a hidden file", Target::Hidden, true},
      {"a read-only file", Target::ReadOnly, false},
      {"a symbolic link", Target::Link, true},
      {"a file's creation time", Target::CreationTime, true},
  };
  int number = 0;
  for (const auto& t : targets) {
    for (const Saver saver : {Saver::Editor, Saver::Cli}) {
      const std::string what =
          std::string(t.name) + (saver == Saver::Editor ? ", editor" : ", vellumo-cli -o");
      const std::wstring folder = ScenarioFolder() + std::to_wstring(++number) + L"\\";
      CreateDirectoryW(folder.c_str(), nullptr);
      const std::optional<std::wstring> path = MakeTarget(t.target, folder);
      if (!path) {
        Note("skipped, Wine cannot make it here: " + what);
        continue;
      }
      const std::wstring file = folder + L"memo.txt";
      const FILETIME created = CreationTime(file);
      const bool saved = Save(saver, *path, what);
      Check(saved == t.saves, what + (t.saves ? ": saved" : ": refused"));
      const std::string expected = !t.saves              ? kOld
                                   : saver == Saver::Cli ? kEncrypted
                                                         : Cp932(kNewText);
      CheckEqual(std::optional<std::string>(expected), ReadFileBytes(file),
                 what + ": the file holds " + (t.saves ? "the new text" : "its old text"));
      const DWORD attributes = GetFileAttributesW(file.c_str());
      switch (t.target) {
        case Target::Hidden:
          Check(attributes & FILE_ATTRIBUTE_HIDDEN, what + ": the file stays hidden");
          break;
        case Target::ReadOnly:
          Check(attributes & FILE_ATTRIBUTE_READONLY, what + ": the file stays read-only");
          SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
          break;
        case Target::Link:
          Check(GetFileAttributesW(path->c_str()) & FILE_ATTRIBUTE_REPARSE_POINT,
                what + ": the link stays a link");
          break;
        case Target::CreationTime: {
          const FILETIME now = CreationTime(file);
          Check(CompareFileTime(&now, &created) == 0, what + ": the creation time stays");
          break;
        }
      }
      std::vector<std::wstring> expectedFiles{L"memo.txt"};
      if (t.target == Target::Link) expectedFiles = {L"link.txt", L"memo.txt"};
      CheckEqual(expectedFiles, FilesIn(folder), what + ": no other file is left");
    }
  }
}

}  // namespace vellumo::e2e
