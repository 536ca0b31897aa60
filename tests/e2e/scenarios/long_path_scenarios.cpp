// Scenarios on paths longer than the classic 260-character limit: a .qzv file named on the
// command line deep in folders opens, decrypts and saves back.
#include <windows.h>

#include <string>

#include "tests/e2e/driver/e2e.h"

namespace vellumo::e2e {
namespace {

// Makes the folders of `path` (a "\\?\" path), each in turn.
void MakeFolders(const std::wstring& path) {
  for (std::size_t at = path.find(L'\\', 7); at != std::wstring::npos;
       at = path.find(L'\\', at + 1)) {
    CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
  }
}

}  // namespace

// A file about 380 characters deep, named on the command line as a plain path and in the "\\?\"
// and "\\.\" forms: it opens and decrypts after the key is asked for, the caption names it, and the
// encrypting save writes the new text back to it. (Wine has no shares, so there is no UNC case.)
E2E_SCENARIO(long_path_opens_and_saves, "") {
  const std::wstring key = L"深い鍵";
  const std::wstring text = L"深いフォルダのメモ";
  const std::wstring changed = L"書き換えたメモ";
  std::wstring path = ScenarioFolder();
  for (const std::wstring& folder :
       {L"一段目のとても長いフォルダの名前はここまで続きます_" + std::wstring(50, L'a'),
        L"二段目のとても長いフォルダの名前はここまで続きます_" + std::wstring(50, L'b'),
        L"三段目のとても長いフォルダの名前はここまで続きます_" + std::wstring(50, L'c'),
        L"四段目のとても長いフォルダの名前はここまで続きます_" + std::wstring(50, L'd')}) {
    path += folder + L"\\";
  }
  path += L"長い.qzv";
  Require(path.size() > 300, "the path is longer than 300 characters");
  const std::wstring verbatim = L"\\\\?\\" + path;
  MakeFolders(verbatim);

  const struct {
    const char* name;
    std::wstring argument;
  } cases[] = {
      {"plain path", path},
      {"\\\\?\\ path", verbatim},
      {"\\\\.\\ path", L"\\\\.\\" + path},
  };
  for (const auto& c : cases) {
    const std::string what = c.name;
    WriteFileBytes(verbatim, EncodeLetters(text, key));
    Editor editor = StartEditor(QuoteArgument(c.argument));
    AnswerKey(editor.app, key);
    WaitText(editor.memo, text);
    CheckEqual(DocumentCaption(L"長い.qzv"), TextOf(editor.main), what + ": caption");

    SetText(editor.memo, changed);
    FocusOn(editor.memo);
    PressKeys(editor.memo, {VK_CONTROL, 'S'});
    AnswerKey(editor.app, key);
    SyncPosted(editor.memo);
    Check(!DialogShown(editor.app), what + ": no failure, no save dialog");
    CheckEncrypted(ReadFileBytes(verbatim), changed, key, what + ": the file saved back");
    CloseEditor(editor);
  }
}

}  // namespace vellumo::e2e
