// Scenarios on the key field itself: a key longer than the edit control's default limit is taken
// whole, and the field holds no key any more when the program ends.
#include <windows.h>

#include <string>

#include "tests/e2e/driver/e2e.h"

namespace vellumo::e2e {

// A key of 40,000 characters, pasted into the field (no text limit stops it: the system's default
// is 30,000 under Wine, 32,767 on Windows), derives its key byte from all of them. Cut after
// 30,000 it would give another byte: 39,998 "a" after the first cancel out and leave the final
// "b"; 29,999 leave an "a".
E2E_SCENARIO(key_field_takes_a_long_pasted_key, "") {
  const std::wstring text = L"長い鍵で守る";
  const std::wstring key = std::wstring(39999, L'a') + L"b";
  Editor editor = StartOnNewDocument();
  TypeText(editor.memo, text);
  WaitText(editor.memo, text);
  SetClipboardUnicode(key);

  SelectText(editor.memo);
  PressKeys(editor.memo, {VK_CONTROL, 'C'});
  const KeyDialog dialog = WaitKeyDialog(editor.app);
  PressKeys(dialog.field, {VK_CONTROL, 'V'});
  const auto length = [&] { return static_cast<int>(Send(dialog.field, WM_GETTEXTLENGTH)); };
  PollUntil([&] { return length() == static_cast<int>(key.size()); });
  RequireEqual(static_cast<int>(key.size()), length(), "the whole key is in the field");
  const DWORD sequence = GetClipboardSequenceNumber();
  ClickButton(dialog.ok);
  WaitGone(dialog.window);
  CheckEncrypted(WaitClipboardChange(sequence, Cp932(key)), text, key, "encrypted under it");
  CloseEditor(editor);
}

// A remembered key stays in the hidden dialog's field while the program runs; when the program
// ends, the field is emptied before it goes.
E2E_SCENARIO(key_field_is_wiped_at_exit, "") {
  Editor editor = StartOnNewDocument();
  PressKeys(editor.memo, {VK_CONTROL, 'K'});
  const KeyDialog dialog = WaitKeyDialog(editor.app, kChangeKeyCaption);
  TypeKey(dialog, L"覚えた鍵");
  ClickButton(dialog.ok);
  WaitGone(dialog.window);
  SyncPosted(editor.memo);
  RequireEqual(std::wstring(L"覚えた鍵"), TextOf(dialog.field), "the key is remembered");

  const DestroyWatch watch(dialog.field);
  CloseEditor(editor);
  CheckEqual(std::optional<int>(0), watch.TextLengthAtDestroy(),
             "the field's text length when it was destroyed");
}

}  // namespace vellumo::e2e
