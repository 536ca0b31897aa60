// Scenarios on files dragged onto the main window with OLE drag and drop: the first file dropped
// is opened as the start-up open opens the command line's file, and a drop is refused while a
// modal window is up, when the source allows only a move, and when its file list is malformed.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/unicode.h"
#include "tests/e2e/driver/e2e.h"

namespace vellumo::e2e {
namespace {

const std::wstring kKey = L"合言葉";

// Writes `plain` to `path` encrypted under kKey by the command-line tool of the same build.
void WriteEncrypted(const std::wstring& path, const std::wstring& plain) {
  const std::wstring keyFile = ScenarioFolder() + L"key.txt";
  const std::wstring source = ScenarioFolder() + L"plain-for-cli.txt";
  WriteFileBytes(keyFile, Cp932(kKey));
  WriteFileBytes(source, Cp932(plain));
  App cli = Launch(BuildPath(L"cli/vellumo-cli.exe"),
                   L"encrypt --seed 7 --key-file " + QuoteArgument(keyFile) + L" -o " +
                       QuoteArgument(path) + L" " + QuoteArgument(source),
                   SW_HIDE);
  RequireEqual(0ul, cli.WaitExit(), "vellumo-cli encrypts " + WideToUtf8(path));
}

// A point on the edit area where no other window of the program lies over it.
POINT DropPoint(const Editor& editor, HWND covering = nullptr) {
  const RECT memo = WindowRect(editor.memo);
  POINT point = CenterOf(editor.memo);
  if (covering) {
    point = POINT{memo.left + 12, memo.bottom - 12};
    const RECT cover = WindowRect(covering);
    Require(!PtInRect(&cover, point), "the drop point is not under the modal window");
  }
  return point;
}

}  // namespace

// Each kind of file dropped on a document being edited: the first file is opened, decrypted when
// its extension is ".qzv" in any case of letters, shown as read otherwise; a cancelled key request
// shows the encoded text, as the start-up open does (the decrypting open would show nothing);
// a missing file shows the failure and leaves caption and text.
E2E_SCENARIO(drop_opens_the_first_file_as_the_start_up_open, "") {
  const std::wstring secret = L"ドロップした秘密\r\n";
  const std::wstring encryptedPath = ScenarioFolder() + L"落とした暗号.QZV";
  WriteEncrypted(encryptedPath, secret);
  const std::wstring encoded = FromCp932(ReadFileBytes(encryptedPath).value_or(""));
  const std::wstring plainPath = ScenarioFolder() + L"ふつうの.txt";
  WriteFileBytes(plainPath, Cp932(L"そのままの文\r\n"));
  const std::wstring missingPath = ScenarioFolder() + L"ない.qzv";

  enum class Key { None, Answer, Cancel };
  const struct {
    const char* what;
    std::vector<std::wstring> paths;
    Key key;
    std::wstring shows;    // the edit area afterwards
    std::wstring caption;  // the file name the caption shows, empty: unchanged
    const wchar_t* failure;
  } cases[] = {
      {".QZV decrypted", {encryptedPath}, Key::Answer, secret, L"落とした暗号.QZV", nullptr},
      {"key request cancelled: the encoded text",
       {encryptedPath},
       Key::Cancel,
       encoded,
       L"落とした暗号.QZV",
       nullptr},
      {"the first of two, as read",
       {plainPath, encryptedPath},
       Key::None,
       L"そのままの文\r\n",
       L"ふつうの.txt",
       nullptr},
      {"a missing file",
       {missingPath},
       Key::None,
       L"打ってあった文",
       L"",
       L"ファイルが見つかりません."},
  };
  for (const auto& c : cases) {
    const std::string what = c.what;
    Editor editor = StartOnNewDocument();
    SetText(editor.memo, L"打ってあった文");
    const std::wstring caption = TextOf(editor.main);

    CheckEqual(DWORD{DROPEFFECT_COPY}, DragFiles(c.paths, DropPoint(editor)),
               what + ": the drop is taken as a copy");
    if (c.key == Key::Answer) {
      WaitKeyDialog(editor.app);
      if (&c == &cases[0]) Screenshot("key-dialog-after-drop");
      AnswerKey(editor.app, kKey);
    } else if (c.key == Key::Cancel) {
      CancelKey(editor.app);
    }
    if (c.failure) {
      HWND box = WaitDialog(editor.app, kFailureCaption);
      CheckBoxLook(box, {c.failure, {L"OK"}, IDOK}, what + ": the failure box");
      ClickButton(WaitChild(box, {.className = L"Button", .id = IDOK}));
      WaitGone(box);
    }
    WaitText(editor.memo, c.shows);
    SyncPosted(editor.memo);
    CheckEqual(c.caption.empty() ? caption : DocumentCaption(c.caption), TextOf(editor.main),
               what + ": the caption");
    if (c.key == Key::None)
      Check(!DialogShown(editor.app, kAskKeyCaption), what + ": no key is asked for");
    if (&c == &cases[0]) Screenshot("opened-by-drop");
    CloseEditor(editor);
  }
}

// Drags the window does not take: while the About box is up (the main window is disabled), from a
// source that allows only a move (taking it would have the source delete its file), and with a
// file list that ends before its terminating zero. Nothing opens, later either; once the About
// box has closed, a drop is taken again.
E2E_SCENARIO(drop_refused, "") {
  const std::wstring path = ScenarioFolder() + L"拒まれる.txt";
  WriteFileBytes(path, Cp932(L"閉じた後に開く文\r\n"));
  Editor editor = StartOnNewDocument();
  SetText(editor.memo, L"そのまま");
  const std::wstring caption = TextOf(editor.main);

  PostCommand(editor.main, kHelpAboutId);
  HWND about = WaitDialog(editor.app, kAboutCaption);
  WaitEnabled(editor.main, false);
  CheckEqual(DWORD{DROPEFFECT_NONE}, DragFiles({path}, DropPoint(editor, about)),
             "refused while the About box is up");
  Screenshot("drop-refused-while-modal");
  ClickButton(WaitChild(about, {.className = L"Button", .text = L"O.K."}));
  WaitGone(about);
  WaitEnabled(editor.main, true);

  CheckEqual(DWORD{DROPEFFECT_NONE}, DragFiles({path}, DropPoint(editor), DROPEFFECT_MOVE),
             "refused when only a move is allowed");
  std::string unterminated = FileDropBlock({path});
  unterminated.resize(unterminated.size() - 2 * sizeof(wchar_t));
  CheckEqual(DWORD{DROPEFFECT_NONE}, DragFileBlock(unterminated, DropPoint(editor)),
             "refused when the file list ends before its zero");

  SyncPosted(editor.memo);
  CheckEqual(std::wstring(L"そのまま"), TextOf(editor.memo), "nothing was opened");
  CheckEqual(caption, TextOf(editor.main), "the caption stays");
  Check(!DialogShown(editor.app, L""), "no box or dialog came up");

  CheckEqual(DWORD{DROPEFFECT_COPY}, DragFiles({path}, DropPoint(editor), DROPEFFECT_COPY),
             "taken once the About box has closed");
  WaitText(editor.memo, L"閉じた後に開く文\r\n");
  CloseEditor(editor);
}

}  // namespace vellumo::e2e
