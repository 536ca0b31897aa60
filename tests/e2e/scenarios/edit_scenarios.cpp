// Scenarios of the edit area's commands on the real program: the encrypting cut and copy and the
// decrypting paste with the key dialog, the plain clipboard commands, undo, select all, the key
// change, a busy or empty clipboard, and the About box, reached by menu, tool bar and shortcut.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/e2e/driver/e2e.h"

namespace vellumo::e2e {
namespace {

// The keys typed into the key dialog. Their derived key bytes differ (0xAA and 0xF2), so a text
// encrypted under one does not decrypt under the other.
constexpr wchar_t kKey[] = L"あおい";
constexpr wchar_t kOtherKey[] = L"みどり";

void PutText(const Editor& editor, std::wstring_view text, int selStart, int selEnd) {
  SetText(editor.memo, text);
  SelectText(editor.memo, selStart, selEnd);
}

void CheckNoKeyDialog(const App& app, std::string_view when) {
  Check(!DialogShown(app, kAskKeyCaption), "no key asked " + std::string(when));
}

// Opens the clipboard for the driver, waiting while another program holds it.
void OpenClipboardFor(HWND owner) {
  WaitFor("the clipboard to be free", [&] { return OpenClipboard(owner) != FALSE; });
}

std::optional<LCID> ClipboardLocale() {
  OpenClipboardFor(nullptr);
  std::optional<LCID> locale;
  if (HANDLE data = GetClipboardData(CF_LOCALE)) {
    if (const auto* value = static_cast<const LCID*>(GlobalLock(data))) {
      locale = *value;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return locale;
}

// Puts a picture (a 1 x 1 device-independent bitmap) and no text on the clipboard.
void SetClipboardPicture() {
  static const HWND owner = CreateWindowExW(0, L"STATIC", L"picture owner", 0, 0, 0, 0, 0,
                                            HWND_MESSAGE, nullptr, nullptr, nullptr);
  OpenClipboardFor(owner);
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(BITMAPINFOHEADER) + 4);
  auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = 1;
  header->biHeight = 1;
  header->biPlanes = 1;
  header->biBitCount = 24;
  header->biCompression = BI_RGB;
  GlobalUnlock(block);
  const bool put = SetClipboardData(CF_DIB, block) != nullptr;
  if (!put) GlobalFree(block);
  CloseClipboard();
  Require(put, "a picture put on the clipboard");
}

// Presses a chord held in a table.
void PressChord(HWND focus, const std::vector<WORD>& keys) {
  switch (keys.size()) {
    case 1:
      PressKeys(focus, {keys[0]});
      return;
    case 2:
      PressKeys(focus, {keys[0], keys[1]});
      return;
    case 3:
      PressKeys(focus, {keys[0], keys[1], keys[2]});
      return;
    default:
      Abort("a chord of " + std::to_string(keys.size()) + " keys");
  }
}

// Makes an encrypted text of `text` under `key` with the program's own encrypting copy, leaving it
// on the clipboard, and answers it.
std::string EncryptThroughCopy(const Editor& editor, std::wstring_view text,
                               std::wstring_view key) {
  PutText(editor, text, 0, -1);
  const DWORD sequence = GetClipboardSequenceNumber();
  PostCommand(editor.main, kEditCopyId);
  AnswerKey(editor.app, key);
  return WaitClipboardChange(sequence);
}

}  // namespace

E2E_SCENARIO(edit_encrypted_copy_pastes_back_decrypted, "") {
  Editor editor = StartOnNewDocument();
  // Over 64 bytes in code page 932, so the encrypted text takes several lines; half-width
  // katakana (one byte each) and ASCII stand among the double-byte characters.
  const std::wstring first =
      L"暗号化コピーと解読貼り付けで日本語の文章が元に戻ることを確かめます。";
  const std::wstring second = L"半角ｶﾀｶﾅ、ASCII text 123 と記号「」も混ぜる。";
  const std::wstring text = first + L"\r\n" + second;
  TypeText(editor.memo, first);
  PressKeys(editor.memo, {VK_RETURN});
  TypeText(editor.memo, second);
  WaitText(editor.memo, text);

  PressKeys(editor.memo, {VK_CONTROL, 'A'});
  WaitFor("Ctrl+A to select the whole text, line break included", [&] {
    return SelectionOf(editor.memo) == std::vector<int>{0, static_cast<int>(text.size())};
  });
  SetClipboardAnsi("old content");
  const DWORD sequence = GetClipboardSequenceNumber();
  PressKeys(editor.memo, {VK_CONTROL, 'C'});
  const KeyDialog dialog = WaitKeyDialog(editor.app);
  CheckEqual(std::wstring(), TextOf(dialog.field), "the key field starts empty");
  TypeKey(dialog, kKey);
  Screenshot("key-dialog-copy");
  ClickButton(dialog.ok);
  WaitGone(dialog.window);

  const std::string encrypted = WaitClipboardChange(sequence);
  CheckEncrypted(encrypted, text, kKey, "the encrypted copy");
  CheckEqual(std::optional<LCID>(
                 MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), SORT_DEFAULT)),
             ClipboardLocale(), "CF_LOCALE names Japanese");
  CheckEqual(text, TextOf(editor.memo), "the copy leaves the text as it was");

  // Pasted at the end of the text, the copy comes back as it was typed.
  PressKeys(editor.memo, {VK_CONTROL, VK_END});
  WaitFor("the caret at the end", [&] {
    return SelectionOf(editor.memo) ==
           std::vector<int>{static_cast<int>(text.size()), static_cast<int>(text.size())};
  });
  PressKeys(editor.memo, {VK_CONTROL, 'V'});
  AnswerKey(editor.app, kKey);
  WaitText(editor.memo, text + text);

  // The same letters put by another program as Unicode text only decrypt just as well.
  SetClipboardUnicode(FromCp932(encrypted));
  SelectText(editor.memo, 0, -1);
  PressKeys(editor.memo, {VK_CONTROL, 'V'});
  AnswerKey(editor.app, kKey);
  WaitText(editor.memo, text);
}

namespace {

using Invoke = std::function<void()>;

void CheckUndo(Editor& editor, const Invoke& invoke) {
  PutText(editor, L"元の文", 3, 3);
  TypeText(editor.memo, L"追加");
  WaitText(editor.memo, L"元の文追加");
  invoke();
  WaitText(editor.memo, L"元の文");
}

void CheckEncryptingCut(Editor& editor, const Invoke& invoke) {
  PutText(editor, L"残す切り取る", 2, 6);
  const DWORD sequence = GetClipboardSequenceNumber();
  invoke();
  AnswerKey(editor.app, kKey);
  CheckEncrypted(WaitClipboardChange(sequence), L"切り取る", kKey, "encrypting cut");
  WaitText(editor.memo, L"残す");
}

void CheckEncryptingCopy(Editor& editor, const Invoke& invoke) {
  PutText(editor, L"コピーする文", 0, -1);
  const DWORD sequence = GetClipboardSequenceNumber();
  invoke();
  AnswerKey(editor.app, kKey);
  CheckEncrypted(WaitClipboardChange(sequence), L"コピーする文", kKey, "encrypting copy");
  CheckEqual(std::wstring(L"コピーする文"), TextOf(editor.memo), "the copy changes no text");
}

void CheckDecryptingPaste(Editor& editor, const Invoke& invoke) {
  EncryptThroughCopy(editor, L"貼り付ける文", kKey);
  PutText(editor, L"前後", 1, 1);
  invoke();
  AnswerKey(editor.app, kKey);
  WaitText(editor.memo, L"前貼り付ける文後");
}

void CheckPlainCut(Editor& editor, const Invoke& invoke) {
  PutText(editor, L"残す切り取る", 2, 6);
  const DWORD sequence = GetClipboardSequenceNumber();
  invoke();
  CheckEqual(Cp932(L"切り取る"), WaitClipboardChange(sequence), "plain cut: the text itself");
  WaitText(editor.memo, L"残す");
  CheckNoKeyDialog(editor.app, "by the plain cut");
}

void CheckPlainCopy(Editor& editor, const Invoke& invoke) {
  PutText(editor, L"コピーする文", 0, -1);
  const DWORD sequence = GetClipboardSequenceNumber();
  invoke();
  CheckEqual(Cp932(L"コピーする文"), WaitClipboardChange(sequence), "plain copy: the text itself");
  CheckNoKeyDialog(editor.app, "by the plain copy");
}

void CheckPlainPaste(Editor& editor, const Invoke& invoke) {
  SetClipboardAnsi(Cp932(L"平文"));
  PutText(editor, L"前後", 1, 1);
  invoke();
  WaitText(editor.memo, L"前平文後");
  CheckNoKeyDialog(editor.app, "by the plain paste");
}

void CheckSelectAll(Editor& editor, const Invoke& invoke) {
  PutText(editor, L"一行目\r\n二行目", 2, 2);
  invoke();
  WaitFor("the whole text selected, CR LF included", [&] {
    return SelectionOf(editor.memo) == std::vector<int>{0, 8};
  });
}

void CheckKeyChange(Editor& editor, const Invoke& invoke) {
  invoke();
  CancelKey(editor.app, kChangeKeyCaption);
}

}  // namespace

// Each command of the Edit menu from its menu item (chosen by keyboard), its tool bar button and
// its shortcut. The encrypting commands ask for the key and put letters on the clipboard; the
// plain ones ask nothing and put the text itself there.
E2E_SCENARIO(edit_commands_from_menu_buttons_and_shortcuts, "") {
  Editor editor = StartOnNewDocument();
  const struct {
    const char* name;
    WORD menuLetter;
    std::vector<WORD> chord;
    int button;
    void (*check)(Editor&, const Invoke&);
  } commands[] = {
      {"元に戻す", 'U', {VK_CONTROL, 'Z'}, 4, CheckUndo},
      {"暗号化切り取り", 'T', {VK_CONTROL, 'X'}, 5, CheckEncryptingCut},
      {"暗号化コピー", 'C', {VK_CONTROL, 'C'}, 6, CheckEncryptingCopy},
      {"解読貼り付け", 'P', {VK_CONTROL, 'V'}, 7, CheckDecryptingPaste},
      {"切り取り", 'S', {VK_CONTROL, VK_MENU, 'X'}, 0, CheckPlainCut},
      {"コピー", 'B', {VK_CONTROL, VK_MENU, 'C'}, 0, CheckPlainCopy},
      {"貼り付け", 'O', {VK_CONTROL, VK_MENU, 'V'}, 0, CheckPlainPaste},
      {"すべて選択", 'A', {VK_CONTROL, 'A'}, 0, CheckSelectAll},
      {"「鍵」の変更", 'K', {VK_CONTROL, 'K'}, 0, CheckKeyChange},
  };
  for (const auto& command : commands) {
    Trace(std::string(command.name) + " from the menu");
    command.check(editor, [&] { ChooseMenuItem(editor, 'E', command.menuLetter); });
    Trace(std::string(command.name) + " from its shortcut");
    command.check(editor, [&] { PressChord(editor.memo, command.chord); });
    if (command.button != 0) {
      Trace(std::string(command.name) + " from its tool bar button");
      command.check(editor, [&] { ClickToolButton(editor, command.button); });
    }
  }
}

E2E_SCENARIO(edit_undo_brings_back_only_plain_cut_and_paste, "") {
  Editor editor = StartOnNewDocument();
  const std::string encrypted = EncryptThroughCopy(editor, L"挿入文", kKey);
  const std::wstring text = L"前選択部分後";
  const struct {
    const char* name;
    std::vector<WORD> chord;
    std::string clipboard;
    bool asksKey;
    const wchar_t* afterCommand;
    const wchar_t* afterUndo;
  } cases[] = {
      {"encrypting cut", {VK_CONTROL, 'X'}, "", true, L"前後", L"前後"},
      {"decrypting paste", {VK_CONTROL, 'V'}, encrypted, true, L"前挿入文後", L"前挿入文後"},
      {"plain cut", {VK_CONTROL, VK_MENU, 'X'}, "", false, L"前後", text.c_str()},
      {"plain paste",
       {VK_CONTROL, VK_MENU, 'V'},
       Cp932(L"挿入文"),
       false,
       L"前挿入文後",
       text.c_str()},
  };
  for (const auto& c : cases) {
    if (!c.clipboard.empty()) SetClipboardAnsi(c.clipboard);
    PutText(editor, text, 1, 5);
    PressChord(editor.memo, c.chord);
    if (c.asksKey) AnswerKey(editor.app, kKey);
    WaitText(editor.memo, c.afterCommand);
    PostCommand(editor.main, kEditUndoId);
    SyncPosted(editor.memo);
    CheckEqual(std::wstring(c.afterUndo), TextOf(editor.memo), std::string("undo after ") + c.name);
  }
}

E2E_SCENARIO(edit_clipboard_held_by_another_program, "") {
  Editor editor = StartOnNewDocument();
  const std::wstring text = L"使用中の文";
  const struct {
    const char* name;
    std::vector<WORD> chord;
    bool asksKey;  // the encrypting commands get the key before they open the clipboard
  } cases[] = {
      {"encrypting cut", {VK_CONTROL, 'X'}, true},
      {"encrypting copy", {VK_CONTROL, 'C'}, true},
      {"decrypting paste", {VK_CONTROL, 'V'}, false},
  };
  bool first = true;
  for (const auto& c : cases) {
    const std::string what = c.name;
    SetClipboardAnsi("before");
    PutText(editor, text, 1, 3);
    {
      ClipboardHold hold;
      PressChord(editor.memo, c.chord);
      if (c.asksKey) AnswerKey(editor.app, kKey);
      WaitFor("the failure box (or a key dialog)", [&] {
        return DialogShown(editor.app, kFailureCaption) || DialogShown(editor.app, kAskKeyCaption);
      });
      CheckNoKeyDialog(editor.app, what + " after the clipboard failed");
      HWND box = WaitDialog(editor.app, kFailureCaption);
      CheckBoxLook(box, {L"クリップボードを開くことができません.", {L"OK"}, IDOK},
                   what + ", the failure box");
      if (first) Screenshot("failure-box");
      first = false;
      ClickButton(WaitChild(box, {.id = IDOK}));
      WaitGone(box);
    }
    SyncPosted(editor.memo);
    CheckEqual(text, TextOf(editor.memo), what + ": the text stays");
    CheckEqual(std::vector<int>{1, 3}, SelectionOf(editor.memo), what + ": the selection stays");
    CheckEqual(std::string("before"), ClipboardAnsi(), what + ": the clipboard stays");
  }
}

E2E_SCENARIO(edit_decrypting_paste_without_clipboard_text, "") {
  Editor editor = StartOnNewDocument();
  const struct {
    const char* name;
    void (*fill)();
  } clipboards[] = {
      {"an empty clipboard", [] { EmptyTheClipboard(); }},
      {"an empty text", [] { SetClipboardAnsi(""); }},
      {"a picture only", [] { SetClipboardPicture(); }},
  };
  for (const auto& clipboard : clipboards) {
    const std::string what = std::string("paste from ") + clipboard.name;
    clipboard.fill();
    // With a selection, the selection goes, for good.
    PutText(editor, L"前消える後", 1, 4);
    PostCommand(editor.main, kEditPasteId);
    WaitText(editor.memo, L"前後");
    CheckNoKeyDialog(editor.app, "by a " + what);
    PostCommand(editor.main, kEditUndoId);
    SyncPosted(editor.memo);
    CheckEqual(std::wstring(L"前後"), TextOf(editor.memo), what + ": undo brings nothing back");

    // With a bare caret nothing changes.
    PutText(editor, L"前後", 1, 1);
    PostCommand(editor.main, kEditPasteId);
    SyncPosted(editor.memo);
    CheckNoKeyDialog(editor.app, "by a " + what + " at a bare caret");
    CheckEqual(std::wstring(L"前後"), TextOf(editor.memo), what + " at a bare caret: the text");
    CheckEqual(std::vector<int>{1, 1}, SelectionOf(editor.memo), what + ": the caret");
  }
}

E2E_SCENARIO(edit_decrypting_paste_of_plain_text_fails, "") {
  Editor editor = StartOnNewDocument();
  SetClipboardAnsi(Cp932(L"これは暗号化されていない普通の日本語の文です。"));
  const std::wstring text = L"そのまま残る文";
  PutText(editor, text, 2, 4);
  PressKeys(editor.memo, {VK_CONTROL, 'V'});
  AnswerKey(editor.app, kKey);
  HWND box = WaitDialog(editor.app, kErrorCaption);
  WaitEnabled(editor.main, false);
  CheckBoxLook(box, {L"解読に失敗しました。", {L"OK"}, kBoxOkId}, "the error box");
  Screenshot("error-box");
  ClickButton(WaitChild(box, {.id = kBoxOkId}));
  WaitGone(box);
  SyncPosted(editor.memo);
  CheckEqual(text, TextOf(editor.memo), "the text stays");
  CheckEqual(std::vector<int>{2, 4}, SelectionOf(editor.memo), "the selection stays");
}

// Another program's CF_TEXT block without a terminating zero byte: the paste takes the block's
// bytes up to its end and nothing beyond it. (With an empty key the text passes unchanged, so the
// edit area shows exactly what was read. The system's own conversion of such a block to Unicode
// text, which is read first, may take its last byte for the missing terminator.)
E2E_SCENARIO(edit_paste_of_an_unterminated_clipboard_block, "") {
  Editor editor = StartOnNewDocument();
  {
    Require(OpenClipboard(nullptr) != FALSE, "the driver opens the clipboard");
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 40);
    Require(block != nullptr, "a block for the clipboard");
    // Every byte of the block, as large as the system made it, is a letter: no zero anywhere.
    const SIZE_T size = GlobalSize(block);
    char* bytes = static_cast<char*>(GlobalLock(block));
    for (SIZE_T i = 0; i < size; ++i)
      bytes[i] = static_cast<char>('A' + i % 26);
    GlobalUnlock(block);
    Require(SetClipboardData(CF_TEXT, block) != nullptr, "the block goes on the clipboard");
    CloseClipboard();
    std::wstring expected;
    for (SIZE_T i = 0; i < size; ++i)
      expected += static_cast<wchar_t>(L'A' + i % 26);

    PressKeys(editor.memo, {VK_CONTROL, 'V'});
    AnswerKey(editor.app, L"");
    WaitFor("the pasted block", [&] { return TextOf(editor.memo).size() + 1 >= expected.size(); });
    const std::wstring pasted = TextOf(editor.memo);
    Check(pasted.size() <= expected.size() && expected.compare(0, pasted.size(), pasted) == 0,
          "the block's bytes and nothing beyond them, pasted: " + Describe(pasted));
  }
  CloseEditor(editor);
}

// An empty key, accepted through the warning, lets texts pass unchanged both ways; the clipboard's
// CF_TEXT is read as code page 932, and Unicode text alone is read too.
E2E_SCENARIO(edit_empty_key_passes_texts_unchanged, "") {
  Editor editor = StartOnNewDocument();
  const std::wstring text = L"空の鍵では暗号化されない文ｶﾅ";
  PutText(editor, text, 0, -1);
  const DWORD sequence = GetClipboardSequenceNumber();
  PressKeys(editor.memo, {VK_CONTROL, 'C'});
  AnswerKey(editor.app, L"");
  CheckEqual(Cp932(text), WaitClipboardChange(sequence), "the encrypting copy puts the text");

  const struct {
    const char* name;
    void (*fill)(const std::wstring&);
    std::wstring text;
  } cases[] = {
      {"CF_TEXT", [](const std::wstring& t) { SetClipboardAnsi(Cp932(t)); },
       L"シフトJISの文と半角ｶﾀｶﾅ"},
      {"Unicode text only", [](const std::wstring& t) { SetClipboardUnicode(t); },
       L"ユニコードだけの文"},
  };
  for (const auto& c : cases) {
    c.fill(c.text);
    PutText(editor, L"", 0, 0);
    PressKeys(editor.memo, {VK_CONTROL, 'V'});
    AnswerKey(editor.app, L"");
    WaitText(editor.memo, c.text);
    Trace(std::string("pasted ") + c.name);
  }
}

E2E_SCENARIO(edit_cancelled_key_keeps_selection_and_clipboard, "") {
  Editor editor = StartOnNewDocument();
  const std::wstring text = L"取り消しで残る文";
  const struct {
    const char* name;
    void (*close)(HWND dialog);
  } ways[] = {
      {"キャンセル", [](HWND d) { ClickButton(WaitChild(d, {.id = kKeyCancelId})); }},
      {"the close box", [](HWND d) { PostSystemClose(d); }},
  };
  for (const auto& way : ways) {
    const std::string what = std::string("encrypting cut cancelled with ") + way.name;
    SetClipboardAnsi("before");
    PutText(editor, text, 5, 7);
    const DWORD sequence = GetClipboardSequenceNumber();
    PressKeys(editor.memo, {VK_CONTROL, 'X'});
    const KeyDialog dialog = WaitKeyDialog(editor.app);
    TypeKey(dialog, L"途中");
    way.close(dialog.window);
    WaitGone(dialog.window);
    SyncPosted(editor.memo);
    CheckEqual(text, TextOf(editor.memo), what + ": the text");
    CheckEqual(std::vector<int>{5, 7}, SelectionOf(editor.memo), what + ": the selection");
    CheckEqual(sequence, GetClipboardSequenceNumber(), what + ": the clipboard untouched");
    CheckEqual(std::string("before"), ClipboardAnsi(), what + ": the clipboard's content");
  }
}

namespace {

struct KeyDialogState {
  std::wstring key;
  std::vector<int> keySelection;
  LRESULT remember;
  bool rememberEnabled;
};

KeyDialogState KeyDialogStateOf(const KeyDialog& dialog) {
  return {TextOf(dialog.field), SelectionOf(dialog.field), Send(dialog.remember, BM_GETCHECK),
          IsEnabled(dialog.remember)};
}

}  // namespace

// The key change as the next encrypting or decrypting command shows it: cancelled while nothing is
// remembered, the next command asks; accepted, the new key is remembered and used without asking;
// cancelled while remembered, the key stays.
E2E_SCENARIO(edit_key_change_shows_in_the_next_command, "") {
  Editor editor = StartOnNewDocument();
  // Kana whose code page 932 bytes, XORed with the two keys' values, are half-width katakana: read
  // under the wrong key, the text is still one character per byte, so the edit area shows every
  // byte the paste gave.
  const std::wstring text = L"よるもメモラムレモンヤモリわれら";

  PutText(editor, text, 0, -1);
  PressKeys(editor.memo, {VK_CONTROL, 'K'});
  KeyDialog change = WaitKeyDialog(editor.app, kChangeKeyCaption);
  KeyDialogState state = KeyDialogStateOf(change);
  CheckEqual(std::wstring(), state.key, "no key remembered: the field is empty");
  CheckEqual(LRESULT{BST_CHECKED}, state.remember, "the remember box shows checked");
  CheckEqual(false, state.rememberEnabled, "the remember box is greyed");
  Screenshot("key-change");
  TypeKey(change, L"使わない鍵");
  ClickButton(change.cancel);
  WaitGone(change.window);

  const DWORD beforeFirst = GetClipboardSequenceNumber();
  PressKeys(editor.memo, {VK_CONTROL, 'C'});
  state = KeyDialogStateOf(WaitKeyDialog(editor.app));
  CheckEqual(std::wstring(), state.key, "after a cancelled change: the field is empty");
  CheckEqual(LRESULT{BST_UNCHECKED}, state.remember, "after a cancelled change: not remembered");
  CheckEqual(true, state.rememberEnabled, "the remember box can be checked again");
  AnswerKey(editor.app, kKey);
  const std::string underFirstKey = WaitClipboardChange(beforeFirst);

  // Accepted through the menu item: the copy and the paste that follow ask nothing.
  ChooseMenuItem(editor, 'E', 'K');
  AnswerKey(editor.app, kOtherKey, kChangeKeyCaption);
  const DWORD beforeSecond = GetClipboardSequenceNumber();
  PressKeys(editor.memo, {VK_CONTROL, 'C'});
  CheckEncrypted(WaitClipboardChange(beforeSecond), text, kOtherKey, "copy under the changed key");
  CheckNoKeyDialog(editor.app, "by the copy after the change");
  PutText(editor, L"", 0, 0);
  PressKeys(editor.memo, {VK_CONTROL, 'V'});
  WaitText(editor.memo, text);
  CheckNoKeyDialog(editor.app, "by the paste after the change");

  // Changing a remembered key shows it, selected; cancelling keeps it.
  PressKeys(editor.memo, {VK_CONTROL, 'K'});
  change = WaitKeyDialog(editor.app, kChangeKeyCaption);
  state = KeyDialogStateOf(change);
  CheckEqual(std::wstring(kOtherKey), state.key, "the remembered key is shown");
  CheckEqual(std::vector<int>{0, static_cast<int>(std::wstring_view(kOtherKey).size())},
             state.keySelection, "the remembered key is selected");
  CheckEqual(LRESULT{BST_CHECKED}, state.remember, "remembered: the box shows checked");
  CheckEqual(false, state.rememberEnabled, "remembered: the box is greyed");
  ClickButton(change.cancel);
  WaitGone(change.window);
  PutText(editor, L"", 0, 0);
  PressKeys(editor.memo, {VK_CONTROL, 'V'});
  WaitText(editor.memo, text);
  CheckNoKeyDialog(editor.app, "by the paste after a cancelled change");

  // The text encrypted under the first key comes back under the changed one as other bytes:
  // every byte XORed with both keys' values.
  SetClipboardAnsi(underFirstKey);
  PutText(editor, L"置き換わる", 0, -1);
  PressKeys(editor.memo, {VK_CONTROL, 'V'});
  WaitFor("the paste to replace the selection",
          [&] { return TextOf(editor.memo) != L"置き換わる"; });
  std::string underWrongKey = Cp932(text);
  for (char& byte : underWrongKey)
    byte = static_cast<char>(byte ^ KeyByteOf(kKey) ^ KeyByteOf(kOtherKey));
  CheckEqual(underWrongKey, Cp932(TextOf(editor.memo)),
             "a text encrypted under the old key, read under the new one");
  CheckNoKeyDialog(editor.app, "by the paste under the changed key");
}

namespace {

// How the About box looks at every showing.
void CheckAboutBox(HWND about, const std::string& what) {
  const int dpi = static_cast<int>(ExpectedDpi());
  CheckEqual(SIZE{MulDiv(219, dpi, 96), MulDiv(156, dpi, 96)}, ClientSize(about),
             what + ": client size");
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(about, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT frame = WindowRect(about);
  CheckEqual(POINT{MulDiv(286, dpi, 96), MulDiv(178, dpi, 96)},
             POINT{frame.left - monitor.rcMonitor.left, frame.top - monitor.rcMonitor.top},
             what + ": position on the monitor");
  CheckEqual(std::vector<std::wstring>{L"Ver. 0.2"}, StaticTexts(about), what + ": texts");
  CheckEqual(std::vector<std::wstring>{L"O.K."}, ButtonTexts(about), what + ": buttons");
  HWND ok = WaitChild(about, {.className = L"Button", .text = L"O.K."});
  CheckEqual(IDOK, IdOf(ok), what + ": O.K. is IDOK");
  CheckEqual(static_cast<LRESULT>(MAKELONG(IDOK, DC_HASDEFID)), Send(about, DM_GETDEFID),
             what + ": O.K. is the default button");
  CheckEqual(static_cast<LONG>(BS_DEFPUSHBUTTON), GetWindowLongW(ok, GWL_STYLE) & BS_TYPEMASK,
             what + ": O.K. is drawn as the default button");
}

}  // namespace

// The About box from the Help menu and from the tool bar button, closed by "O.K.", by Enter and
// by the close box, looks the same each time and leaves the main window as it was: its first
// activation does not run again.
E2E_SCENARIO(about_box_opens_and_closes_alike_each_time, "dpi") {
  Editor editor = StartOnNewDocument();
  const std::wstring typed = L"開く前に打った文";
  TypeText(editor.memo, typed);
  WaitText(editor.memo, typed);
  const std::wstring caption = TextOf(editor.main);

  const struct {
    const char* name;
    void (*open)(const Editor&);
  } opens[] = {
      {"the Help menu", [](const Editor& e) { ChooseMenuItem(e, 'H', 'A'); }},
      {"the tool bar button", [](const Editor& e) { ClickToolButton(e, 8); }},
  };
  const struct {
    const char* name;
    void (*close)(HWND about);
  } closes[] = {
      {"O.K.", [](HWND about) { ClickButton(WaitChild(about, {.id = IDOK})); }},
      // Escape and Enter in one input: had Escape closed the box, Enter would reach the edit area
      // as a line break, which the text check below catches.
      {"Escape, then Enter",
       [](HWND about) {
         PressKeys(FocusOf(about), {VK_ESCAPE, VK_RETURN});
       }},
      {"the close box", [](HWND about) { PostSystemClose(about); }},
  };
  bool first = true;
  for (const auto& open : opens) {
    for (const auto& close : closes) {
      const std::string what =
          std::string("opened from ") + open.name + ", closed with " + close.name;
      open.open(editor);
      HWND about = WaitDialog(editor.app, kAboutCaption);
      WaitEnabled(editor.main, false);
      CheckAboutBox(about, what);
      if (first) Screenshot("about-box");
      first = false;
      close.close(about);
      WaitGone(about);
      WaitEnabled(editor.main, true);
      WaitFocus(editor.memo);
      CheckEqual(typed, TextOf(editor.memo), what + ": the typed text stays");
      CheckEqual(caption, TextOf(editor.main), what + ": the caption stays");
    }
  }
}

}  // namespace vellumo::e2e
