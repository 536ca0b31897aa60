// Scenarios on the save dialog as Save As uses it: it asks before an existing file is replaced,
// and "no" keeps the file; a name typed without an extension gets ".qzv".
#include <windows.h>

#include <optional>
#include <string>

#include "tests/e2e/driver/e2e.h"

namespace vellumo::e2e {
namespace {

const std::wstring kSaveCaption = L"名前を付けて保存";
constexpr int kFileNameId = 1148;  // the file dialogs' file name field (a combo box's edit)

HWND WaitSaveDialog(const Editor& editor, int command) {
  PostCommand(editor.main, command);
  HWND dialog = WaitDialog(editor.app, kSaveCaption);
  WaitChild(dialog, {.className = L"Edit", .id = kFileNameId});
  return dialog;
}

void Confirm(HWND dialog, const std::wstring& name) {
  SetText(WaitChild(dialog, {.className = L"Edit", .id = kFileNameId}), name);
  ClickButton(WaitChild(dialog, {.className = L"Button", .id = IDOK}));
}

// The system's question whether to replace an existing file: a box over the save dialog with the
// buttons "yes" and "no".
HWND WaitReplaceQuestion(const Editor& editor, HWND saveDialog) {
  return WaitForValue<HWND>(
      "the question whether to replace the file", [&]() -> std::optional<HWND> {
        for (HWND box : TopWindows(editor.app.Id(), {.className = L"#32770"})) {
          if (box != saveDialog && FindChild(box, {.className = L"Button", .id = IDNO})) return box;
        }
        return std::nullopt;
      });
}

}  // namespace

// Save As onto an existing file, encrypting and plain: the dialog asks first; "no" leaves the
// save dialog open and, cancelled then, nothing is written and no key is asked for; "yes"
// replaces the file.
E2E_SCENARIO(save_as_asks_before_replacing_a_file, "") {
  const struct {
    const char* name;
    int command;
    bool encrypting;
  } cases[] = {
      {"FileSaveAs", kFileSaveAsId, true},
      {"FileSaveAsNormal", kFileSaveAsNormalId, false},
  };
  const std::wstring text = L"上書きの確認";
  const std::wstring path = ScenarioFolder() + L"既存.qzv";
  Editor editor = StartOnNewDocument();
  TypeText(editor.memo, text);
  WaitText(editor.memo, text);
  bool first = true;
  for (const auto& c : cases) {
    const std::string what = c.name;
    // A new document's caption holds the minute it was made: read it again for every case.
    const std::wstring caption = TextOf(editor.main);
    WriteFileBytes(path, "old contents\r\n");
    HWND dialog = WaitSaveDialog(editor, c.command);
    Confirm(dialog, path);
    HWND question = WaitReplaceQuestion(editor, dialog);
    if (first) {
      Screenshot("replace-question");
      first = false;
    }
    ClickButton(WaitChild(question, {.className = L"Button", .id = IDNO}));
    WaitGone(question);
    Check(IsShown(dialog), what + ": after \"no\" the save dialog stays open");
    ClickButton(WaitChild(dialog, {.className = L"Button", .id = IDCANCEL}));
    WaitGone(dialog);
    SyncPosted(editor.memo);
    Check(!DialogShown(editor.app), what + ": no key dialog, nothing else");
    CheckEqual(std::optional<std::string>("old contents\r\n"), ReadFileBytes(path),
               what + ": \"no\" keeps the file");
    CheckEqual(caption, TextOf(editor.main), what + ": the caption stays");

    dialog = WaitSaveDialog(editor, c.command);
    Confirm(dialog, path);
    question = WaitReplaceQuestion(editor, dialog);
    ClickButton(WaitChild(question, {.className = L"Button", .id = IDYES}));
    if (c.encrypting) AnswerKey(editor.app, L"k");
    WaitText(editor.main, DocumentCaption(L"既存.qzv"));
    if (c.encrypting) {
      CheckEncrypted(ReadFileBytes(path), text, L"k", what + ": \"yes\" replaces the file");
    } else {
      CheckEqual(std::optional<std::string>(Cp932(text)), ReadFileBytes(path),
                 what + ": \"yes\" replaces the file");
    }
    PostCommand(editor.main, kFileNewId);  // back to a new document's caption for the next case
    WaitText(editor.memo, L"");
    SetText(editor.memo, text);
  }
  CloseEditor(editor);
}

// A name typed without an extension is saved with ".qzv", by the encrypting and by the plain
// Save As alike.
E2E_SCENARIO(save_as_adds_the_default_extension, "") {
  const struct {
    const char* name;
    int command;
    const wchar_t* typed;
    const wchar_t* saved;
  } cases[] = {
      {"FileSaveAs", kFileSaveAsId, L"拡張子なし", L"拡張子なし.qzv"},
      {"FileSaveAsNormal", kFileSaveAsNormalId, L"平文", L"平文.qzv"},
  };
  const std::wstring folder = ScenarioFolder();
  Editor editor = StartOnNewDocument();
  SetText(editor.memo, L"拡張子");
  for (const auto& c : cases) {
    const std::string what = c.name;
    const bool encrypting = c.command == kFileSaveAsId;
    Confirm(WaitSaveDialog(editor, c.command), folder + c.typed);
    if (encrypting) AnswerKey(editor.app, L"k");
    WaitText(editor.main, DocumentCaption(c.saved));
    CheckEqual(true, FileExists(folder + c.saved), what + ": the file written");
    CheckEqual(false, FileExists(folder + c.typed), what + ": no file under the bare name");
  }
  CloseEditor(editor);
}

}  // namespace vellumo::e2e
