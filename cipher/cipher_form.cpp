#include "cipher/cipher_form.h"

#include "cipher/codec.h"
#include "cipher/decryption.h"

namespace vellumo {

TCipherForm::TCipherForm(ICipherView& view, IMessageBoxes& boxes, IClock& clock)
    : view_(view), boxes_(boxes), clock_(clock) {}

bool TCipherForm::PrepareKey() {
  if (!view_.RememberChecked()) {
    view_.SetKeyText({});
    view_.SetCaption(kAskKeyCaption);
    KeyDialogResult = false;
    view_.ShowModal();
    if (!KeyDialogResult) return false;
  }
  DeriveKeyBytes(view_.KeyText(), KeyBytes);
  return true;
}

bool TCipherForm::ChangeKey() {
  const SecretText oldKey = view_.KeyText();
  const bool oldRemember = view_.RememberChecked();
  // A key that was not being remembered is never shown again.
  if (!oldRemember) view_.SetKeyText({});
  view_.SetRememberChecked(true);
  view_.SetRememberEnabled(false);
  view_.SetCaption(kChangeKeyCaption);
  KeyDialogResult = false;
  view_.ShowModal();
  if (!KeyDialogResult) {
    view_.SetKeyText(oldKey);
    view_.SetRememberChecked(oldRemember);
  }
  view_.SetRememberEnabled(true);
  return KeyDialogResult;
}

void TCipherForm::FormShow() {
  view_.FocusKeyField();
}

void TCipherForm::FormCloseQuery(bool& canClose) {
  if (!KeyDialogResult || !view_.KeyTextEmpty()) return;
  const int answer = boxes_.ShowMessageBox(kEmptyKeyWarning, MessageKind::Warning, kOkCancel, 0);
  if (answer == kResultCancel) {
    canClose = false;
    view_.FocusKeyField();
  }
}

void TCipherForm::Button1Click() {
  KeyDialogResult = true;
  view_.RequestClose();
}

void TCipherForm::Button2Click() {
  KeyDialogResult = false;
  view_.RequestClose();
}

void TCipherForm::ForgetUnrememberedKey() {
  // A key that is not remembered is asked for again (with an empty field) before its next use,
  // so the field need not keep it meanwhile.
  if (!view_.RememberChecked()) view_.SetKeyText({});
}

std::optional<bool> TCipherForm::AskKeyFor(TextView text, Text& out) {
  if (!NeedsKey(text)) {
    out.clear();
    return true;
  }
  if (PrepareKey()) return std::nullopt;
  ForgetUnrememberedKey();
  return false;
}

bool TCipherForm::EncryptText(TextView text, Text& out) {
  if (const auto answer = AskKeyFor(text, out)) return *answer;
  ForgetUnrememberedKey();
  if (KeyBytes.empty()) {
    out.assign(text);
    return true;
  }
  const std::uint32_t seed = clock_.MillisecondsSinceMidnightUtc();
  out.clear();
  // Every entry of KeyBytes holds the same value, so the walk XORs with that one byte.
  EncodeText(text, KeyBytes.front(), seed, out);
  return true;
}

bool TCipherForm::DecryptLegacyText(TextView text, Text& out) {
  return DecodeLegacyText(text, view_.KeyText(), out);
}

bool TCipherForm::DecryptText(TextView text, Text& out) {
  if (const auto answer = AskKeyFor(text, out)) return *answer;
  // The legacy form is read under the key field's text, taken before the field forgets it.
  const SecretText keyText = KeyBytes.empty() ? SecretText() : view_.KeyText();
  ForgetUnrememberedKey();
  if (DecryptUnderKey(text, keyText, KeyBytes, out) != DecryptOutcome::Failed) return true;
  boxes_.ShowMessageBox(kDecryptFailedMessage, MessageKind::Error, kOkOnly, 0);
  return false;
}

}  // namespace vellumo
