// Common-control messages that carry pointers: the system does not carry their buffers across
// processes, so the buffer is allocated inside the program under test and read back from there.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tests/e2e/driver/wait.h"

namespace vellumo::e2e {

// Memory inside another process, freed when this object goes.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, std::size_t size);  // in the process that owns `window`
  ~RemoteBuffer();
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
  void Write(const void* bytes, std::size_t size);
  std::vector<std::byte> Read(std::size_t size) const;

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  std::size_t size_ = 0;
};

// The text of a status bar's part; in simple mode (one simple panel) the simple text.
std::wstring StatusBarText(HWND statusBar, int part = 0);
// Whether the status bar shows its one simple panel (SB_ISSIMPLE).
bool StatusBarIsSimple(HWND statusBar);
// Waits until StatusBarText(statusBar, part) is `text`; a timeout shows expected against actual.
void WaitStatusBarText(HWND statusBar, std::wstring_view text, int part = 0,
                       Millis limit = kDefaultTimeout, Where where = Where::current());

}  // namespace vellumo::e2e
