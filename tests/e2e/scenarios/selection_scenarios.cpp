// Scenarios on the edit area's selection and the commands that use it: a tool bar click leaves
// the focus and the selection where they were, a double click runs the command twice, and the
// encrypting cut and copy of an empty selection put an empty text on the clipboard without
// asking for the key.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/driver/e2e.h"

namespace vellumo::e2e {
namespace {

// Makes `key` the remembered key with the change-key command, so that no dialog interrupts.
void RememberKey(const Editor& editor, std::wstring_view key) {
  FocusOn(editor.memo);
  PressKeys(editor.memo, {VK_CONTROL, 'K'});
  AnswerKey(editor.app, key, kChangeKeyCaption);
  SyncPosted(editor.memo);
}

}  // namespace

// A click on a tool bar button (the encrypting copy) runs its command and leaves the keyboard
// focus and the selection in the edit area as they were.
E2E_SCENARIO(selection_kept_by_a_tool_bar_click, "") {
  const std::wstring text = L"ツールバーの選択";
  Editor editor = StartOnNewDocument();
  TypeText(editor.memo, text);
  WaitText(editor.memo, text);
  RememberKey(editor, L"k");
  SelectText(editor.memo, 2, 5);
  const DWORD sequence = GetClipboardSequenceNumber();
  ClickToolButton(editor, 6);
  CheckEncrypted(WaitClipboardChange(sequence), text.substr(2, 3), L"k", "the copy");
  SyncPosted(editor.memo);
  CheckEqual(editor.memo, FocusOf(editor.main), "the focus stays in the edit area");
  CheckEqual(std::vector<int>{2, 5}, SelectionOf(editor.memo), "the selection stays");
  CloseEditor(editor);
}

// A double click on the decrypting paste button pastes twice: the second press of a double
// click is a press like the first.
E2E_SCENARIO(selection_double_click_runs_twice, "") {
  Editor editor = StartOnNewDocument();
  RememberKey(editor, L"k");
  SetText(editor.memo, L"[]");
  SetClipboardAnsi(EncodeLetters(L"字", L"k"));
  SelectText(editor.memo, 1, 1);
  FocusOn(editor.memo);
  HoverToolButton(editor, 7);
  const POINT button = ToolButtonPoint(editor, 7);
  // The second click follows at once, well within the double-click time and place.
  ClickMouse(button);
  ClickMouse(button);
  WaitText(editor.memo, L"[字字]");
  CloseEditor(editor);
}

// The encrypting cut and copy with nothing selected ask for no key (none is remembered), leave an
// empty text on the clipboard and the edit area as it was.
E2E_SCENARIO(selection_empty_for_encrypting_cut_and_copy, "") {
  const std::wstring text = L"選択なし";
  Editor editor = StartOnNewDocument();
  TypeText(editor.memo, text);
  WaitText(editor.memo, text);
  for (const WORD letter : {WORD{'X'}, WORD{'C'}}) {
    const std::string what = letter == 'X' ? "Ctrl+X" : "Ctrl+C";
    SetClipboardAnsi("before");
    const DWORD sequence = GetClipboardSequenceNumber();
    SelectText(editor.memo, 2, 2);
    PressKeys(editor.memo, {VK_CONTROL, letter});
    CheckEqual(std::string(), WaitClipboardChange(sequence, "before"),
               what + ": the clipboard holds an empty text");
    SyncPosted(editor.memo);
    Check(!DialogShown(editor.app), what + ": no key is asked for");
    CheckEqual(text, TextOf(editor.memo), what + ": the edit area is unchanged");
  }
  CloseEditor(editor);
}

}  // namespace vellumo::e2e
