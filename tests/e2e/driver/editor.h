// The editor under test, vellumo.exe: its command IDs and captions, starting it and finding the
// parts of its main window, its menus and tool bar, its key dialog, and a reader of the letters
// that its encrypting commands write.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "tests/e2e/driver/process.h"
#include "tests/e2e/driver/wait.h"

namespace vellumo::e2e {

// Command IDs of the main window's menu items, for commands posted as the menu sends them.
inline constexpr int kFileNewId = 101;
inline constexpr int kFileOpenId = 102;
inline constexpr int kFileSaveId = 103;
inline constexpr int kFileSaveAsId = 104;
inline constexpr int kFileOpenNormalId = 105;
inline constexpr int kFileSaveNormalId = 106;
inline constexpr int kFileSaveAsNormalId = 107;
inline constexpr int kFileExitId = 108;
inline constexpr int kEditUndoId = 201;
inline constexpr int kEditCutId = 202;
inline constexpr int kEditCopyId = 203;
inline constexpr int kEditPasteId = 204;
inline constexpr int kEditCutNormalId = 205;
inline constexpr int kEditCopyNormalId = 206;
inline constexpr int kEditPasteNormalId = 207;
inline constexpr int kEditSelectAllId = 208;
inline constexpr int kEditKeyId = 209;
inline constexpr int kHelpAboutId = 301;

// Controls of the key dialog ("O.K." is IDOK).
inline constexpr int kKeyFieldId = 100;
inline constexpr int kRememberBoxId = 101;
inline constexpr int kKeyCancelId = 102;
// The buttons of the program's own warning and error boxes. (Its failure box is the system's
// message box, whose "OK" is IDOK.)
inline constexpr int kBoxOkId = 1002;
inline constexpr int kBoxCancelId = 1003;

inline constexpr wchar_t kAskKeyCaption[] = L"「鍵」の入力";
inline constexpr wchar_t kChangeKeyCaption[] = L"「鍵」の変更";
inline constexpr wchar_t kAboutCaption[] = L"Vellumo のバージョン情報";
inline constexpr wchar_t kFailureCaption[] = L"Vellumo";
inline constexpr wchar_t kWarningCaption[] = L"警告";
inline constexpr wchar_t kErrorCaption[] = L"エラー";

// The tool bar's buttons, 1 to 8 from the left: the hint of the tooltip and the one the status
// line shows while the pointer rests on the button.
struct ToolButton {
  const wchar_t* shortHint;
  const wchar_t* longHint;
};
inline constexpr ToolButton kToolButtons[] = {
    {L"新規作成", L"新しいファイルを作成します"},
    {L"開く", L"既存のファイルを開いて解読します"},
    {L"上書き保存", L"現在のファイルを暗号化して保存します"},
    {L"元に戻す", L"最後の操作を元に戻します"},
    {L"切り取り", L"選択された項目を暗号化してクリップボードへ切り取ります"},
    {L"コピー", L"選択された項目を暗号化してクリップボードへコピーします"},
    {L"貼り付け", L"クリップボードの内容を解読して貼り付けます"},
    {L"バージョン情報", L"このアプリケーションのバージョン情報を表示します"},
};

struct Editor {
  App app;
  HWND main = nullptr;    // TMainForm
  HWND bar = nullptr;     // the tool bar's panel
  HWND memo = nullptr;    // the edit area
  HWND status = nullptr;  // the status line
};

// Starts vellumo.exe and waits for its shown main window and the parts of it, not for the first
// activation (a start-up open that fails shows its box before it).
Editor StartEditor(std::wstring_view arguments = L"", WORD showCommand = SW_SHOWNORMAL,
                   Where where = Where::current());
// Starts the editor on a new document: the first activation has named it, and the keyboard focus
// is in the edit area.
Editor StartOnNewDocument(Where where = Where::current());
// Closes the main window and checks that the program ends with exit code 0.
void CloseEditor(Editor& editor, Where where = Where::current());

// The caption of a document with this file name: "Vellumo - <name>".
std::wstring DocumentCaption(std::wstring_view name);
// Waits for a document caption, which the first activation sets.
void WaitDocumentCaption(HWND main, Where where = Where::current());

// Chooses a menu item by keyboard, as a user would: Alt enters the menu bar, the head's access
// letter opens the menu, the item's access letter chooses it; waits until the menu has closed.
void ChooseMenuItem(const Editor& editor, WORD headLetter, WORD itemLetter,
                    Where where = Where::current());

// The middle of tool bar button `number` (1 to 8), in screen coordinates, scaled with the DPI.
POINT ToolButtonPoint(const Editor& editor, int number);
// Rests the pointer on tool bar button `number` until the status line shows its long hint.
void HoverToolButton(const Editor& editor, int number, Where where = Where::current());
// Clicks tool bar button `number` with the mouse, the focus in the edit area, once the program
// has seen the pointer on it (its hint shows).
void ClickToolButton(const Editor& editor, int number, Where where = Where::current());

// The key dialog and its controls.
struct KeyDialog {
  HWND window = nullptr;
  HWND field = nullptr;
  HWND ok = nullptr;
  HWND remember = nullptr;
  HWND cancel = nullptr;
};
// Waits for the key dialog with this caption, its focus in the key field.
KeyDialog WaitKeyDialog(const App& app, std::wstring_view caption = kAskKeyCaption,
                        Where where = Where::current());
// Types `key` into the field as a user would, replacing its selected text (nothing for "").
void TypeKey(const KeyDialog& dialog, std::wstring_view key, Where where = Where::current());
// Waits for the key dialog, types the key and presses "O.K."; an empty key is confirmed with OK
// in the warning box that follows. Returns once the dialog is gone.
void AnswerKey(const App& app, std::wstring_view key, std::wstring_view caption = kAskKeyCaption,
               Where where = Where::current());
// Waits for the key dialog and closes it with "キャンセル".
void CancelKey(const App& app, std::wstring_view caption = kAskKeyCaption,
               Where where = Where::current());

// The value every byte of the key derived from a key text holds: the XOR of the text's code page
// 932 bytes after the first.
unsigned char KeyByteOf(std::wstring_view key);
// Reads the letters the encrypting commands write: two letters of codes 47 to 110 per byte (any
// of the four alphabets), CR LF after every 128 letters and at the end. Answers the bytes they
// stand for under `keyByte`, or nothing when the text breaks that form, and then says where in
// `problem`.
std::optional<std::string> DecodeLetters(std::string_view encoded, unsigned char keyByte,
                                         std::string* problem = nullptr);
// The encrypted form of `plain` (as code page 932 bytes) under `key`, as the program writes it
// but in the letters of one alphabet (codes 63 to 78), which the program reads like any other:
// for files and clipboard texts that the program is to decrypt.
std::string EncodeLetters(std::wstring_view plain, std::wstring_view key);
// Checks that `encoded` is the encrypted form of `plain` (as code page 932 bytes) under `key`.
void CheckEncrypted(const std::optional<std::string>& encoded, std::wstring_view plain,
                    std::wstring_view key, std::string_view what, Where where = Where::current());

}  // namespace vellumo::e2e
