#include <windows.h>

#include <algorithm>
#include <iterator>

#include "cli/terminal.h"
#include "platform/secret.h"
#include "platform/utf8.h"
#include "platform/win32/unicode.h"

namespace vellumo {
namespace {

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};

void WriteConsoleText(HANDLE console, std::wstring_view text) {
  while (!text.empty()) {
    DWORD written = 0;
    const DWORD n = static_cast<DWORD>(std::min<std::size_t>(text.size(), 8192));
    if (!WriteConsoleW(console, text.data(), n, &written, nullptr) || written == 0) return;
    text.remove_prefix(written);
  }
}

// While echo is off, Ctrl+C and closing the console first turn it back on.
HANDLE echoConsole = INVALID_HANDLE_VALUE;
DWORD savedMode = 0;

BOOL WINAPI RestoreEcho(DWORD) {
  SetConsoleMode(echoConsole, savedMode);
  return FALSE;  // the default handler ends the process
}

}  // namespace

int WriteText(StandardStream stream, std::string_view utf8) {
  const HANDLE h =
      GetStdHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
  DWORD mode = 0;
  if (GetConsoleMode(h, &mode)) {
    WriteConsoleText(h, Utf8ToWide(utf8));
    return 0;
  }
  while (!utf8.empty()) {
    DWORD written = 0;
    const DWORD n = static_cast<DWORD>(std::min<std::size_t>(utf8.size(), 1u << 30));
    if (!WriteFile(h, utf8.data(), n, &written, nullptr)) return static_cast<int>(GetLastError());
    if (written == 0) return ERROR_DISK_FULL;
    utf8.remove_prefix(written);
  }
  return 0;
}

KeyEntry ReadKeyFromTerminal(std::string_view prompt, SecretText& utf8Key) {
  Handle in(CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_EXISTING, 0, nullptr));
  Handle out(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  DWORD mode = 0;
  if (!in.valid() || !out.valid() || !GetConsoleMode(in.get(), &mode)) return KeyEntry::NoTerminal;
  WriteConsoleText(out.get(), Utf8ToWide(prompt));

  echoConsole = in.get();
  savedMode = mode;
  SetConsoleCtrlHandler(RestoreEcho, TRUE);
  SetConsoleMode(in.get(),
                 (mode | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT) & ~ENABLE_ECHO_INPUT);
  // Read straight into the key, whose every buffer is wiped when let go.
  BasicSecret<wchar_t> typed;
  constexpr DWORD kBlock = 256;
  bool lineEnded = false;
  for (;;) {
    const std::size_t before = typed.size();
    DWORD n = 0;
    typed.resize(before + kBlock);
    const bool read = ReadConsoleW(in.get(), typed.data() + before, kBlock, &n, nullptr);
    const auto end = std::wstring_view(typed.data() + before, read ? n : 0).find_first_of(L"\r\n");
    typed.resize(before + std::min<std::size_t>(end, read ? n : 0));
    if (!read || n == 0) break;
    if (end != std::wstring_view::npos) {
      lineEnded = true;
      break;
    }
  }
  SetConsoleMode(in.get(), mode);
  SetConsoleCtrlHandler(RestoreEcho, FALSE);
  WriteConsoleText(out.get(), L"\r\n");  // the Enter that was not echoed

  // Ctrl+Z at the start of the line is the console's end of input.
  if (!typed.empty() && typed[0] == L'\x1a') lineEnded = false;
  if (lineEnded) {
    utf8Key.Fill(3 * typed.size(), [&](char* bytes) { return Utf16ToUtf8(AsUtf16(typed), bytes); });
  }
  return lineEnded ? KeyEntry::Typed : KeyEntry::Cancelled;
}

}  // namespace vellumo
