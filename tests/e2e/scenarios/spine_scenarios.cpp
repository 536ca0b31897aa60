// Scenarios on the program's frame: start-up with its show commands and its first activation, the
// key dialog reached through the encrypting copy and the change-key command, the warning and error
// boxes answered every way, the failure box of a start-up open that fails, and closing.
#include <windows.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/e2e/driver/e2e.h"

namespace vellumo::e2e {
namespace {

const std::wstring kEmptyKeyWarning =
    L"「鍵」がありません。\r\n（テキストは暗号化も解読もされません。）";
const std::wstring kDecryptFailed = L"解読に失敗しました。";
const std::wstring kRememberText = L"鍵を保存する （このプログラムが起動している間のみ）";
const std::wstring kPrompt =
    L" テキストの暗号化、または暗号化されたテキストの解読時に必要な「鍵」を入力して下さい。";

// What the clipboard holds before a command that must not change it.
const std::string kSentinel = "clipboard before the command";

// Starts the editor on a new document and types `text` into the edit area.
Editor StartWithText(std::wstring_view text) {
  Editor editor = StartOnNewDocument();
  TypeText(editor.memo, text);
  WaitText(editor.memo, text);
  return editor;
}

void EncryptingCopy(const Editor& editor, int start = 0, int end = -1) {
  SelectText(editor.memo, start, end);
  PressKeys(editor.memo, {VK_CONTROL, 'C'});
}

void ChangeKeyCommand(const Editor& editor) {
  FocusOn(editor.memo);
  PressKeys(editor.memo, {VK_CONTROL, 'K'});
}

bool IsChecked(HWND checkBox) {
  return Send(checkBox, BM_GETCHECK) == BST_CHECKED;
}

void CheckRememberBox(const KeyDialog& dialog) {
  ClickButton(dialog.remember);
  WaitFor("the remember box checked", [&] { return IsChecked(dialog.remember); });
}

// Puts kSentinel on the clipboard and answers the clipboard's sequence number.
DWORD PutSentinel() {
  SetClipboardAnsi(kSentinel);
  return GetClipboardSequenceNumber();
}

void CheckNear(const RECT& expected, const RECT& actual, const std::string& what,
               Where where = Where::current()) {
  const bool within = std::abs(expected.left - actual.left) <= 1 &&
                      std::abs(expected.top - actual.top) <= 1 &&
                      std::abs(expected.right - actual.right) <= 1 &&
                      std::abs(expected.bottom - actual.bottom) <= 1;
  if (!within) CheckEqual(expected, actual, what + " (within 1 pixel)", where);
}

RECT ScaledRect(int left, int top, int width, int height) {
  const int dpi = static_cast<int>(ExpectedDpi());
  return RECT{MulDiv(left, dpi, 96), MulDiv(top, dpi, 96), MulDiv(left + width, dpi, 96),
              MulDiv(top + height, dpi, 96)};
}

}  // namespace

// The asking dialog as an encrypting copy shows it, and "O.K." with a key.
E2E_SCENARIO(spine_key_dialog_asks_on_encrypting_copy, "") {
  const std::wstring text = L"秘密のメモ";
  Editor editor = StartWithText(text);
  const DWORD sequence = PutSentinel();
  EncryptingCopy(editor);
  const KeyDialog dialog = WaitKeyDialog(editor.app, kAskKeyCaption);
  CheckEqual(std::vector<std::wstring>{kPrompt, L"鍵\u3000\uff1a"}, StaticTexts(dialog.window),
             "labels");
  CheckEqual(std::vector<std::wstring>{L"O.K.", kRememberText, L"キャンセル"},
             ButtonTexts(dialog.window), "buttons in tab order");
  CheckEqual(std::wstring(), TextOf(dialog.field), "the key field starts empty");
  CheckEqual(false, IsChecked(dialog.remember), "the remember box starts unchecked");
  CheckEqual(true, IsEnabled(dialog.remember), "the remember box is enabled");
  CheckEqual(false, IsEnabled(editor.main), "the main window is disabled meanwhile");
  CheckEqual(IDOK, static_cast<int>(LOWORD(Send(dialog.window, DM_GETDEFID))),
             "\"O.K.\" is the default button");
  const RECT frame = WindowRect(dialog.window);
  CheckEqual(POINT{MulDiv(191, static_cast<int>(ExpectedDpi()), 96),
                   MulDiv(125, static_cast<int>(ExpectedDpi()), 96)},
             POINT{frame.left, frame.top}, "placed at its fixed screen position");
  Screenshot("key-dialog-ask");

  TypeKey(dialog, L"k");
  ClickButton(dialog.ok);
  WaitGone(dialog.window);
  CheckEncrypted(WaitClipboardChange(sequence, kSentinel), text, L"k", "after \"O.K.\"");
  SyncPosted(editor.memo);
  CheckEqual(true, IsEnabled(editor.main), "the main window is enabled again");
  CheckEqual(editor.main, ActiveOf(editor.main), "the main window is active again");
  CloseEditor(editor);
}

// Every way to end the asking dialog, with a key typed: the buttons, Enter on either button, the
// close box and Alt+F4. Only "O.K." lets the copy go on.
E2E_SCENARIO(spine_key_dialog_endings, "") {
  const std::wstring text = L"鍵で守る";
  const struct {
    const char* way;
    void (*end)(const KeyDialog&);
    bool accepted;
  } cases[] = {
      {"O.K.", [](const KeyDialog& d) { ClickButton(d.ok); }, true},
      {"Enter on キャンセル",
       [](const KeyDialog& d) {
         PressKeys(d.field, {VK_SHIFT, VK_TAB});  // back from the field to "キャンセル"
         WaitFocus(d.cancel);
         PressKeys(d.cancel, {VK_RETURN});
       },
       false},
      // After a showing ended on "キャンセル", Enter in the field presses "O.K." again.
      {"Enter in the key field", [](const KeyDialog& d) { PressKeys(d.field, {VK_RETURN}); }, true},
      {"キャンセル", [](const KeyDialog& d) { ClickButton(d.cancel); }, false},
      {"close box", [](const KeyDialog& d) { PostSystemClose(d.window); }, false},
      {"Alt+F4",
       [](const KeyDialog& d) {
         PressKeys(d.field, {VK_MENU, VK_F4});
       },
       false},
  };
  Editor editor = StartWithText(text);
  for (const auto& c : cases) {
    const std::string what = std::string("ended with ") + c.way;
    const DWORD sequence = PutSentinel();
    EncryptingCopy(editor);
    const KeyDialog dialog = WaitKeyDialog(editor.app, kAskKeyCaption);
    CheckEqual(std::wstring(), TextOf(dialog.field), what + ": the field is empty at the showing");
    TypeKey(dialog, L"k");
    c.end(dialog);
    WaitGone(dialog.window);
    SyncPosted(editor.memo);
    if (c.accepted) {
      CheckEncrypted(WaitClipboardChange(sequence, kSentinel), text, L"k", what);
    } else {
      CheckEqual(std::optional<std::string>(kSentinel), ClipboardAnsi(),
                 what + ": the clipboard is unchanged");
    }
    Check(!DialogShown(editor.app), what + ": no other window follows");
    CheckEqual(true, IsEnabled(editor.main), what + ": the main window is enabled again");
  }
  CloseEditor(editor);
}

// Escape does nothing in the key dialog; Tab walks field, "O.K.", check box, "キャンセル", and
// skips the disabled check box in the change-key dialog. The field's text is selected whole
// when the focus comes back to it.
E2E_SCENARIO(spine_key_dialog_keyboard, "") {
  Editor editor = StartWithText(L"タブ順");
  const struct {
    const char* name;
    const wchar_t* caption;
    void (*open)(const Editor&);
    bool rememberInTabOrder;
  } cases[] = {
      {"asking dialog", kAskKeyCaption, [](const Editor& e) { EncryptingCopy(e); }, true},
      {"change-key dialog", kChangeKeyCaption, [](const Editor& e) { ChangeKeyCommand(e); }, false},
  };
  for (const auto& c : cases) {
    const std::string what = c.name;
    c.open(editor);
    const KeyDialog dialog = WaitKeyDialog(editor.app, c.caption);
    PressKeys(dialog.field, {VK_ESCAPE});
    // Typed after the Escape, so it shows once the Escape has been handled.
    TypeText(dialog.field, L"kk");
    WaitText(dialog.field, L"kk");
    Check(IsShown(dialog.window), what + ": Escape leaves the dialog open");

    std::vector<HWND> order = {dialog.ok};
    if (c.rememberInTabOrder) order.push_back(dialog.remember);
    order.push_back(dialog.cancel);
    order.push_back(dialog.field);
    HWND focus = dialog.field;
    for (HWND next : order) {
      PressKeys(focus, {VK_TAB});
      WaitFocus(next);
      focus = next;
    }
    CheckEqual(std::vector<int>{0, 2}, SelectionOf(dialog.field),
               what + ": Tab into the field selects its whole text");
    ClickButton(dialog.cancel);
    WaitGone(dialog.window);
    SyncPosted(editor.memo);
  }
  CloseEditor(editor);
}

// The empty-key warning answered every way. OK (or Enter) lets the empty key through and the
// text passes unchanged; キャンセル, Escape and the warning's close box keep the key dialog open
// with the focus in the field, and what the user does next decides.
E2E_SCENARIO(spine_empty_key_warning, "") {
  const std::wstring text = L"平文のまま";
  const struct {
    const char* way;
    void (*answer)(HWND box);
    bool closesDialog;
    // Run when the dialog stayed open: ends it and answers how the copy ends, encrypted with the
    // key "k" (true), not made (false) or with the text passed unchanged (nothing).
    std::function<std::optional<bool>(const App&, const KeyDialog&)> next;
  } cases[] = {
      {"OK", [](HWND box) { ClickButton(WaitChild(box, {.id = kBoxOkId})); }, true, nullptr},
      {"Enter", [](HWND box) { PressKeys(FocusOf(box), {VK_RETURN}); }, true, nullptr},
      {"キャンセル", [](HWND box) { ClickButton(WaitChild(box, {.id = kBoxCancelId})); }, false,
       // A key typed now and the dialog's close box: the key is taken.
       [](const App&, const KeyDialog& d) -> std::optional<bool> {
         TypeKey(d, L"k");
         PostSystemClose(d.window);
         return true;
       }},
      {"Escape", [](HWND box) { PressKeys(FocusOf(box), {VK_ESCAPE}); }, false,
       // The close box with the field still empty asks again; OK lets the text pass.
       [](const App& app, const KeyDialog& d) -> std::optional<bool> {
         PostSystemClose(d.window);
         HWND again = WaitDialog(app, kWarningCaption);
         ClickButton(WaitChild(again, {.id = kBoxOkId}));
         WaitGone(again);
         return std::nullopt;
       }},
      {"its close box", [](HWND box) { PostSystemClose(box); }, false,
       // "キャンセル" in the dialog closes it without a warning and the copy stops.
       [](const App&, const KeyDialog& d) -> std::optional<bool> {
         ClickButton(d.cancel);
         return false;
       }},
  };
  Editor editor = StartWithText(text);
  bool first = true;
  for (const auto& c : cases) {
    const std::string what = std::string("warning answered with ") + c.way;
    const DWORD sequence = PutSentinel();
    EncryptingCopy(editor);
    const KeyDialog dialog = WaitKeyDialog(editor.app, kAskKeyCaption);
    ClickButton(dialog.ok);
    HWND box = WaitDialog(editor.app, kWarningCaption);
    if (first) {
      CheckBoxLook(box, {kEmptyKeyWarning, {L"OK", L"キャンセル"}, kBoxOkId});
      CheckEqual(false, IsEnabled(dialog.window), "the key dialog is disabled under the warning");
      CheckEqual(false, IsEnabled(editor.main), "the main window is disabled under the warning");
      Screenshot("warning");
      first = false;
    }
    c.answer(box);
    WaitGone(box);
    std::optional<bool> outcome;  // as `next` answers; nothing after OK or Enter
    if (!c.closesDialog) {
      WaitFocus(dialog.field);
      Check(IsShown(dialog.window), what + ": the key dialog stays open");
      CheckEqual(true, IsEnabled(dialog.window), what + ": the key dialog is enabled again");
      outcome = c.next(editor.app, dialog);
    }
    WaitGone(dialog.window);
    SyncPosted(editor.memo);
    if (!outcome) {
      CheckEqual(Cp932(text), WaitClipboardChange(sequence, kSentinel),
                 what + ": the text passes unchanged");
    } else if (*outcome) {
      CheckEncrypted(WaitClipboardChange(sequence, kSentinel), text, L"k", what);
    } else {
      CheckEqual(std::optional<std::string>(kSentinel), ClipboardAnsi(),
                 what + ": the clipboard is unchanged");
    }
  }
  CloseEditor(editor);
}

// The remember box: once checked in the asking dialog it stays checked, after "O.K." and after
// "キャンセル" alike, and the next command asks nothing and uses the field as it was left.
E2E_SCENARIO(spine_remember_box, "") {
  const std::wstring text = L"覚えておく鍵";
  const std::wstring part = L"覚えて";
  const struct {
    const char* name;
    const wchar_t* key;
    bool viaOk;
  } cases[] = {
      {"checked, O.K.", L"k", true},
      {"checked, キャンセル", L"ab", false},
      {"checked, キャンセル with an empty field", L"", false},
  };
  for (const auto& c : cases) {
    const std::string what = c.name;
    Editor editor = StartWithText(text);
    const DWORD sequence = PutSentinel();
    EncryptingCopy(editor);
    const KeyDialog dialog = WaitKeyDialog(editor.app, kAskKeyCaption);
    TypeKey(dialog, c.key);
    CheckRememberBox(dialog);
    ClickButton(c.viaOk ? dialog.ok : dialog.cancel);
    WaitGone(dialog.window);
    SyncPosted(editor.memo);
    if (c.viaOk) {
      CheckEncrypted(WaitClipboardChange(sequence, kSentinel), text, c.key, what);
    } else {
      CheckEqual(std::optional<std::string>(kSentinel), ClipboardAnsi(),
                 what + ": the clipboard is unchanged");
    }
    CheckEqual(true, IsChecked(dialog.remember), what + ": the box stays checked");

    // The next copy, of a part of the text, asks nothing.
    const DWORD nextSequence = PutSentinel();
    EncryptingCopy(editor, 0, static_cast<int>(part.size()));
    const std::string clipboard = WaitClipboardChange(nextSequence, kSentinel);
    Check(!DialogShown(editor.app), what + ": the next command shows no dialog");
    if (std::wstring_view(c.key).empty()) {
      CheckEqual(Cp932(part), clipboard, what + ": an empty key passes the text unchanged");
    } else {
      CheckEncrypted(clipboard, part, c.key, what + ", next command");
    }
    CloseEditor(editor);
  }
}

// The change-key command with the key remembered and not, accepted and cancelled; the next
// encrypting copy shows which key is in force and whether it is remembered.
E2E_SCENARIO(spine_change_key, "") {
  const std::wstring text = L"鍵の変更";
  const std::wstring oldKey = L"k";
  const std::wstring newKey = L"ab";
  const struct {
    const char* name;
    bool remembered;
    void (*end)(const KeyDialog&);
    bool accepted;
  } cases[] = {
      {"not remembered, O.K.", false, [](const KeyDialog& d) { ClickButton(d.ok); }, true},
      {"not remembered, キャンセル", false, [](const KeyDialog& d) { ClickButton(d.cancel); },
       false},
      {"not remembered, close box", false, [](const KeyDialog& d) { PostSystemClose(d.window); },
       false},
      {"remembered, O.K.", true, [](const KeyDialog& d) { ClickButton(d.ok); }, true},
      {"remembered, キャンセル", true, [](const KeyDialog& d) { ClickButton(d.cancel); }, false},
      {"remembered, close box", true, [](const KeyDialog& d) { PostSystemClose(d.window); }, false},
  };
  bool first = true;
  for (const auto& c : cases) {
    const std::string what = c.name;
    Editor editor = StartWithText(text);
    if (c.remembered) {
      EmptyTheClipboard();
      EncryptingCopy(editor);
      const KeyDialog ask = WaitKeyDialog(editor.app, kAskKeyCaption);
      TypeKey(ask, oldKey);
      CheckRememberBox(ask);
      ClickButton(ask.ok);
      WaitGone(ask.window);
      SyncPosted(editor.memo);
    }

    ChangeKeyCommand(editor);
    const KeyDialog dialog = WaitKeyDialog(editor.app, kChangeKeyCaption);
    const std::wstring shown = c.remembered ? oldKey : L"";
    CheckEqual(shown, TextOf(dialog.field), what + ": the field shows the remembered key only");
    CheckEqual(std::vector<int>{0, static_cast<int>(shown.size())}, SelectionOf(dialog.field),
               what + ": the field's text is selected whole");
    CheckEqual(true, IsChecked(dialog.remember), what + ": the box shows checked");
    CheckEqual(false, IsEnabled(dialog.remember), what + ": the box is greyed");
    if (first) {
      Screenshot("key-dialog-change");
      first = false;
    }
    TypeText(dialog.field, newKey);  // replaces the selected text
    WaitText(dialog.field, newKey);
    c.end(dialog);
    WaitGone(dialog.window);
    SyncPosted(editor.memo);
    const bool rememberedNow = c.accepted || c.remembered;
    CheckEqual(rememberedNow, IsChecked(dialog.remember), what + ": remember box afterwards");
    CheckEqual(true, IsEnabled(dialog.remember), what + ": the box is enabled again");

    // The next copy asks only when nothing is remembered, and encrypts under the key in force.
    const DWORD sequence = PutSentinel();
    EncryptingCopy(editor);
    if (!rememberedNow) {
      const KeyDialog ask = WaitKeyDialog(editor.app, kAskKeyCaption);
      CheckEqual(std::wstring(), TextOf(ask.field), what + ": the next command asks afresh");
      CheckEqual(false, IsChecked(ask.remember), what + ": with the box unchecked");
      TypeKey(ask, oldKey);
      ClickButton(ask.ok);
      WaitGone(ask.window);
    }
    const std::string clipboard = WaitClipboardChange(sequence, kSentinel);
    Check(!DialogShown(editor.app), what + ": no dialog left open");
    CheckEncrypted(clipboard, text, c.accepted ? newKey : oldKey, what + ", next command");
    CloseEditor(editor);
  }
}

// The error box of a decrypting paste of plain Japanese text, closed every way: nothing is
// pasted.
E2E_SCENARIO(spine_error_box_answers, "") {
  const std::wstring text = L"元のテキスト";
  Editor editor = StartWithText(text);
  // Remember a key first, so that each paste goes straight to the error.
  ChangeKeyCommand(editor);
  const KeyDialog dialog = WaitKeyDialog(editor.app, kChangeKeyCaption);
  TypeKey(dialog, L"k");
  ClickButton(dialog.ok);
  WaitGone(dialog.window);
  SyncPosted(editor.memo);

  const struct {
    const char* way;
    void (*close)(HWND box);
  } cases[] = {
      {"OK", [](HWND box) { ClickButton(WaitChild(box, {.id = kBoxOkId})); }},
      {"Enter", [](HWND box) { PressKeys(FocusOf(box), {VK_RETURN}); }},
      {"Escape", [](HWND box) { PressKeys(FocusOf(box), {VK_ESCAPE}); }},
      {"close box", [](HWND box) { PostSystemClose(box); }},
  };
  SetClipboardAnsi(Cp932(L"こんにちは"));
  bool first = true;
  for (const auto& c : cases) {
    const std::string what = std::string("error box closed with ") + c.way;
    SelectText(editor.memo, 1, 3);
    PressKeys(editor.memo, {VK_CONTROL, 'V'});
    HWND box = WaitDialog(editor.app, kErrorCaption);
    if (first) {
      CheckBoxLook(box, {kDecryptFailed, {L"OK"}, kBoxOkId});
      CheckEqual(false, IsEnabled(editor.main), "the main window is disabled under the box");
      Screenshot("error");
      first = false;
    }
    c.close(box);
    WaitGone(box);
    SyncPosted(editor.memo);
    Check(!DialogShown(editor.app), what + ": no other window follows");
    CheckEqual(text, TextOf(editor.memo), what + ": nothing is pasted");
    CheckEqual(true, IsEnabled(editor.main), what + ": the main window is enabled again");
  }
  CloseEditor(editor);
}

// A start-up open that fails is shown in the failure box, with "." added after a message that
// ends in a letter but not after ")"; the main window then runs on with its first caption.
E2E_SCENARIO(spine_failure_display, "") {
  const std::wstring folder = ScenarioFolder();
  const std::wstring locked = folder + L"\\使用中.txt";
  WriteFileBytes(locked, "held by another program\r\n");
  // Held without sharing, as another program may hold a file, until the scenario ends.
  const HeldFile holder(locked);

  const struct {
    const char* name;
    std::wstring path;
    const wchar_t* message;
    const char* screenshot;
  } cases[] = {
      {"missing file", folder + L"\\ない.txt", L"ファイルが見つかりません.", "failure-missing"},
      {"missing encrypted file", folder + L"\\ない.qzv", L"ファイルが見つかりません.", nullptr},
      {"file held without sharing", locked, L"I/O エラー (32)", "failure-locked"},
  };
  for (const auto& c : cases) {
    const std::string what = c.name;
    Editor editor = StartEditor(QuoteArgument(c.path));
    HWND box = WaitDialog(editor.app, kFailureCaption);
    CheckBoxLook(box, {c.message, {L"OK"}, IDOK});
    CheckEqual(false, IsEnabled(editor.main), what + ": the main window is disabled");
    if (c.screenshot) Screenshot(c.screenshot);
    ClickButton(WaitChild(box, {.className = L"Button", .id = IDOK}));
    WaitGone(box);
    SyncPosted(editor.memo);
    Check(!DialogShown(editor.app), what + ": no second box, no key dialog");
    CheckEqual(std::wstring(L"MainForm"), TextOf(editor.main), what + ": the caption stays");
    CheckEqual(true, IsEnabled(editor.main), what + ": the main window is enabled again");
    // The program runs on: typing and commands work.
    FocusOn(editor.memo);
    TypeText(editor.memo, L"続き");
    WaitText(editor.memo, L"続き");
    PostCommand(editor.main, kFileNewId);
    WaitDocumentCaption(editor.main);
    WaitText(editor.memo, L"");
    CloseEditor(editor);
  }
}

// The first activation starts a new document once; a dialog, a message box, the About box and a
// switch to another program and back do not start another one, which would empty the edit area.
E2E_SCENARIO(spine_form_activate_runs_once, "") {
  const std::wstring text = L"消えてはいけない";
  Editor editor = StartWithText(text);
  const std::wstring caption = TextOf(editor.main);
  const struct {
    const char* what;
    void (*act)(Editor&);
  } cases[] = {
      {"the key dialog",
       [](Editor& e) {
         ChangeKeyCommand(e);
         const KeyDialog d = WaitKeyDialog(e.app, kChangeKeyCaption);
         ClickButton(d.cancel);
         WaitGone(d.window);
       }},
      {"a message box",
       [](Editor& e) {
         ChangeKeyCommand(e);
         const KeyDialog d = WaitKeyDialog(e.app, kChangeKeyCaption);
         ClickButton(d.ok);
         HWND box = WaitDialog(e.app, kWarningCaption);
         ClickButton(WaitChild(box, {.id = kBoxCancelId}));
         WaitGone(box);
         WaitFocus(d.field);
         ClickButton(d.cancel);
         WaitGone(d.window);
       }},
      {"the About box",
       [](Editor& e) {
         PostCommand(e.main, kHelpAboutId);
         HWND about = WaitDialog(e.app, kAboutCaption);
         ClickButton(WaitChild(about, {.className = L"Button", .id = IDOK}));
         WaitGone(about);
       }},
      {"a switch to another program",
       [](Editor& e) {
         App other = Launch(FixtureExe());
         HWND otherMain = WaitTopWindow(other, {.className = L"VellumoE2EFixture"});
         FocusOn(WaitChild(otherMain, {.className = L"Edit"}));
         WaitFor("the main window inactive", [&] { return ActiveOf(e.main) != e.main; });
         FocusOn(e.memo);
         PostClose(otherMain);
         other.WaitExit();
       }},
  };
  for (const auto& c : cases) {
    const std::string what = std::string("after ") + c.what;
    c.act(editor);
    SyncPosted(editor.memo);
    CheckEqual(caption, TextOf(editor.main), what + ": the caption");
    CheckEqual(text, TextOf(editor.memo), what + ": the edit area keeps its text");
  }
  CloseEditor(editor);
}

// The key dialog's layout and font scale with the screen's DPI.
E2E_SCENARIO(spine_key_dialog_scaled, "dpi") {
  const int dpi = static_cast<int>(ExpectedDpi());
  Editor editor = StartWithText(L"拡大");
  const struct {
    const wchar_t* caption;
    void (*open)(const Editor&);
    const char* screenshot;
  } cases[] = {
      {kAskKeyCaption, [](const Editor& e) { EncryptingCopy(e); }, "key-dialog-ask"},
      {kChangeKeyCaption, [](const Editor& e) { ChangeKeyCommand(e); }, "key-dialog-change"},
  };
  for (const auto& c : cases) {
    c.open(editor);
    const KeyDialog dialog = WaitKeyDialog(editor.app, c.caption);
    const SIZE client = ClientSize(dialog.window);
    CheckNear(RECT{0, 0, MulDiv(370, dpi, 96), MulDiv(143, dpi, 96)},
              RECT{0, 0, client.cx, client.cy}, "client size");
    HWND label1 = WaitChild(dialog.window, {.className = L"Static", .text = kPrompt});
    CheckNear(ScaledRect(16, 12, 341, 29), RectInParent(label1), "the prompt");
    CheckNear(ScaledRect(52, 48, 301, 20), RectInParent(dialog.field), "the key field");
    CheckNear(ScaledRect(192, 112, 77, 21), RectInParent(dialog.ok), "O.K.");
    CheckNear(ScaledRect(52, 80, 301, 17), RectInParent(dialog.remember), "the remember box");
    CheckNear(ScaledRect(276, 112, 77, 21), RectInParent(dialog.cancel), "キャンセル");
    for (HWND control : {label1, dialog.field, dialog.ok, dialog.remember, dialog.cancel}) {
      const FontInfo font = FontOf(control);
      CheckEqual(true, font.ownFont, "the control has the dialog's font");
      CheckEqual(-static_cast<LONG>(MulDiv(12, dpi, 96)), font.height, "character height");
    }
    CheckEqual(static_cast<UINT>(dpi), Probe(dialog.window).windowDpi, "the dialog's DPI");
    Screenshot(c.screenshot);
    ClickButton(dialog.cancel);
    WaitGone(dialog.window);
    SyncPosted(editor.memo);
  }
  CloseEditor(editor);
}

// Started minimized, the program shows no window and has not run its first activation until the
// application is restored.
E2E_SCENARIO(spine_start_minimized, "") {
  App app = Launch(VellumoExe(), L"", SW_SHOWMINNOACTIVE);
  const HWND application =
      WaitForValue<HWND>("the application window", [&]() -> std::optional<HWND> {
        const auto windows =
            TopWindows(app.Id(), {.className = L"TApplication", .visibleOnly = false});
        if (windows.empty() || !IsIconic(windows.front())) return std::nullopt;
        return windows.front();
      });
  const HWND main = WaitForValue<HWND>("the main window", [&]() -> std::optional<HWND> {
    const auto windows = TopWindows(app.Id(), {.className = L"TMainForm", .visibleOnly = false});
    if (windows.empty()) return std::nullopt;
    return windows.front();
  });
  const HWND memo = WaitChild(main, {.className = L"Edit", .visibleOnly = false});
  SyncPosted(memo);
  CheckEqual(std::size_t{0}, TopWindows(app.Id(), {.className = L"TMainForm"}).size(),
             "no visible main window");
  CheckEqual(std::wstring(L"MainForm"), TextOf(main), "no first activation yet");

  PostMessageW(application, WM_SYSCOMMAND, SC_RESTORE, 0);
  WaitVisible(main);
  WaitDocumentCaption(main);
  CheckEqual(false, IsIconic(application) != FALSE,
             "the application window is restored with the main window, not left minimized");
  WaitFocus(memo);
  Screenshot("restored");
  PostClose(main);
  CheckEqual(0ul, app.WaitExit(), "exit code");
}

// Started normally or maximized, the main window is shown so and activated at once.
E2E_SCENARIO(spine_start_shown, "") {
  const struct {
    WORD show;
    const char* name;
    bool maximized;
  } cases[] = {
      {SW_SHOWNORMAL, "SW_SHOWNORMAL", false},
      {SW_SHOWMAXIMIZED, "SW_SHOWMAXIMIZED", true},
  };
  for (const auto& c : cases) {
    const std::string what = std::string("started with ") + c.name;
    Editor editor = StartEditor(L"", c.show);
    WaitDocumentCaption(editor.main);
    CheckEqual(c.maximized, IsZoomed(editor.main) != FALSE, what + ": maximized");
    CheckEqual(false, IsIconic(editor.main) != FALSE, what + ": not minimized");
    WaitFocus(editor.memo);
    CloseEditor(editor);
  }
}

// Closing the main window ends the program at once with exit code 0, unsaved text and all.
E2E_SCENARIO(spine_closing_ends_at_once, "") {
  const struct {
    const char* way;
    void (*close)(const Editor&);
  } cases[] = {
      {"close box", [](const Editor& e) { PostSystemClose(e.main); }},
      {"Alt+F4",
       [](const Editor& e) {
         PressKeys(e.memo, {VK_MENU, VK_F4});
       }},
      {"終了(&X)",
       [](const Editor& e) {
         PressKeys(e.memo, {VK_MENU, 'F'});
         WaitTopWindow(e.app, {.className = L"#32768"});
         PressKeys(e.memo, {'X'});
       }},
  };
  for (const auto& c : cases) {
    Editor editor = StartWithText(L"保存されない");
    c.close(editor);
    CheckEqual(0ul, editor.app.WaitExit(), std::string("exit code after ") + c.way);
  }
}

}  // namespace vellumo::e2e
