// The file dialog port (OpenDialog, SaveDialog) and what both dialogs are set up with.
#pragma once

#include <optional>
#include <string>

namespace vellumo {

// Pairs of description and pattern separated by "|"; the platform wants them separated by zero
// bytes. The blanks are ideographic spaces and the parentheses full-width.
inline constexpr const char* kFileFilter =
    "暗号化テキストファイル　（*.qzv）|*.qzv|テキストファイル　（*.txt）|*.txt|"
    "すべてのファイル　（*.*）|*.*";
// The save dialog's default extension; the open dialog has none.
inline constexpr const char* kSaveDefaultExtension = "qzv";
// Both dialogs start at this filter entry (counted from 1).
inline constexpr int kInitialFilterIndex = 1;

class IFileDialogs {
 public:
  virtual ~IFileDialogs() = default;
  // Shows the open dialog, which keeps its last confirmed path and filter entry. Answers the
  // chosen path (UTF-8, the file need not exist), or nothing when cancelled.
  virtual std::optional<std::string> ShowOpenDialog() = 0;
  // Shows the save dialog with fileName (a name without folder) preset; it asks before an
  // existing file is replaced. Answers the chosen path, or nothing when cancelled.
  virtual std::optional<std::string> ShowSaveDialog(const std::string& fileName) = 0;
};

}  // namespace vellumo
