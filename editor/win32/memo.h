// Memo1: the multi-line EDIT control that holds the document, seen by the commands as code page
// 932 text.
#pragma once

#include <windows.h>

#include <memory>

#include "app/win32/dpi.h"
#include "editor/edit_area.h"

namespace vellumo::win32 {

class Memo final : public IEditArea {
 public:
  explicit Memo(HWND parent);
  HWND Handle() const { return hwnd_; }
  void SetDpi(UINT dpi);

  Text GetText(std::optional<UnmappableCharacter>* unmappable = nullptr) override;
  void SetText(TextView text) override;
  Text GetSelectedText(std::optional<UnmappableCharacter>* unmappable = nullptr) override;
  void ReplaceSelection(TextView text) override;
  void Undo() override;
  void Cut() override;
  void Copy() override;
  void Paste() override;
  void SelectAll() override;

 private:
  std::u16string WideText() const;
  static std::unique_ptr<char16_t[]> ToUtf16(TextView text);
  // The code page 932 form of whole[start, end), and the first character in it that has none.
  static Text ToCp932(std::u16string_view whole, std::size_t start, std::size_t end,
                      std::optional<UnmappableCharacter>* unmappable);

  HWND hwnd_ = nullptr;
  GdiFont font_;
};

}  // namespace vellumo::win32
