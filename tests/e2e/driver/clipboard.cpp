#include "tests/e2e/driver/clipboard.h"

#include <windows.h>

#include <cstring>

#include "tests/e2e/driver/describe.h"
#include "tests/e2e/driver/scenario.h"

namespace vellumo::e2e {
namespace {

// A message-only window of the driver: the owner of what the driver puts on the clipboard.
HWND DriverWindow() {
  static const HWND window =
      CreateWindowExW(0, L"STATIC", L"vellumo e2e driver", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                      GetModuleHandleW(nullptr), nullptr);
  return window;
}

// Opens the clipboard, retrying while another program holds it.
class Session {
 public:
  explicit Session(HWND owner = nullptr) {
    if (!PollUntil([&] { return OpenClipboard(owner) != FALSE; }, Millis(2000))) {
      Abort("the clipboard stayed busy (another program holds it open)");
    }
  }
  ~Session() { CloseClipboard(); }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
};

template <class Char>
std::optional<std::basic_string<Char>> Read(UINT format) {
  Session session;
  HANDLE data = GetClipboardData(format);
  if (!data) return std::nullopt;
  const auto* chars = static_cast<const Char*>(GlobalLock(data));
  if (!chars) return std::nullopt;
  // Stop at the first zero, but never read past the block.
  const std::size_t capacity = GlobalSize(data) / sizeof(Char);
  std::size_t length = 0;
  while (length < capacity && chars[length] != 0)
    ++length;
  std::basic_string<Char> text(chars, length);
  GlobalUnlock(data);
  return text;
}

void Put(UINT format, const void* bytes, std::size_t size) {
  Session session(DriverWindow());
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!block) Abort("GlobalAlloc failed for clipboard data");
  std::memcpy(GlobalLock(block), bytes, size);
  GlobalUnlock(block);
  if (!SetClipboardData(format, block)) {
    GlobalFree(block);
    Abort("SetClipboardData failed (error " + std::to_string(GetLastError()) + ")");
  }
}

}  // namespace

std::optional<std::string> ClipboardAnsi() {
  return Read<char>(CF_TEXT);
}

std::optional<std::wstring> ClipboardUnicode() {
  return Read<wchar_t>(CF_UNICODETEXT);
}

void SetClipboardAnsi(std::string_view bytes) {
  std::string copy(bytes);
  Put(CF_TEXT, copy.c_str(), copy.size() + 1);
}

void SetClipboardUnicode(std::wstring_view text) {
  std::wstring copy(text);
  Put(CF_UNICODETEXT, copy.c_str(), (copy.size() + 1) * sizeof(wchar_t));
}

void EmptyTheClipboard() {
  Session session(DriverWindow());
  EmptyClipboard();
}

void WaitClipboardAnsi(std::string_view bytes, Millis limit, Where where) {
  std::optional<std::string> last;
  if (!PollUntil([&] { return (last = ClipboardAnsi()) == std::string(bytes); }, limit)) {
    Abort("timed out waiting for the clipboard text\n  expected: " + Describe(bytes) +
              "\n  actual:   " + Describe(last),
          where);
  }
}

std::string WaitClipboardChange(DWORD sequence, const std::optional<std::string>& stale,
                                Millis limit, Where where) {
  bool changed = false;
  std::optional<std::string> last;
  const bool written = PollUntil(
      [&] {
        const DWORD now = GetClipboardSequenceNumber();
        if (now == sequence || GetOpenClipboardWindow()) return false;
        sequence = now;
        changed = true;
        last = ClipboardAnsi();
        return last && last != stale;
      },
      limit);
  if (!written) {
    Abort(std::string("timed out waiting for the program to write text to the clipboard; ") +
              (changed ? "it holds " + Describe(last) : "the clipboard did not change"),
          where);
  }
  return *last;
}

ClipboardHold::ClipboardHold() {
  if (!PollUntil([] { return OpenClipboard(DriverWindow()) != FALSE; }, Millis(2000))) {
    Abort("cannot hold the clipboard: another program holds it open");
  }
  held_ = true;
  Trace("clipboard held open");
}

ClipboardHold::~ClipboardHold() {
  Release();
}

void ClipboardHold::Release() {
  if (!held_) return;
  CloseClipboard();
  held_ = false;
  Trace("clipboard released");
}

}  // namespace vellumo::e2e
