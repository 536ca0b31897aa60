#include "editor/win32/file_dialogs_win32.h"

#include <windows.h>

#include <commdlg.h>

#include "app/win32/application.h"
#include "app/win32/dpi.h"
#include "platform/win32/unicode.h"

namespace vellumo::win32 {
namespace {

// Places the dialog horizontally centred on the monitor of the main window, its top a third of
// the spare height down.
UINT_PTR CALLBACK PlaceDialog(HWND hook, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_INITDONE) {
    HWND dialog = GetParent(hook);
    HWND main = Application::Instance().MainWindow();
    PlaceHighOnMonitor(dialog, MonitorRectOf(main ? main : dialog));
  }
  return 0;
}

}  // namespace

FileDialogs::FileDialogs(HWND owner) : owner_(owner) {
  // "|" separates the items; the system wants zero characters, and two at the end.
  filter_ = Utf8ToWide(kFileFilter);
  for (auto& c : filter_) {
    if (c == L'|') c = L'\0';
  }
  filter_.push_back(L'\0');
  filter_.push_back(L'\0');
}

std::optional<std::string> FileDialogs::Show(Remembered& dialog, bool save) {
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner_;
  ofn.lpstrFilter = filter_.c_str();
  ofn.nFilterIndex = dialog.filterIndex;
  ofn.lpstrFile = dialog.path;
  ofn.nMaxFile = MAX_PATH;
  ofn.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER | OFN_ENABLEHOOK;
  ofn.lpfnHook = PlaceDialog;
  wchar_t previous[MAX_PATH];
  lstrcpynW(previous, dialog.path, MAX_PATH);
  BOOL confirmed = FALSE;
  const Application::SystemModal modal(owner_);
  if (save) {
    ofn.Flags |= OFN_OVERWRITEPROMPT;
    const std::wstring extension = Utf8ToWide(kSaveDefaultExtension);
    ofn.lpstrDefExt = extension.c_str();
    confirmed = GetSaveFileNameW(&ofn);
  } else {
    confirmed = GetOpenFileNameW(&ofn);
  }
  if (!confirmed) {
    // The dialog keeps what its last confirmed use chose.
    lstrcpynW(dialog.path, previous, MAX_PATH);
    return std::nullopt;
  }
  dialog.filterIndex = ofn.nFilterIndex;
  return WideToUtf8(dialog.path);
}

std::optional<std::string> FileDialogs::ShowOpenDialog() {
  return Show(open_, false);
}

std::optional<std::string> FileDialogs::ShowSaveDialog(const std::string& fileName) {
  // The name alone, so the dialog starts in the folder the system chooses.
  lstrcpynW(save_.path, Utf8ToWide(fileName).c_str(), MAX_PATH);
  return Show(save_, true);
}

}  // namespace vellumo::win32
