// Scenarios on what the document keeps: the program's own code page 932 table against the
// system's; bytes that are no code page 932 character survive the plain and the decrypting opens,
// the four saves, the decrypting paste and the encrypting cut and copy, shown as placeholder
// glyphs meanwhile; and a character without a code page 932 form is never turned into "?"
// without the question first.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "platform/cp932.h"
#include "tests/e2e/driver/e2e.h"

namespace vellumo::e2e {
namespace {

constexpr wchar_t kKey[] = L"あおい";
const std::wstring kOpenCaption = L"開く";
const std::wstring kSaveCaption = L"名前を付けて保存";
constexpr int kFileNameId = 1148;  // the file dialogs' file name field

// A text file of bytes that are no code page 932 character: an undefined pair, Windows' single
// bytes 80, A0 and FD to FF, lead bytes before a blank and at a line's end, and a UTF-8 line
// (日本語 café, whose bytes make Japanese characters, half-width katakana and a lead byte before a
// blank); then ordinary Japanese.
std::string Fixture() {
  return "undefined pair \x85\x40 end\r\n"
         "lone bytes \x80 \xA0 \xFD \xFE \xFF end\r\n"
         "lead before a blank \x81 and at a line end \x9F\r\n"
         "UTF-8 \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E caf\xC3\xA9\r\n" +
         Cp932(L"漢字とかな\r\n");
}

// The fixture as the edit area shows it: a byte that starts no character is the lone surrogate
// U+DC00 + byte, Windows' single bytes their own characters.
std::wstring Shown() {
  return L"undefined pair \xDC85@ end\r\n"
         L"lone bytes \x0080 \xF8F0 \xF8F1 \xF8F2 \xF8F3 end\r\n"
         L"lead before a blank \xDC81 and at a line end \xDC9F\r\n"
         L"UTF-8 " +
         FromCp932("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA") + L"\xDC9E caf" + FromCp932("\xC3\xA9") +
         L"\r\n漢字とかな\r\n";
}

// The fixture encrypted under kKey by the command-line tool of the same build, another writer
// than the editor.
std::string EncryptedFixture() {
  const std::wstring key = ScenarioFolder() + L"key.txt";
  const std::wstring plain = ScenarioFolder() + L"plain-for-cli.txt";
  const std::wstring encrypted = ScenarioFolder() + L"encrypted-by-cli.qzv";
  WriteFileBytes(key, Cp932(kKey));
  WriteFileBytes(plain, Fixture());
  App cli = Launch(BuildPath(L"cli/vellumo-cli.exe"),
                   L"encrypt --key-file " + QuoteArgument(key) + L" -o " +
                       QuoteArgument(encrypted) + L" " + QuoteArgument(plain),
                   SW_HIDE);
  RequireEqual(0ul, cli.WaitExit(), "vellumo-cli encrypts the fixture");
  return ReadFileBytes(encrypted).value_or("");
}

// The bytes an encrypted text stands for under kKey, read by the driver's own decoder.
std::optional<std::string> Decrypted(std::string_view encoded) {
  return DecodeLetters(encoded, KeyByteOf(kKey));
}

void ChooseFile(const App& app, const std::wstring& caption, const std::wstring& path) {
  HWND dialog = WaitDialog(app, caption);
  SetText(WaitChild(dialog, {.className = L"Edit", .id = kFileNameId}), path);
  ClickButton(WaitChild(dialog, {.className = L"Button", .id = IDOK}));
  WaitGone(dialog);
}

// Waits for the edit area to show the fixture, and checks that the placeholders asked nothing.
void WaitShown(const Editor& editor) {
  WaitText(editor.memo, Shown());
  SyncPosted(editor.memo);
  Check(!DialogShown(editor.app, kWarningCaption), "no question for the placeholders");
}

// Removes a file that the next save will write again, so that its bytes are the save's.
void Remove(const std::wstring& path) {
  Require(DeleteFileW(path.c_str()) != FALSE, "the old file removed");
}

}  // namespace

// The program's table (its strict form, without placeholders) against the system's converter,
// an implementation of its own: every single byte and every pair of a lead byte, and every
// character of the basic plane without best fit. They may differ only where the system's table
// lacks Windows' single bytes A0 and FD to FF, as Wine's does.
E2E_SCENARIO(fidelity_table_agrees_with_the_system, "") {
  const std::set<std::string> lackedBySystem = {"\xA0", "\xFD", "\xFE", "\xFF"};
  int differences = 0;
  const auto differ = [&](const std::string& what) {
    if (++differences <= 10) Check(false, what + " differs from the system's");
  };
  for (unsigned code = 0; code < 0x10000; ++code) {
    const unsigned lead = code >> 8;
    const bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    if (code >= 0x100 && !isLead) continue;
    std::string bytes;
    if (code >= 0x100) bytes += static_cast<char>(lead);
    bytes += static_cast<char>(code & 0xFF);
    wchar_t system[4] = {};
    const int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(),
                                      static_cast<int>(bytes.size()), system, 4);
    std::string utf8;
    const bool ours = Cp932ToUtf8(bytes, utf8).ok;
    const std::u16string units = Cp932ToUtf16(bytes);
    bool same = (n > 0) == ours;
    if (same && ours) {
      same = units.size() == static_cast<std::size_t>(n) &&
             std::equal(units.begin(), units.end(), system,
                        [](char16_t a, wchar_t b) { return a == static_cast<char16_t>(b); });
    }
    if (!same && !lackedBySystem.count(bytes)) differ("decoding " + Describe(bytes));
  }
  for (unsigned c = 0; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const wchar_t unit = static_cast<wchar_t>(c);
    char system[4] = {};
    BOOL defaulted = FALSE;
    const int n =
        WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &unit, 1, system, 4, nullptr, &defaulted);
    const char16_t one = static_cast<char16_t>(c);
    std::string ours;
    const bool lost = Utf16ToCp932(std::u16string_view(&one, 1), ours) != kAllConverted;
    if (lost != (defaulted != FALSE) ||
        (!lost && ours != std::string_view(system, n > 0 ? n : 0))) {
      differ("encoding U+" + std::to_string(c));
    }
  }
  CheckEqual(0, differences, "differences outside the single bytes the system lacks");
}

E2E_SCENARIO(fidelity_plain_open_and_save_keep_every_byte, "") {
  const std::wstring original = ScenarioFolder() + L"元.txt";
  WriteFileBytes(original, Fixture());

  // FileOpenNormal, then FileSaveNormal over the same file.
  {
    const std::wstring path = ScenarioFolder() + L"上書き.txt";
    WriteFileBytes(path, Fixture());
    Editor editor = StartOnNewDocument();
    PostCommand(editor.main, kFileOpenNormalId);
    ChooseFile(editor.app, kOpenCaption, path);
    WaitShown(editor);
    Screenshot("placeholders");
    Remove(path);
    PressKeys(editor.memo, {VK_CONTROL, VK_MENU, 'S'});
    SyncPosted(editor.memo);
    CheckEqual(std::optional<std::string>(Fixture()), ReadFileBytes(path),
               "open and save give the same bytes");
    CloseEditor(editor);
  }
  // The start-up open, then FileSaveAsNormal under a new name.
  {
    const std::wstring copy = ScenarioFolder() + L"写し.txt";
    Editor editor = StartEditor(QuoteArgument(original));
    WaitShown(editor);
    PostCommand(editor.main, kFileSaveAsNormalId);
    ChooseFile(editor.app, kSaveCaption, copy);
    WaitText(editor.main, DocumentCaption(L"写し.txt"));
    CheckEqual(std::optional<std::string>(Fixture()), ReadFileBytes(copy),
               "the start-up open and Save As give the same bytes");
    CloseEditor(editor);
  }
}

E2E_SCENARIO(fidelity_decrypting_open_and_save_keep_every_byte, "") {
  const std::string encrypted = EncryptedFixture();
  CheckEqual(std::optional<std::string>(Fixture()), Decrypted(encrypted), "the encrypted fixture");

  // FileOpen, then FileSave over the same file.
  {
    const std::wstring path = ScenarioFolder() + L"上書き.qzv";
    WriteFileBytes(path, encrypted);
    Editor editor = StartOnNewDocument();
    PostCommand(editor.main, kFileOpenId);
    ChooseFile(editor.app, kOpenCaption, path);
    AnswerKey(editor.app, kKey);
    WaitShown(editor);
    Remove(path);
    PressKeys(editor.memo, {VK_CONTROL, 'S'});
    AnswerKey(editor.app, kKey);
    SyncPosted(editor.memo);
    CheckEqual(std::optional<std::string>(Fixture()), Decrypted(ReadFileBytes(path).value_or("")),
               "the decrypting open and the encrypting save");
    CloseEditor(editor);
  }
  // The start-up open of a .qzv file, then FileSaveAs under a new name.
  {
    const std::wstring path = ScenarioFolder() + L"起動.qzv";
    const std::wstring copy = ScenarioFolder() + L"写し.qzv";
    WriteFileBytes(path, encrypted);
    Editor editor = StartEditor(QuoteArgument(path));
    AnswerKey(editor.app, kKey);
    WaitShown(editor);
    PostCommand(editor.main, kFileSaveAsId);
    ChooseFile(editor.app, kSaveCaption, copy);
    AnswerKey(editor.app, kKey);
    WaitText(editor.main, DocumentCaption(L"写し.qzv"));
    CheckEqual(std::optional<std::string>(Fixture()), Decrypted(ReadFileBytes(copy).value_or("")),
               "the start-up open and the encrypting Save As");
    CloseEditor(editor);
  }
}

E2E_SCENARIO(fidelity_clipboard_keeps_every_byte, "") {
  Editor editor = StartOnNewDocument();
  // The decrypting paste, then the encrypting copy and cut of the whole text.
  SetClipboardAnsi(EncryptedFixture());
  PressKeys(editor.memo, {VK_CONTROL, 'V'});
  AnswerKey(editor.app, kKey);
  WaitShown(editor);
  for (const bool cut : {false, true}) {
    SelectText(editor.memo, 0, -1);
    const DWORD sequence = GetClipboardSequenceNumber();
    PressKeys(editor.memo, {VK_CONTROL, static_cast<WORD>(cut ? 'X' : 'C')});
    AnswerKey(editor.app, kKey);
    CheckEqual(std::optional<std::string>(Fixture()), Decrypted(WaitClipboardChange(sequence)),
               cut ? "the encrypting cut" : "the encrypting copy");
  }
  WaitText(editor.memo, L"");

  // With an empty key the bytes themselves go to the clipboard, and come back from it.
  SetText(editor.memo, Shown());
  SelectText(editor.memo, 0, -1);
  const DWORD sequence = GetClipboardSequenceNumber();
  PressKeys(editor.memo, {VK_CONTROL, 'C'});
  AnswerKey(editor.app, L"");
  CheckEqual(Fixture(), WaitClipboardChange(sequence), "CF_TEXT holds the bytes");
  CheckEqual(std::optional<std::wstring>(Shown()), ClipboardUnicode(),
             "the Unicode form holds the placeholders");
  SetText(editor.memo, L"");
  PressKeys(editor.memo, {VK_CONTROL, 'V'});
  AnswerKey(editor.app, L"");
  WaitShown(editor);
  CloseEditor(editor);
}

// A Hangul character typed into a saved document: the encrypting save and copy ask first.
// キャンセル, Escape and the close box end the command with nothing written and no key asked for;
// OK goes on and writes "?".
E2E_SCENARIO(fidelity_question_before_question_marks, "") {
  const std::wstring path = ScenarioFolder() + L"メモ.txt";
  const std::string before = Cp932(L"メモ\r\n");
  WriteFileBytes(path, before);
  Editor editor = StartEditor(QuoteArgument(path));
  WaitText(editor.memo, L"メモ\r\n");
  const std::wstring caption = TextOf(editor.main);
  PressKeys(editor.memo, {VK_CONTROL, VK_END});
  TypeText(editor.memo, L"한");
  WaitText(editor.memo, L"メモ\r\n한");
  const std::wstring question =
      L"このテキストには、Shift_JIS（コードページ 932）で表せない文字が含まれています"
      L"（2 行目の「한」など）。\r\nこれらの文字は「?」に置き換えられます。続けますか？";

  struct Decline {
    const char* what;
    WORD command;  // the shortcut's letter, with Ctrl
    std::function<void(HWND)> answer;
  };
  const Decline declines[] = {
      {"the save, キャンセル", 'S',
       [](HWND box) { ClickButton(WaitChild(box, {.id = kBoxCancelId})); }},
      {"the save, Escape", 'S',
       [](HWND box) { PressKeys(WaitChild(box, {.id = kBoxOkId}), {VK_ESCAPE}); }},
      {"the save, the close box", 'S', [](HWND box) { PostSystemClose(box); }},
      {"the copy, キャンセル", 'C',
       [](HWND box) { ClickButton(WaitChild(box, {.id = kBoxCancelId})); }},
  };
  bool first = true;
  for (const Decline& d : declines) {
    const std::string what = d.what;
    SelectText(editor.memo, 0, -1);
    SetClipboardAnsi("old");
    const DWORD sequence = GetClipboardSequenceNumber();
    PressKeys(editor.memo, {VK_CONTROL, d.command});
    HWND box = WaitDialog(editor.app, kWarningCaption);
    if (first) {
      CheckBoxLook(box, {question, {L"OK", L"キャンセル"}, kBoxOkId}, "the question");
      CheckEqual(false, IsEnabled(editor.main), "the main window is disabled under the question");
      Screenshot("question");
      first = false;
    }
    d.answer(box);
    WaitGone(box);
    SyncPosted(editor.memo);
    Check(!DialogShown(editor.app, kAskKeyCaption), what + ": no key asked for");
    CheckEqual(std::optional<std::string>(before), ReadFileBytes(path), what + ": nothing written");
    CheckEqual(sequence, GetClipboardSequenceNumber(), what + ": the clipboard untouched");
    CheckEqual(caption, TextOf(editor.main), what + ": the caption stays");
    CheckEqual(std::wstring(L"メモ\r\n한"), TextOf(editor.memo), what + ": the text stays");
  }

  PressKeys(editor.memo, {VK_CONTROL, 'S'});
  HWND box = WaitDialog(editor.app, kWarningCaption);
  ClickButton(WaitChild(box, {.id = kBoxOkId}));
  WaitGone(box);
  AnswerKey(editor.app, kKey);
  SyncPosted(editor.memo);
  CheckEqual(std::optional<std::string>(before + "?"), Decrypted(ReadFileBytes(path).value_or("")),
             "OK: the save writes \"?\"");
  CheckEqual(std::wstring(L"メモ\r\n한"), TextOf(editor.memo), "the edit area still shows it");
  CloseEditor(editor);
}

}  // namespace vellumo::e2e
