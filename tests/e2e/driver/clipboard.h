// The clipboard, shared with the programs under test through the wineserver: reading and
// setting text in both formats, and holding it open the way another busy program would.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "tests/e2e/driver/wait.h"

namespace vellumo::e2e {

// CF_TEXT as its bytes (code page 932 under a Japanese system), up to the terminating zero;
// nothing when the clipboard holds no text.
std::optional<std::string> ClipboardAnsi();
// CF_UNICODETEXT (the system converts CF_TEXT when only that was put there).
std::optional<std::wstring> ClipboardUnicode();

// Empties the clipboard, then puts one format there (owned by a hidden driver window).
void SetClipboardAnsi(std::string_view bytes);
void SetClipboardUnicode(std::wstring_view text);
void EmptyTheClipboard();

// Waits until CF_TEXT holds exactly `bytes`; a timeout shows expected against actual.
void WaitClipboardAnsi(std::string_view bytes, Millis limit = kDefaultTimeout,
                       Where where = Where::current());

// Waits until a program has put text on the clipboard since `sequence` (a
// GetClipboardSequenceNumber taken before the command) and closed it again, and answers its
// CF_TEXT. Until then only the sequence number is watched: opening the clipboard to look would
// make the program's own OpenClipboard fail, as while any other program holds it. A change that
// leaves no text, or leaves `stale` (what the driver put there before), waits for the next one.
std::string WaitClipboardChange(DWORD sequence, const std::optional<std::string>& stale = {},
                                Millis limit = kDefaultTimeout, Where where = Where::current());

// Keeps the clipboard open for as long as it lives, so that every OpenClipboard of the program
// under test fails as it does while another program uses the clipboard.
class ClipboardHold {
 public:
  ClipboardHold();
  ~ClipboardHold();
  ClipboardHold(const ClipboardHold&) = delete;
  ClipboardHold& operator=(const ClipboardHold&) = delete;
  void Release();

 private:
  bool held_ = false;
};

}  // namespace vellumo::e2e
