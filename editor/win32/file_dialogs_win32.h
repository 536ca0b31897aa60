// OpenDialog and SaveDialog: the system's Explorer-style file dialogs, each remembering the path
// and filter entry of its last confirmed use, placed on the monitor of the main window.
#pragma once

#include <windows.h>

#include "editor/file_dialogs.h"

namespace vellumo::win32 {

class FileDialogs final : public IFileDialogs {
 public:
  explicit FileDialogs(HWND owner);

  std::optional<std::string> ShowOpenDialog() override;
  std::optional<std::string> ShowSaveDialog(const std::string& fileName) override;

 private:
  struct Remembered {
    wchar_t path[MAX_PATH] = {};  // the 260-character file name buffer
    DWORD filterIndex = kInitialFilterIndex;
  };
  std::optional<std::string> Show(Remembered& dialog, bool save);

  HWND owner_;
  std::wstring filter_;
  Remembered open_;
  Remembered save_;
};

}  // namespace vellumo::win32
