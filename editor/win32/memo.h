// Memo1: the multi-line EDIT control that holds the document, seen by the commands as code page
// 932 text.
#pragma once

#include <windows.h>

#include "app/win32/dpi.h"
#include "editor/edit_area.h"

namespace vellumo::win32 {

class Memo final : public IEditArea {
 public:
  explicit Memo(HWND parent);
  HWND Handle() const { return hwnd_; }
  void SetDpi(UINT dpi);

  Text GetText() override;
  void SetText(TextView text) override;
  Text GetSelectedText() override;
  void ReplaceSelection(TextView text) override;
  void Undo() override;
  void Cut() override;
  void Copy() override;
  void Paste() override;
  void SelectAll() override;

 private:
  std::wstring WideText() const;

  HWND hwnd_ = nullptr;
  GdiFont font_;
};

}  // namespace vellumo::win32
