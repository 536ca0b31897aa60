#include "tests/e2e/driver/remote.h"

#include <commctrl.h>

#include <cstring>

#include "tests/e2e/driver/scenario.h"
#include "tests/e2e/driver/window.h"

namespace vellumo::e2e {

RemoteBuffer::RemoteBuffer(HWND window, std::size_t size) : size_(size) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  process_ =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (!process_) Abort("cannot open process " + std::to_string(processId));
  address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!address_) {
    CloseHandle(process_);
    Abort("cannot allocate memory in process " + std::to_string(processId));
  }
}

RemoteBuffer::~RemoteBuffer() {
  VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  CloseHandle(process_);
}

void RemoteBuffer::Write(const void* bytes, std::size_t size) {
  SIZE_T written = 0;
  if (size > size_ || !WriteProcessMemory(process_, address_, bytes, size, &written)) {
    Abort("cannot write into the other process");
  }
}

std::vector<std::byte> RemoteBuffer::Read(std::size_t size) const {
  std::vector<std::byte> bytes(size);
  SIZE_T read = 0;
  if (size > size_ || !ReadProcessMemory(process_, address_, bytes.data(), size, &read)) {
    Abort("cannot read from the other process");
  }
  return bytes;
}

bool StatusBarIsSimple(HWND statusBar) {
  return Send(statusBar, SB_ISSIMPLE) != 0;
}

std::wstring StatusBarText(HWND statusBar, int part) {
  // In simple mode the one panel's text is part 0 (Wine answers nothing for SB_SIMPLEID).
  const WPARAM index = StatusBarIsSimple(statusBar) ? 0 : static_cast<WPARAM>(part);
  const std::size_t length = LOWORD(Send(statusBar, SB_GETTEXTLENGTHW, index));
  RemoteBuffer buffer(statusBar, (length + 1) * sizeof(wchar_t));
  const std::size_t copied = LOWORD(Send(statusBar, SB_GETTEXTW, index, buffer.Address()));
  const auto bytes = buffer.Read((length + 1) * sizeof(wchar_t));
  std::wstring text(std::min(copied, length), L'\0');
  std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
  return text;
}

}  // namespace vellumo::e2e

namespace vellumo::e2e {

void WaitStatusBarText(HWND statusBar, std::wstring_view text, int part, Millis limit,
                       Where where) {
  std::wstring last;
  if (!PollUntil([&] { return (last = StatusBarText(statusBar, part)) == text; }, limit)) {
    Abort("timed out waiting for the status bar text\n  expected: " + Describe(text) +
              "\n  actual:   " + Describe(last),
          where);
  }
}

}  // namespace vellumo::e2e
