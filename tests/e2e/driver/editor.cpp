#include "tests/e2e/driver/editor.h"

#include "tests/e2e/driver/cp932.h"
#include "tests/e2e/driver/input.h"
#include "tests/e2e/driver/probe.h"
#include "tests/e2e/driver/remote.h"
#include "tests/e2e/driver/scenario.h"
#include "tests/e2e/driver/window.h"

namespace vellumo::e2e {
namespace {

constexpr std::wstring_view kCaptionPrefix = L"Vellumo - ";

// The tool bar buttons at 96 DPI: left edges within the bar, top 4, 25 x 25.
constexpr int kButtonLefts[] = {8, 32, 56, 84, 108, 132, 156, 184};

// The value of one letter: its nibble, whichever of the four alphabets it comes from; -1 for a
// code that is no letter.
int Nibble(char letter) {
  const auto c = static_cast<unsigned char>(letter);
  if (c >= 47 && c <= 62) return 62 - c;
  if (c >= 63 && c <= 78) return c - 63;
  if (c >= 79 && c <= 94) return c - 79;
  if (c >= 95 && c <= 110) return 110 - c;
  return -1;
}

// Whether the window's thread tracks a menu (the menu bar entered, or a menu open).
bool InMenuMode(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
         (info.flags & GUI_INMENUMODE) != 0;
}

}  // namespace

Editor StartEditor(std::wstring_view arguments, WORD showCommand, Where where) {
  Editor editor{Launch(VellumoExe(), arguments, showCommand)};
  editor.main = WaitTopWindow(editor.app, {.className = L"TMainForm"}, kDefaultTimeout, where);
  editor.bar = WaitChild(editor.main, {.className = L"TPanel"}, kDefaultTimeout, where);
  editor.memo = WaitChild(editor.main, {.className = L"Edit"}, kDefaultTimeout, where);
  editor.status =
      WaitChild(editor.main, {.className = L"msctls_statusbar32"}, kDefaultTimeout, where);
  return editor;
}

Editor StartOnNewDocument(Where where) {
  Editor editor = StartEditor(L"", SW_SHOWNORMAL, where);
  WaitDocumentCaption(editor.main, where);
  FocusOn(editor.memo);
  return editor;
}

void CloseEditor(Editor& editor, Where where) {
  PostClose(editor.main);
  CheckEqual(0ul, editor.app.WaitExit(kDefaultTimeout, where), "exit code", where);
}

std::wstring DocumentCaption(std::wstring_view name) {
  return std::wstring(kCaptionPrefix) + std::wstring(name);
}

void WaitDocumentCaption(HWND main, Where where) {
  WaitFor(
      "the caption \"Vellumo - <name>\"", [&] { return TextOf(main).starts_with(kCaptionPrefix); },
      kDefaultTimeout, where);
}

void ChooseMenuItem(const Editor& editor, WORD headLetter, WORD itemLetter, Where where) {
  FocusOn(editor.memo);
  // Alt alone enters the menu bar, and only then the head's letter goes out.
  PressKeys(editor.memo, {VK_MENU}, where);
  WaitFor(
      "Alt to enter the menu bar", [&] { return InMenuMode(editor.main); }, kDefaultTimeout, where);
  PressKeys(editor.memo, {headLetter});
  WaitTopWindow(editor.app, {.className = L"#32768"}, kDefaultTimeout, where);
  PressKeys(editor.memo, {itemLetter});
  WaitFor(
      "the menu to close",
      [&] { return FindTopWindow(editor.app, {.className = L"#32768"}) == nullptr; },
      kDefaultTimeout, where);
}

POINT ToolButtonPoint(const Editor& editor, int number) {
  const int middle = Scaled96(12);
  return ClientToScreenPoint(editor.bar,
                             {Scaled96(kButtonLefts[number - 1]) + middle, Scaled96(4) + middle});
}

void HoverToolButton(const Editor& editor, int number, Where where) {
  MoveMouse(ToolButtonPoint(editor, number), where);
  WaitStatusBarText(editor.status, kToolButtons[number - 1].longHint, 0, kDefaultTimeout, where);
}

void ClickToolButton(const Editor& editor, int number, Where where) {
  FocusOn(editor.memo);
  HoverToolButton(editor, number, where);
  ClickMouse(ToolButtonPoint(editor, number), where);
}

KeyDialog WaitKeyDialog(const App& app, std::wstring_view caption, Where where) {
  KeyDialog dialog;
  dialog.window = WaitDialog(app, caption, kDefaultTimeout, where);
  const auto child = [&](const WindowSpec& wanted) {
    return WaitChild(dialog.window, wanted, kDefaultTimeout, where);
  };
  dialog.field = child({.className = L"Edit", .id = kKeyFieldId});
  dialog.ok = child({.className = L"Button", .id = IDOK});
  dialog.remember = child({.className = L"Button", .id = kRememberBoxId});
  dialog.cancel = child({.className = L"Button", .id = kKeyCancelId});
  WaitFocus(dialog.field, kDefaultTimeout, where);
  return dialog;
}

void TypeKey(const KeyDialog& dialog, std::wstring_view key, Where where) {
  if (key.empty()) return;
  FocusOn(dialog.field);
  TypeText(dialog.field, key);
  WaitText(dialog.field, key, kDefaultTimeout, where);
}

void AnswerKey(const App& app, std::wstring_view key, std::wstring_view caption, Where where) {
  const KeyDialog dialog = WaitKeyDialog(app, caption, where);
  TypeKey(dialog, key, where);
  ClickButton(dialog.ok);
  if (key.empty()) {
    HWND warning = WaitDialog(app, kWarningCaption, kDefaultTimeout, where);
    ClickButton(
        WaitChild(warning, {.className = L"Button", .id = kBoxOkId}, kDefaultTimeout, where));
    WaitGone(warning, kDefaultTimeout, where);
  }
  WaitGone(dialog.window, kDefaultTimeout, where);
}

void CancelKey(const App& app, std::wstring_view caption, Where where) {
  const KeyDialog dialog = WaitKeyDialog(app, caption, where);
  ClickButton(dialog.cancel);
  WaitGone(dialog.window, kDefaultTimeout, where);
}

unsigned char KeyByteOf(std::wstring_view key) {
  const std::string bytes = Cp932(key);
  unsigned char value = 0;
  for (std::size_t i = 1; i < bytes.size(); ++i)
    value ^= static_cast<unsigned char>(bytes[i]);
  return value;
}

std::optional<std::string> DecodeLetters(std::string_view encoded, unsigned char keyByte,
                                         std::string* problem) {
  const auto broken = [&](const std::string& where) -> std::optional<std::string> {
    if (problem) *problem = where;
    return std::nullopt;
  };
  if (!encoded.ends_with("\r\n")) return broken("the text does not end with CR LF");
  std::string bytes;
  std::size_t lineStart = 0;
  while (lineStart < encoded.size()) {
    const std::size_t end = encoded.find("\r\n", lineStart);
    const std::string_view line = encoded.substr(lineStart, end - lineStart);
    const bool last = end + 2 == encoded.size();
    const std::string at = " (the line at byte " + std::to_string(lineStart) + ")";
    if (last ? line.empty() || line.size() > 128 || line.size() % 2 != 0 : line.size() != 128) {
      return broken("a line of " + std::to_string(line.size()) + " letters" + at);
    }
    for (std::size_t i = 0; i < line.size(); i += 2) {
      const int high = Nibble(line[i]);
      const int low = Nibble(line[i + 1]);
      if (high < 0 || low < 0) {
        const auto code = static_cast<unsigned char>(line[high < 0 ? i : i + 1]);
        return broken("the code " + std::to_string(code) + " is no letter" + at);
      }
      bytes.push_back(static_cast<char>((high << 4 | low) ^ keyByte));
    }
    lineStart = end + 2;
  }
  return bytes;
}

std::string EncodeLetters(std::wstring_view plain, std::wstring_view key) {
  const std::string bytes = Cp932(plain);
  const unsigned char keyByte = KeyByteOf(key);
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0 && i % 64 == 0) out += "\r\n";
    const auto value = static_cast<unsigned char>(static_cast<unsigned char>(bytes[i]) ^ keyByte);
    out += static_cast<char>(63 + (value >> 4));
    out += static_cast<char>(63 + (value & 15));
  }
  return out + "\r\n";
}

void CheckEncrypted(const std::optional<std::string>& encoded, std::wstring_view plain,
                    std::wstring_view key, std::string_view what, Where where) {
  const std::string name(what);
  if (!Check(encoded.has_value(), name + ": there is an encrypted text", where)) return;
  std::string problem;
  const std::optional<std::string> decoded = DecodeLetters(*encoded, KeyByteOf(key), &problem);
  if (!Check(decoded.has_value(), name + ": the encrypted form: " + problem, where)) return;
  CheckEqual(Cp932(plain), *decoded, name + ": decodes to the text", where);
}

}  // namespace vellumo::e2e
