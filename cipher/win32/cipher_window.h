// The key dialog window "「鍵」の入力" / "「鍵」の変更": its controls, fonts, placement and DPI
// layout, and the messages that go to TCipherForm's handlers. What it decides (when it is shown,
// the remember box, the empty-key warning) is TCipherForm's; this window shows it and reports
// clicks and close requests.
#pragma once

#include <windows.h>

#include "app/win32/dialog_window.h"
#include "app/win32/dpi.h"
#include "cipher/cipher_form.h"

namespace vellumo::win32 {

class CipherWindow final : public DialogWindow, public ICipherView {
 public:
  // Creates the dialog hidden, owned by owner.
  explicit CipherWindow(HWND owner);
  ~CipherWindow() override;

  void Bind(TCipherForm& form) { form_ = &form; }

  // ICipherView
  SecretText KeyText() const override;
  bool KeyTextEmpty() const override;
  void SetKeyText(TextView keyText) override;
  bool RememberChecked() const override;
  void SetRememberChecked(bool checked) override;
  void SetRememberEnabled(bool enabled) override;
  void SetCaption(const std::string& caption) override;
  void ShowModal() override;
  void RequestClose() override;
  void FocusKeyField() override;

  // Empties the key field's undo buffer as well, so that no copy of an old key stays in it.
  void WipeKeyField();

 private:
  void OnCreate() override;
  void Layout(UINT dpi) override;
  void Place() override;
  void OnShown() override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
  void ButtonClicked(int id);

  TCipherForm* form_ = nullptr;
  HWND label1_ = nullptr;
  HWND label2_ = nullptr;
  HWND edit1_ = nullptr;
  HWND button1_ = nullptr;
  HWND checkBox1_ = nullptr;
  HWND button2_ = nullptr;
  GdiFont font_;
};

}  // namespace vellumo::win32
