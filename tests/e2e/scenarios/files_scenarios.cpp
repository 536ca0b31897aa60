// Scenarios on the file commands through the real file dialogs and real files: saving and
// opening in both variants, the default name of a new document, the start-up open of a named
// file, failures of the file system (missing, read-only, held by another program), what a
// decrypting open does with each kind of file, and every command from its menu item, its tool
// bar button and its shortcut.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/unicode.h"
#include "tests/e2e/driver/e2e.h"

namespace vellumo::e2e {
namespace {

constexpr int kFileNameId = 1148;  // the file dialogs' file name field (a combo box's edit)
constexpr int kFileTypeId = 1136;  // their file type list

const std::wstring kOpenCaption = L"開く";
const std::wstring kSaveCaption = L"名前を付けて保存";
const std::wstring kKey = L"合言葉";

// The command-line tool of the same build encrypts and decrypts files for the scenarios, so that
// what the editor writes is checked by another reader, and what it reads comes from another
// writer.
std::wstring KeyFile() {
  const std::wstring path = ScenarioFolder() + L"key.txt";
  if (!FileExists(path)) WriteFileBytes(path, Cp932(kKey));
  return path;
}

void RunCli(std::wstring_view arguments) {
  App cli = Launch(BuildPath(L"cli/vellumo-cli.exe"), arguments, SW_HIDE);
  RequireEqual(0ul, cli.WaitExit(), "vellumo-cli " + WideToUtf8(arguments));
}

// Writes `plain` (code page 932 bytes) to `path` encrypted under kKey, with a fixed seed. The
// encrypted form of the last text is kept for the next file of the same text.
void WriteEncrypted(const std::wstring& path, std::string_view plain) {
  static int run = 0;
  static std::string lastPlain;
  static std::string lastEncrypted;
  if (run != CurrentScenarioRun() || lastPlain != plain) {
    const std::wstring source = ScenarioFolder() + L"plain-for-cli.txt";
    const std::wstring target = ScenarioFolder() + L"encrypted-by-cli.qzv";
    WriteFileBytes(source, plain);
    RunCli(L"encrypt --seed 7 --key-file " + QuoteArgument(KeyFile()) + L" -o " +
           QuoteArgument(target) + L" " + QuoteArgument(source));
    run = CurrentScenarioRun();
    lastPlain = plain;
    lastEncrypted = ReadFileBytes(target).value_or("");
  }
  WriteFileBytes(path, lastEncrypted);
}

// The bytes that decrypting `path` under kKey gives.
std::optional<std::string> DecryptedFile(const std::wstring& path) {
  const std::wstring out = ScenarioFolder() + L"decrypted-by-cli.txt";
  DeleteFileW(out.c_str());
  RunCli(L"decrypt --key-file " + QuoteArgument(KeyFile()) + L" -o " + QuoteArgument(out) + L" " +
         QuoteArgument(path));
  return ReadFileBytes(out);
}

std::wstring MakeFolder(std::wstring_view name) {
  const std::wstring folder = ScenarioFolder() + std::wstring(name) + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

std::wstring DefaultNameAt(const SYSTEMTIME& t) {
  wchar_t name[32];
  swprintf(name, 32, L"%04u%02u%02u%02u%02u.qzv", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
  return name;
}

HWND FileNameField(HWND dialog) {
  return WaitChild(dialog, {.className = L"Edit", .id = kFileNameId});
}

// Types a full path into a file dialog's name field and confirms it.
void ChooseFile(HWND dialog, const std::wstring& path) {
  SetText(FileNameField(dialog), path);
  ClickButton(WaitChild(dialog, {.className = L"Button", .id = IDOK}));
  WaitGone(dialog);
}

void CancelDialog(HWND dialog) {
  ClickButton(WaitChild(dialog, {.className = L"Button", .id = IDCANCEL}));
  WaitGone(dialog);
}

// The system's failure box: its message, one "OK", closed with it.
void ExpectFailureBox(const App& app, std::wstring_view message, const char* screenshot = nullptr,
                      Where where = Where::current()) {
  HWND box = WaitDialog(app, kFailureCaption, kDefaultTimeout, where);
  CheckBoxLook(box, {std::wstring(message), {L"OK"}, IDOK}, "the failure box", where);
  if (screenshot) Screenshot(screenshot);
  ClickButton(WaitChild(box, {.className = L"Button", .id = IDOK}));
  WaitGone(box);
}

// Marks a file read-only for as long as it lives, so the scenario folder can be emptied later.
class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(std::wstring path) : path_(std::move(path)) {
    Require(SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY) != FALSE,
            "the file is made read-only");
  }
  ~ReadOnlyFile() { SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL); }
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

 private:
  std::wstring path_;
};

// A file command's shortcut: Ctrl, or Ctrl+Alt, with the letter. (Its menu item is chosen with
// ChooseMenuItem, its tool bar button clicked with ClickToolButton.)
void Shortcut(const Editor& editor, char letter, bool alt) {
  FocusOn(editor.memo);
  const auto key = static_cast<WORD>(letter);
  if (alt) {
    PressKeys(editor.memo, {VK_CONTROL, VK_MENU, key});
  } else {
    PressKeys(editor.memo, {VK_CONTROL, key});
  }
}

}  // namespace

// A new document saved with the encrypting and with the plain save: the save dialog comes preset
// with the default name, the file holds the encoded form or the text's plain bytes, the caption
// names it, and the matching open gives the text back. A plain save after the decrypting open
// writes the decrypted text.
E2E_SCENARIO(files_save_new_document, "") {
  const std::wstring folder = MakeFolder(L"メモ帳ソフト");
  const std::wstring text = L"日本語の本文、ソフト\r\n二行目";
  const struct {
    const char* name;
    bool encrypted;
    const wchar_t* fileName;
  } cases[] = {
      {"encrypting save", true, L"本文.qzv"},
      {"plain save", false, L"本文.txt"},
  };
  for (const auto& c : cases) {
    const std::string what = c.name;
    SYSTEMTIME before{};
    GetLocalTime(&before);
    Editor editor = StartOnNewDocument();
    SYSTEMTIME after{};
    GetLocalTime(&after);
    const std::wstring name = TextOf(editor.main).substr(10);
    Check(name == DefaultNameAt(before) || name == DefaultNameAt(after),
          what + ": the new document's name " + WideToUtf8(name) + " is made of the local time");

    FocusOn(editor.memo);
    TypeText(editor.memo, L"日本語の本文、ソフト");
    PressKeys(editor.memo, {VK_RETURN});
    TypeText(editor.memo, L"二行目");
    WaitText(editor.memo, text);
    if (c.encrypted) Screenshot("main-with-text");

    Shortcut(editor, 'S', !c.encrypted);
    HWND dialog = WaitDialog(editor.app, kSaveCaption);
    CheckEqual(name, TextOf(FileNameField(dialog)),
               what + ": the save dialog is preset with the default name");
    if (c.encrypted) Screenshot("save-dialog");
    const std::wstring path = folder + c.fileName;
    ChooseFile(dialog, path);
    if (c.encrypted) {
      WaitKeyDialog(editor.app);
      Screenshot("key-dialog");
      AnswerKey(editor.app, kKey);
    }
    WaitText(editor.main, DocumentCaption(c.fileName));
    if (c.encrypted) {
      CheckEncrypted(ReadFileBytes(path), text, kKey, what);
      CheckEqual(Cp932(text), DecryptedFile(path), what + ": the file decrypts to the text");
    } else {
      CheckEqual(Cp932(text), ReadFileBytes(path), what + ": the file holds the text's bytes");
    }

    // Reading ends every line with CR LF: the plain text gains one at its end; the encoded form
    // has it already, so the decrypted text is the text itself.
    const std::wstring reread = c.encrypted ? text : text + L"\r\n";
    SetText(editor.memo, L"別のテキスト");
    Shortcut(editor, 'O', !c.encrypted);
    ChooseFile(WaitDialog(editor.app, kOpenCaption), path);
    if (c.encrypted) AnswerKey(editor.app, kKey);
    WaitText(editor.memo, reread);
    CheckEqual(DocumentCaption(c.fileName), TextOf(editor.main), what + ": caption after the open");

    if (c.encrypted) {
      Shortcut(editor, 'S', true);
      const std::string plain = Cp932(text);
      WaitFor("the plain save to write the decrypted text over the opened file",
              [&] { return ReadFileBytes(path) == plain; });
      Check(!DialogShown(editor.app, kAskKeyCaption), what + ": the plain save asks for no key");
    }
    CloseEditor(editor);
  }
}

// Both dialogs list the three file types with the encrypted one chosen, stand centred a third of
// the way down the screen, and change nothing when cancelled.
E2E_SCENARIO(files_dialogs_start_and_cancel, "") {
  Editor editor = StartOnNewDocument();
  const std::wstring caption = TextOf(editor.main);
  FocusOn(editor.memo);
  TypeText(editor.memo, L"そのまま");
  WaitText(editor.memo, L"そのまま");

  const std::vector<std::wstring> types = {L"暗号化テキストファイル　（*.qzv）",
                                           L"テキストファイル　（*.txt）",
                                           L"すべてのファイル　（*.*）"};
  const struct {
    const char* name;
    void (*open)(const Editor&);
    const std::wstring& caption;
    const char* screenshot;
  } cases[] = {
      {"decrypting open", [](const Editor& e) { Shortcut(e, 'O', false); }, kOpenCaption,
       "open-dialog"},
      {"plain open", [](const Editor& e) { Shortcut(e, 'O', true); }, kOpenCaption, nullptr},
      {"encrypting save as", [](const Editor& e) { ChooseMenuItem(e, 'F', 'A'); }, kSaveCaption,
       "save-as-dialog"},
      {"plain save as", [](const Editor& e) { ChooseMenuItem(e, 'F', 'B'); }, kSaveCaption,
       nullptr},
  };
  for (const auto& c : cases) {
    const std::string what = c.name;
    c.open(editor);
    HWND dialog = WaitDialog(editor.app, c.caption);
    HWND typeList = WaitChild(dialog, {.className = L"ComboBox", .id = kFileTypeId});
    std::vector<std::wstring> listed;
    const auto count = Send(typeList, CB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t item[256] = {};
      if (Send(typeList, CB_GETLBTEXTLEN, i) < 255) {
        Send(typeList, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
      }
      listed.push_back(item);
    }
    CheckEqual(types, listed, what + ": file types");
    CheckEqual(0L, static_cast<long>(Send(typeList, CB_GETCURSEL)),
               what + ": the encrypted file type is chosen");
    if (&c.caption == &kSaveCaption) {
      CheckEqual(caption.substr(10), TextOf(FileNameField(dialog)),
                 what + ": preset with the document's name");
    }
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const bool placed = PollUntil([&] {
      const RECT r = WindowRect(dialog);
      const int width = r.right - r.left;
      const int height = r.bottom - r.top;
      return std::abs(r.left - (screenWidth - width) / 2) <= 1 &&
             std::abs(r.top - (screenHeight - height) / 3) <= 1;
    });
    Check(placed,
          what + ": centred, a third of the spare height down; at " + Describe(WindowRect(dialog)));
    if (c.screenshot) Screenshot(c.screenshot);
    CancelDialog(dialog);
    Sync(editor.main);
    CheckEqual(std::wstring(L"そのまま"), TextOf(editor.memo), what + ": the text stays");
    CheckEqual(caption, TextOf(editor.main), what + ": the caption stays");
  }
  CloseEditor(editor);
}

// A file named on the command line: ".qzv" in any case is decrypted after the key is asked for,
// anything else is shown as read, by the line rules of text files; the caption names the file,
// also below a folder whose name holds "ソ" (its second byte is "\" in code page 932).
E2E_SCENARIO(files_startup_argument, "") {
  MakeFolder(L"メモ帳ソフト");
  MakeFolder(L"暗号.qzv");
  const std::string secret = Cp932(L"秘密のメモ\r\n二行目\r\n");
  const struct {
    const char* name;
    const wchar_t* file;  // within the scenario folder
    std::string content;  // as written, or the plain text that is written encrypted
    bool encrypted;
    bool decrypts;
    std::wstring shows;  // for a plain file; an encrypted one shows its secret or its letters
  } cases[] = {
      {".qzv", L"メモ帳ソフト\\暗号.qzv", secret, true, true, L""},
      {".QZV", L"メモ帳ソフト\\大文字.QZV", secret, true, true, L""},
      {".qzv.txt holding letters", L"メモ帳ソフト\\暗号.qzv.txt", secret, true, false, L""},
      {"no extension below a .qzv folder", L"暗号.qzv\\中身", secret, true, false, L""},
      {"lone LFs", L"メモ帳ソフト\\ソース.txt", "a\nb\n", false, false, L"a\nb\n\r\n"},
      {"lone CR, CR LF, empty line and byte 26", L"メモ帳ソフト\\改行.txt",
       Cp932(L"表\r示\r\n\r\nソ") + "\x1a" + Cp932(L"後"), false, false, L"表\r\n示\r\n\r\nソ\r\n"},
  };
  for (const auto& c : cases) {
    const std::string what = c.name;
    const std::wstring path = ScenarioFolder() + c.file;
    if (c.encrypted) {
      WriteEncrypted(path, c.content);
    } else {
      WriteFileBytes(path, c.content);
    }
    std::wstring shows = c.shows;
    if (c.encrypted) shows = FromCp932(c.decrypts ? c.content : ReadFileBytes(path).value_or(""));

    Editor editor = StartEditor(QuoteArgument(path));
    if (c.decrypts) AnswerKey(editor.app, kKey);
    WaitText(editor.memo, shows);
    const std::wstring file = c.file;
    CheckEqual(DocumentCaption(file.substr(file.rfind(L'\\') + 1)), TextOf(editor.main),
               what + ": the caption names the file");
    if (!c.decrypts)
      Check(!DialogShown(editor.app, kAskKeyCaption), what + ": no key is asked for");
    CloseEditor(editor);
  }
}

// Started with a bare file name, the file is read from the working folder; the encrypting save
// then asks where to save, preset with that name, since the document has no folder.
E2E_SCENARIO(files_startup_bare_name, "") {
  const std::wstring text = L"作業フォルダーのメモ\r\n";
  WriteEncrypted(ScenarioFolder() + L"素の名前.qzv", Cp932(text));
  const std::string original = *ReadFileBytes(ScenarioFolder() + L"素の名前.qzv");
  Editor editor = StartEditor(L"素の名前.qzv");
  AnswerKey(editor.app, kKey);
  WaitText(editor.memo, text);
  CheckEqual(DocumentCaption(L"素の名前.qzv"), TextOf(editor.main), "caption");

  Shortcut(editor, 'S', false);
  HWND dialog = WaitDialog(editor.app, kSaveCaption);
  CheckEqual(std::wstring(L"素の名前.qzv"), TextOf(FileNameField(dialog)), "preset name");
  const std::wstring copy = MakeFolder(L"保存先") + L"素の名前.qzv";
  ChooseFile(dialog, copy);
  AnswerKey(editor.app, kKey);
  WaitFor("the copy to be written", [&] { return FileExists(copy); });
  CheckEqual(Cp932(text), DecryptedFile(copy), "the copy decrypts to the text");
  CheckEqual(std::optional<std::string>(original),
             ReadFileBytes(ScenarioFolder() + L"素の名前.qzv"),
             "the file that was opened is unchanged");
  CloseEditor(editor);
}

// A start-up file that does not exist: the failure is shown and the window keeps its first
// caption; the encrypting save then writes to that path, creating the file.
E2E_SCENARIO(files_startup_missing_file_then_save, "") {
  const std::wstring path = MakeFolder(L"メモ帳ソフト") + L"新規.qzv";
  Editor editor = StartEditor(QuoteArgument(path));
  ExpectFailureBox(editor.app, L"ファイルが見つかりません.", "failure-box");
  CheckEqual(std::wstring(L"MainForm"), TextOf(editor.main), "the caption stays");
  const std::wstring text = L"これから書く";
  SetText(editor.memo, text);
  Shortcut(editor, 'S', false);
  AnswerKey(editor.app, kKey);
  WaitText(editor.main, DocumentCaption(L"新規.qzv"));
  CheckEqual(Cp932(text), DecryptedFile(path), "the new file decrypts to the text");
  CloseEditor(editor);
}

// Failures of the file system while saving over or opening the document's file: the failure box
// names the platform's error, the file keeps its bytes, no other file appears, and caption and
// edit area stay as they were.
E2E_SCENARIO(files_failures_leave_the_file_intact, "") {
  const std::string old = Cp932(L"元の内容\r\n");
  const std::wstring denied = L"ファイルへのアクセスが拒否されました.";
  const std::wstring sharing = L"I/O エラー (32)";
  enum class Hold { None, ReadOnly, Open };
  const struct {
    const char* name;
    Hold hold;
    void (*act)(const Editor&, const std::wstring& path);
    const std::wstring& message;
    const char* screenshot;
  } cases[] = {
      {"plain save over a read-only file", Hold::ReadOnly,
       [](const Editor& e, const std::wstring&) { Shortcut(e, 'S', true); }, denied,
       "failure-read-only"},
      {"encrypting save over a read-only file", Hold::ReadOnly,
       [](const Editor& e, const std::wstring&) {
         Shortcut(e, 'S', false);
         AnswerKey(e.app, kKey);
       },
       denied, nullptr},
      {"plain save over a file held open", Hold::Open,
       [](const Editor& e, const std::wstring&) { Shortcut(e, 'S', true); }, sharing,
       "failure-held"},
      {"encrypting save over a file held open", Hold::Open,
       [](const Editor& e, const std::wstring&) {
         Shortcut(e, 'S', false);
         AnswerKey(e.app, kKey);
       },
       sharing, nullptr},
      {"plain open of a file held open", Hold::Open,
       [](const Editor& e, const std::wstring& path) {
         Shortcut(e, 'O', true);
         ChooseFile(WaitDialog(e.app, kOpenCaption), path);
       },
       sharing, nullptr},
      {"decrypting open of a file held open", Hold::Open,
       [](const Editor& e, const std::wstring& path) {
         Shortcut(e, 'O', false);
         ChooseFile(WaitDialog(e.app, kOpenCaption), path);
       },
       sharing, nullptr},
  };
  int number = 0;
  for (const auto& c : cases) {
    const std::string what = c.name;
    const std::wstring folder = MakeFolder(L"対象" + std::to_wstring(++number));
    const std::wstring path = folder + L"ソース.txt";
    WriteFileBytes(path, old);
    Editor editor = StartEditor(QuoteArgument(path));
    WaitText(editor.memo, L"元の内容\r\n");
    const std::wstring caption = TextOf(editor.main);
    const std::wstring text = L"新しい内容";
    SetText(editor.memo, text);
    {
      std::optional<ReadOnlyFile> readOnly;
      std::optional<HeldFile> held;
      if (c.hold == Hold::ReadOnly) readOnly.emplace(path);
      if (c.hold == Hold::Open) held.emplace(path);
      c.act(editor, path);
      ExpectFailureBox(editor.app, c.message, c.screenshot);
      Sync(editor.main);
      CheckEqual(caption, TextOf(editor.main), what + ": the caption stays");
      CheckEqual(text, TextOf(editor.memo), what + ": the edit area stays");
    }
    CheckEqual(std::optional<std::string>(old), ReadFileBytes(path), what + ": the file is intact");
    CheckEqual(std::vector<std::wstring>{L"ソース.txt"}, FilesIn(folder),
               what + ": no other file is left");
    CloseEditor(editor);
  }
}

// A decrypting open of a file that does not exist fails, but the document has moved there: the
// plain save that follows creates that file and only then does the caption name it.
E2E_SCENARIO(files_failed_open_moves_the_document, "") {
  Editor editor = StartOnNewDocument();
  const std::wstring caption = TextOf(editor.main);
  const std::wstring text = L"行き先のない文章";
  SetText(editor.memo, text);
  const std::wstring path = MakeFolder(L"メモ帳ソフト") + L"ない.qzv";
  Shortcut(editor, 'O', false);
  ChooseFile(WaitDialog(editor.app, kOpenCaption), path);
  ExpectFailureBox(editor.app, L"ファイルが見つかりません.");
  Sync(editor.main);
  CheckEqual(caption, TextOf(editor.main), "the caption stays after the failed open");
  CheckEqual(text, TextOf(editor.memo), "the edit area stays after the failed open");

  Shortcut(editor, 'S', true);  // no save dialog: the document has a folder now
  WaitText(editor.main, DocumentCaption(L"ない.qzv"));
  CheckEqual(std::optional<std::string>(Cp932(text)), ReadFileBytes(path),
             "the plain save wrote the text to the path of the failed open");
  CloseEditor(editor);
}

// What the decrypting open puts into the edit area for each kind of file and each answer to the
// key request; the caption names the opened file in every case.
E2E_SCENARIO(files_decrypting_open_outcomes, "") {
  const std::wstring secret = L"解読された内容\r\n";
  enum class Answer { Key, Cancel, EmptyKey, DecryptError, NotAsked };
  const struct {
    const char* name;
    const wchar_t* file;
    bool encrypted;
    std::string content;
    Answer answer;
    bool showsLetters;  // the file's text as read
    const wchar_t* shows;
  } cases[] = {
      {"encrypted file, key given", L"暗号.qzv", true, Cp932(secret), Answer::Key, false,
       L"解読された内容\r\n"},
      {"encrypted file, key request cancelled", L"暗号.qzv", true, Cp932(secret), Answer::Cancel,
       false, L""},
      {"encrypted file, empty key", L"暗号.qzv", true, Cp932(secret), Answer::EmptyKey, true, L""},
      {"plain text file", L"文章.txt", false, Cp932(L"ただの文章\r\n"), Answer::DecryptError, false,
       L""},
      {"empty file", L"空.qzv", false, "", Answer::NotAsked, false, L""},
  };
  bool shotError = false;
  for (const auto& c : cases) {
    const std::string what = c.name;
    const std::wstring path = ScenarioFolder() + c.file;
    if (c.encrypted) {
      WriteEncrypted(path, c.content);
    } else {
      WriteFileBytes(path, c.content);
    }
    const std::optional<std::string> before = ReadFileBytes(path);
    const std::wstring shows = c.showsLetters ? FromCp932(before.value_or("")) : c.shows;

    Editor editor = StartOnNewDocument();
    SetText(editor.memo, L"前のテキスト");
    Shortcut(editor, 'O', false);
    ChooseFile(WaitDialog(editor.app, kOpenCaption), path);
    switch (c.answer) {
      case Answer::Key:
        AnswerKey(editor.app, kKey);
        break;
      case Answer::Cancel:
        CancelKey(editor.app);
        break;
      case Answer::EmptyKey: {
        const KeyDialog dialog = WaitKeyDialog(editor.app);
        ClickButton(dialog.ok);
        HWND warning = WaitDialog(editor.app, kWarningCaption);
        Screenshot("empty-key-warning");
        ClickButton(WaitChild(warning, {.className = L"Button", .id = kBoxOkId}));
        WaitGone(warning);
        WaitGone(dialog.window);
        break;
      }
      case Answer::DecryptError: {
        AnswerKey(editor.app, kKey);
        HWND error = WaitDialog(editor.app, kErrorCaption);
        CheckBoxLook(error, {L"解読に失敗しました。", {L"OK"}, kBoxOkId}, what + ", the error box");
        if (!shotError) Screenshot("decrypt-error");
        shotError = true;
        ClickButton(WaitChild(error, {.className = L"Button", .id = kBoxOkId}));
        WaitGone(error);
        break;
      }
      case Answer::NotAsked:
        break;
    }
    WaitText(editor.memo, shows);
    if (c.answer == Answer::NotAsked)
      Check(!DialogShown(editor.app, kAskKeyCaption), what + ": no key asked");
    const std::wstring file = c.file;
    CheckEqual(DocumentCaption(file), TextOf(editor.main), what + ": the caption names the file");
    CheckEqual(before, ReadFileBytes(path), what + ": the file is unchanged");
    CloseEditor(editor);
  }
}

// The encrypting save as with the key request cancelled writes nothing and keeps the caption; the
// document has moved to the chosen path all the same, so the next save goes there without a
// dialog.
E2E_SCENARIO(files_save_as_key_cancelled, "") {
  Editor editor = StartOnNewDocument();
  const std::wstring caption = TextOf(editor.main);
  const std::wstring text = L"まだ保存されていない";
  SetText(editor.memo, text);
  const std::wstring path = MakeFolder(L"メモ帳ソフト") + L"選んだ.qzv";
  ChooseMenuItem(editor, 'F', 'A');
  ChooseFile(WaitDialog(editor.app, kSaveCaption), path);
  CancelKey(editor.app);
  Sync(editor.main);
  Check(!FileExists(path), "nothing is written");
  CheckEqual(caption, TextOf(editor.main), "the caption keeps the old name");

  Shortcut(editor, 'S', false);
  AnswerKey(editor.app, kKey);
  WaitText(editor.main, DocumentCaption(L"選んだ.qzv"));
  Check(!DialogShown(editor.app, kSaveCaption), "no save dialog");
  CheckEqual(Cp932(text), DecryptedFile(path), "the save wrote to the chosen path");
  CloseEditor(editor);
}

// Every file command from each way there is to run it: its menu item (Alt+F and the item's
// letter), its tool bar button (a mouse click) and its shortcut. The shortcuts never reach the
// edit area. The cases run in this order in one program: the saves while the document is
// doc.txt, then the opens, the save-as commands, New, and Exit.
E2E_SCENARIO(files_commands_every_route, "") {
  const std::wstring folder = MakeFolder(L"経路");
  const std::wstring doc = folder + L"doc.txt";
  const std::wstring encrypted = folder + L"enc.qzv";
  const std::wstring secret = L"経路の秘密\r\n";
  WriteFileBytes(doc, Cp932(L"始め\r\n"));
  WriteEncrypted(encrypted, Cp932(secret));
  const std::wstring letters = FromCp932(ReadFileBytes(encrypted).value_or(""));

  enum class Command { New, Open, Save, SaveAs, OpenNormal, SaveNormal, SaveAsNormal, Exit };
  enum class Way { Menu, Button, Key };
  const struct {
    Command command;
    Way way;
    char letter;       // the menu item's access key, or the shortcut's letter
    bool alt = false;  // Ctrl+Alt rather than Ctrl
    int button = 0;
  } cases[] = {
      {Command::Save, Way::Menu, 'S'},
      {Command::Save, Way::Button, 0, false, 3},
      {Command::Save, Way::Key, 'S'},
      {Command::SaveNormal, Way::Menu, 'T'},
      {Command::SaveNormal, Way::Key, 'S', true},
      {Command::Open, Way::Menu, 'O'},
      {Command::Open, Way::Button, 0, false, 2},
      {Command::Open, Way::Key, 'O'},
      {Command::OpenNormal, Way::Menu, 'P'},
      {Command::OpenNormal, Way::Key, 'O', true},
      {Command::SaveAs, Way::Menu, 'A'},
      {Command::SaveAsNormal, Way::Menu, 'B'},
      {Command::New, Way::Menu, 'N'},
      {Command::New, Way::Button, 0, false, 1},
      {Command::Exit, Way::Menu, 'X'},
  };
  static constexpr const char* kCommandNames[] = {
      "FileNew",        "FileOpen",       "FileSave",         "FileSaveAs",
      "FileOpenNormal", "FileSaveNormal", "FileSaveAsNormal", "FileExit"};
  static constexpr const char* kWayNames[] = {"menu item", "tool bar button", "shortcut"};

  Editor editor = StartEditor(QuoteArgument(doc));
  WaitText(editor.memo, L"始め\r\n");
  int number = 0;
  for (const auto& c : cases) {
    ++number;
    const std::string what = std::string(kCommandNames[static_cast<int>(c.command)]) + " by " +
                             kWayNames[static_cast<int>(c.way)];
    const auto run = [&] {
      switch (c.way) {
        case Way::Menu:
          ChooseMenuItem(editor, 'F', c.letter);
          break;
        case Way::Button:
          ClickToolButton(editor, c.button);
          break;
        case Way::Key:
          Shortcut(editor, c.letter, c.alt);
          break;
      }
    };
    const std::wstring text = L"経路 " + std::to_wstring(number);
    const std::wstring captionBefore = TextOf(editor.main);
    switch (c.command) {
      case Command::Save:
      case Command::SaveNormal: {
        const bool encrypting = c.command == Command::Save;
        WriteFileBytes(doc, "before");
        SetText(editor.memo, text);
        run();
        if (encrypting) AnswerKey(editor.app, kKey);
        WaitFor(what + " writes the file", [&] {
          const std::optional<std::string> bytes = ReadFileBytes(doc);
          return bytes && *bytes != "before";
        });
        if (encrypting) {
          CheckEncrypted(ReadFileBytes(doc), text, kKey, what);
          CheckEqual(Cp932(text), DecryptedFile(doc), what + ": the file decrypts to the text");
        } else {
          CheckEqual(std::optional<std::string>(Cp932(text)), ReadFileBytes(doc),
                     what + ": the file holds the text");
          Check(!DialogShown(editor.app, kAskKeyCaption), what + ": no key is asked for");
        }
        CheckEqual(text, TextOf(editor.memo), what + ": the edit area is unchanged");
        break;
      }
      case Command::Open:
      case Command::OpenNormal: {
        const bool decrypting = c.command == Command::Open;
        SetText(editor.memo, text);
        if (c.way == Way::Key) {
          // Cancelled, the dialog shows that the key itself did nothing to the text.
          run();
          CancelDialog(WaitDialog(editor.app, kOpenCaption));
          Sync(editor.main);
          CheckEqual(text, TextOf(editor.memo), what + ": the key does not reach the edit area");
        }
        run();
        ChooseFile(WaitDialog(editor.app, kOpenCaption), encrypted);
        if (decrypting) AnswerKey(editor.app, kKey);
        WaitText(editor.memo, decrypting ? secret : letters);
        if (!decrypting)
          Check(!DialogShown(editor.app, kAskKeyCaption), what + ": no key is asked for");
        CheckEqual(DocumentCaption(L"enc.qzv"), TextOf(editor.main), what + ": caption");
        break;
      }
      case Command::SaveAs:
      case Command::SaveAsNormal: {
        const bool encrypting = c.command == Command::SaveAs;
        const std::wstring name = encrypting ? L"別名.qzv" : L"別名.txt";
        SetText(editor.memo, text);
        run();
        HWND dialog = WaitDialog(editor.app, kSaveCaption);
        CheckEqual(captionBefore.substr(10), TextOf(FileNameField(dialog)),
                   what + ": preset with the document's name");
        ChooseFile(dialog, folder + name);
        if (encrypting) AnswerKey(editor.app, kKey);
        WaitText(editor.main, DocumentCaption(name));
        if (encrypting) {
          CheckEqual(Cp932(text), DecryptedFile(folder + name), what + ": the file decrypts");
        } else {
          CheckEqual(std::optional<std::string>(Cp932(text)), ReadFileBytes(folder + name),
                     what + ": the file holds the text");
        }
        break;
      }
      case Command::New:
        SetText(editor.memo, text);
        run();
        WaitText(editor.memo, L"");
        WaitFor(what + " names a new document", [&] {
          const std::wstring caption = TextOf(editor.main);
          return caption.size() == 26 && caption.ends_with(L".qzv") &&
                 std::all_of(caption.begin() + 10, caption.begin() + 22, iswdigit);
        });
        break;
      case Command::Exit:
        SetText(editor.memo, text);
        run();
        CheckEqual(0ul, editor.app.WaitExit(), what + ": the program ends without asking");
        break;
    }
  }
}

namespace {

using BenchClock = std::chrono::steady_clock;
constexpr Millis kBenchLimit{180000};

double SecondsSince(BenchClock::time_point start) {
  return std::chrono::duration<double>(BenchClock::now() - start).count();
}

// WM_GETTEXTLENGTH answered once the program has finished what it is doing, however long that
// takes; nothing when it did not answer.
std::optional<LRESULT> TextLength(HWND edit) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL,
                           static_cast<UINT>(kBenchLimit.count()), &length)) {
    return std::nullopt;
  }
  return static_cast<LRESULT>(length);
}

void WaitTextLength(HWND edit, std::size_t expected, const char* what) {
  std::optional<LRESULT> length;
  const bool reached = PollUntil(
      [&] { return (length = TextLength(edit)) == static_cast<LRESULT>(expected); }, kBenchLimit);
  Require(reached, std::string(what) + ": the edit control holds " + Describe(length.value_or(-1)) +
                       " characters, not " + std::to_string(expected));
}

// The caption as the system keeps it: read without a message, so a busy program does not block.
std::wstring CaptionOf(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

// Under Wine the counters of another process come from its /proc status: the peak working set is
// VmHWM, the page-file usage the anonymous resident memory now (RssAnon).
struct Memory {
  double peakMb = 0;
  double anonymousMb = 0;
};

Memory MemoryOf(const App& app) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (!GetProcessMemoryInfo(app.Handle(), &counters, sizeof(counters))) return {};
  return {static_cast<double>(counters.PeakWorkingSetSize) / (1 << 20),
          static_cast<double>(counters.PagefileUsage) / (1 << 20)};
}

// How Wine's notepad shows text: with its fWrap setting 1 it wraps long lines, as the editor
// always does; "like the editor" also gives it the editor's window size and edit area font, so
// that both controls wrap the same lines at the same width.
enum class NotepadLook { Plain, Wrapping, LikeTheEditor };

void SetNotepadLook(NotepadLook look) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Notepad", 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    Abort("cannot set notepad's settings");
  }
  const auto set = [&](const wchar_t* name, DWORD value) {
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  };
  set(L"fWrap", look == NotepadLook::Plain ? 0 : 1);
  if (look == NotepadLook::LikeTheEditor) {
    set(L"iWindowPosX", 226);
    set(L"iWindowPosY", 121);
    set(L"iWindowPosDX", 480);
    set(L"iWindowPosDY", 320);
    set(L"iPointSize", 112);  // 15 pixels at 96 DPI, in tenths of a point
    set(L"lfCharSet", SHIFTJIS_CHARSET);
    const std::wstring face = L"IPAPGothic";
    RegSetValueExW(key, L"lfFaceName", 0, REG_SZ, reinterpret_cast<const BYTE*>(face.c_str()),
                   static_cast<DWORD>((face.size() + 1) * sizeof(wchar_t)));
  }
  RegCloseKey(key);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

std::string Figures(const std::vector<double>& values, const char* unit) {
  char line[256];
  std::string all;
  for (const double v : values) {
    std::snprintf(line, sizeof line, "%s%.2f", all.empty() ? "" : " ", v);
    all += line;
  }
  std::snprintf(line, sizeof line, "median %.2f %s (runs: %s)", Median(values), unit, all.c_str());
  return line;
}

}  // namespace

// Timings for scripts/bench-open-save.sh, which sets E2E_BENCH=1; skipped in the ordinary runs.
// A 5 MB code page 932 text, encrypted to about 10 MB: the decrypting open from confirming the
// key to the text in the edit area, the encrypting save from confirming the key to the file
// written and the caption set, the plain open of the 5 MB for comparison, Wine's notepad opening
// the same 5 MB from its start, and the peak memory of each. Three runs each, fresh processes.
E2E_SCENARIO(bench_open_save, "bench") {
  const char* requested = std::getenv("E2E_BENCH");
  if (!requested || std::string_view(requested) != "1") {
    Skip("timings only with E2E_BENCH=1 (scripts/bench-open-save.sh)");
  }
  std::string plain;
  plain.reserve(5u << 20);
  const std::string line =
      Cp932(L" 日本語のテキストを暗号化して保存し、開いて解読する時間を測ります。ソフト表示\r\n");
  for (int number = 0; plain.size() + line.size() + 8 <= (5u << 20); ++number) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%07d", number);
    plain += prefix;
    plain += line;
  }
  const std::wstring folder = MakeFolder(L"計測");
  const std::wstring text = folder + L"本文.txt";
  const std::wstring encrypted = folder + L"本文.qzv";
  WriteFileBytes(text, plain);
  WriteEncrypted(encrypted, plain);
  const std::size_t characters = FromCp932(plain).size();
  const std::size_t encodedSize = ReadFileBytes(encrypted).value_or("").size();
  Note("bench: text " + std::to_string(plain.size()) + " bytes (" + std::to_string(characters) +
       " characters), encrypted file " + std::to_string(encodedSize) + " bytes");

  std::vector<double> plainOpen, read, decrypt, save, startPeak, peak, anonymous;
  std::vector<double> notepad, notepadWrapped, notepadLikeEditor, notepadPeak;
  for (int run = 0; run < 3; ++run) {
    Editor editor = StartOnNewDocument();
    startPeak.push_back(MemoryOf(editor.app).peakMb);

    // The plain open, for comparison with notepad: from confirming the file to the text shown.
    Shortcut(editor, 'O', true);
    HWND dialog = WaitDialog(editor.app, kOpenCaption);
    SetText(FileNameField(dialog), text);
    auto start = BenchClock::now();
    ClickButton(WaitChild(dialog, {.className = L"Button", .id = IDOK}));
    WaitTextLength(editor.memo, characters, "plain open");
    plainOpen.push_back(SecondsSince(start));
    SetText(editor.memo, L"");

    // The decrypting open: reading up to the key request, then from the key to the text shown.
    Shortcut(editor, 'O', false);
    dialog = WaitDialog(editor.app, kOpenCaption);
    SetText(FileNameField(dialog), encrypted);
    start = BenchClock::now();
    ClickButton(WaitChild(dialog, {.className = L"Button", .id = IDOK}));
    HWND key = WaitDialog(editor.app, kAskKeyCaption, kBenchLimit);
    read.push_back(SecondsSince(start));
    SetText(WaitChild(key, {.className = L"Edit", .id = kKeyFieldId}), kKey);
    start = BenchClock::now();
    ClickButton(WaitChild(key, {.className = L"Button", .id = IDOK}));
    WaitTextLength(editor.memo, characters, "decrypting open");
    decrypt.push_back(SecondsSince(start));

    // The encrypting save under a new name: from the key to the caption naming the written file.
    ChooseMenuItem(editor, 'F', 'A');
    dialog = WaitDialog(editor.app, kSaveCaption);
    const std::wstring saved = folder + L"保存" + std::to_wstring(run) + L".qzv";
    ChooseFile(dialog, saved);
    key = WaitDialog(editor.app, kAskKeyCaption);
    SetText(WaitChild(key, {.className = L"Edit", .id = kKeyFieldId}), kKey);
    start = BenchClock::now();
    ClickButton(WaitChild(key, {.className = L"Button", .id = IDOK}));
    const std::wstring caption = DocumentCaption(saved.substr(saved.rfind(L'\\') + 1));
    Require(PollUntil([&] { return CaptionOf(editor.main) == caption; }, kBenchLimit),
            "the save sets the caption");
    save.push_back(SecondsSince(start));
    CheckEqual(encodedSize, ReadFileBytes(saved).value_or("").size(),
               "the saved file has the encoded size");

    const Memory memory = MemoryOf(editor.app);
    peak.push_back(memory.peakMb);
    anonymous.push_back(memory.anonymousMb);
    CloseEditor(editor);

    // Wine's notepad on the same text, without and with wrapping: from its start to its edit
    // control holding it all.
    for (const NotepadLook look :
         {NotepadLook::Plain, NotepadLook::Wrapping, NotepadLook::LikeTheEditor}) {
      const bool wrap = look != NotepadLook::Plain;
      SetNotepadLook(look);
      wchar_t system[MAX_PATH] = {};
      GetSystemDirectoryW(system, MAX_PATH);
      start = BenchClock::now();
      App other = Launch(std::wstring(system) + L"\\notepad.exe", QuoteArgument(text));
      HWND window = WaitTopWindow(other, {.className = L"Notepad"}, kBenchLimit);
      HWND edit = WaitChild(window, {.className = L"Edit"});
      WaitTextLength(edit, characters, "notepad");
      (look == NotepadLook::Plain      ? notepad
       : look == NotepadLook::Wrapping ? notepadWrapped
                                       : notepadLikeEditor)
          .push_back(SecondsSince(start));
      CheckEqual(wrap, (GetWindowLongW(edit, GWL_STYLE) & ES_AUTOHSCROLL) == 0,
                 "notepad wraps long lines as asked");
      if (!wrap) notepadPeak.push_back(MemoryOf(other).peakMb);
      PostClose(window);
      other.WaitExit(kBenchLimit);
    }
  }
  Note("bench: vellumo plain open of the 5 MB text, confirming the file to text shown: " +
       Figures(plainOpen, "s"));
  Note("bench: vellumo decrypting open, confirming the file to the key request: " +
       Figures(read, "s"));
  Note("bench: vellumo decrypting open, confirming the key to text shown: " +
       Figures(decrypt, "s"));
  Note("bench: vellumo encrypting save, confirming the key to file written and caption set: " +
       Figures(save, "s"));
  Note("bench: vellumo peak working set (VmHWM) after start: " + Figures(startPeak, "MB"));
  Note("bench: vellumo peak working set (VmHWM) after open and save: " + Figures(peak, "MB"));
  Note("bench: vellumo anonymous memory (RssAnon) after the save: " + Figures(anonymous, "MB"));
  Note("bench: Wine notepad, no wrapping, start to text shown: " + Figures(notepad, "s"));
  Note("bench: Wine notepad, wrapping long lines, start to text shown: " +
       Figures(notepadWrapped, "s"));
  Note(
      "bench: Wine notepad with the editor's window size and font, wrapping, start to text "
      "shown: " +
      Figures(notepadLikeEditor, "s"));
  Note("bench: Wine notepad peak working set (VmHWM): " + Figures(notepadPeak, "MB"));
}

}  // namespace vellumo::e2e
