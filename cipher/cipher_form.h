// The key dialog's logic (TCipherForm): when the key is asked for, the remember box, the empty-key
// warning, ChangeKey, and the whole-text encryption and decryption that use the key. The window
// itself is a view behind ICipherView; this class decides, the view only shows and asks.
#pragma once

#include <optional>
#include <string>

#include "app/message_box.h"
#include "cipher/key.h"
#include "cipher/key_messages.h"
#include "cipher/text.h"
#include "platform/clock.h"
#include "platform/secret.h"

namespace vellumo {

// What the key dialog window offers its logic: its controls and modal showing.
class ICipherView {
 public:
  virtual ~ICipherView() = default;
  // Edit1: the key text, in code page 932.
  virtual SecretText KeyText() const = 0;
  // Whether Edit1 is empty, without a copy of the key.
  virtual bool KeyTextEmpty() const = 0;
  virtual void SetKeyText(TextView keyText) = 0;
  // CheckBox1: the remember state.
  virtual bool RememberChecked() const = 0;
  virtual void SetRememberChecked(bool checked) = 0;
  virtual void SetRememberEnabled(bool enabled) = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // Shows the dialog modally (running FormShow) and returns once it has closed.
  virtual void ShowModal() = 0;
  // Asks the dialog to close: the view runs FormCloseQuery and closes only when allowed.
  virtual void RequestClose() = 0;
  // Puts the focus into Edit1, selecting its whole text.
  virtual void FocusKeyField() = 0;
};

class TCipherForm {
 public:
  TCipherForm(ICipherView& view, IMessageBoxes& boxes, IClock& clock);
  TCipherForm(const TCipherForm&) = delete;
  TCipherForm& operator=(const TCipherForm&) = delete;

  // Asks for the key unless it is remembered, then derives KeyBytes. False: the user cancelled;
  // KeyBytes are unchanged.
  bool PrepareKey();
  // Lets the user replace the key text and turns remembering on; answers KeyDialogResult.
  bool ChangeKey();

  // Handlers of the dialog, called by its view.
  void FormShow();
  void FormCloseQuery(bool& canClose);
  void Button1Click();
  void Button2Click();

  // Encrypts text into out (which callers pass empty). False only when the key request was
  // cancelled; out is then untouched. Never throws.
  bool EncryptText(TextView text, Text& out);
  // Decrypts text into out, deciding as DecryptUnderKey does. False when the key request was
  // cancelled (out untouched) or when the text does not decode (out emptied, the error box already
  // shown). text may be out's own content, which is then decoded in place.
  bool DecryptText(TextView text, Text& out);
  // Tries the legacy form under the key field's text: true with the text after the marker, or
  // false with out emptied. Shows nothing.
  bool DecryptLegacyText(TextView text, Text& out);

  // How the last showing of the dialog ended.
  bool KeyDialogResult = false;
  // The derived key bytes: one entry per key-text byte, all of one value.
  KeyBytesArray KeyBytes;

 private:
  // The steps before a walk: an empty text is handed back without asking for the key, and a
  // cancelled key request answers false with out untouched. Nothing when the walk is to be made.
  std::optional<bool> AskKeyFor(TextView text, Text& out);
  // Empties the key field after use unless the key is remembered.
  void ForgetUnrememberedKey();

  ICipherView& view_;
  IMessageBoxes& boxes_;
  IClock& clock_;
};

}  // namespace vellumo
