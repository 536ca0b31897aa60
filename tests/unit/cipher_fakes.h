// Fakes for the cipher's ports: scripted message boxes and a scripted key dialog (the fixed clock
// is tests/common's).
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/message_box.h"
#include "cipher/cipher_form.h"
#include "platform/clock.h"
#include "tests/common/fixed_clock.h"

namespace vellumo::testing {

// Records every box and answers from a queue (kResultOk when the queue is empty).
class ScriptedBoxes final : public IMessageBoxes {
 public:
  struct Shown {
    std::string text;
    MessageKind kind;
    MessageButtons buttons;
  };
  std::vector<Shown> shown;
  std::deque<int> answers;

  int ShowMessageBox(const std::string& text, MessageKind kind, MessageButtons buttons,
                     int /*helpContext*/) override {
    shown.push_back({text, kind, buttons});
    if (answers.empty()) return kResultOk;
    const int a = answers.front();
    answers.pop_front();
    return a;
  }
};

// A key dialog whose user follows one script per showing. A script must leave the dialog closed.
class ScriptedCipherView final : public ICipherView {
 public:
  using Script = std::function<void(ScriptedCipherView&)>;

  TCipherForm* form = nullptr;
  Text key;
  bool remember = false;
  bool rememberEnabled = true;
  std::string caption = kAskKeyCaption;
  bool open = false;
  int focusCount = 0;
  std::vector<std::string> captionsShown;
  std::vector<Text> fieldAtShow;
  std::vector<bool> rememberEnabledAtShow;
  std::deque<Script> scripts;

  // How many copies of the key the form took: each one is a copy it has to wipe.
  mutable int keyTextCopies = 0;
  SecretText KeyText() const override {
    ++keyTextCopies;
    return SecretText(key);
  }
  bool KeyTextEmpty() const override { return key.empty(); }
  void SetKeyText(TextView k) override { key.assign(k); }
  bool RememberChecked() const override { return remember; }
  void SetRememberChecked(bool c) override { remember = c; }
  void SetRememberEnabled(bool e) override { rememberEnabled = e; }
  void SetCaption(const std::string& c) override { caption = c; }
  void FocusKeyField() override { ++focusCount; }

  void ShowModal() override {
    captionsShown.push_back(caption);
    fieldAtShow.push_back(key);
    rememberEnabledAtShow.push_back(rememberEnabled);
    open = true;
    form->FormShow();
    if (scripts.empty()) {
      ADD_FAILURE() << "the key dialog was shown without a script for it";
      open = false;
      return;
    }
    Script script = std::move(scripts.front());
    scripts.pop_front();
    script(*this);
    EXPECT_FALSE(open) << "the script left the key dialog open";
    open = false;
  }

  void RequestClose() override {
    bool canClose = true;
    form->FormCloseQuery(canClose);
    if (canClose) open = false;
  }

  // What a user does in the dialog.
  void Type(TextView k) { key.assign(k); }
  void CheckRemember() {
    if (rememberEnabled) remember = true;
  }
  void ClickOK() { form->Button1Click(); }
  void ClickCancel() { form->Button2Click(); }
  void CloseBox() { RequestClose(); }
};

// Scripts for the common answers.
inline ScriptedCipherView::Script EnterKey(Text k) {
  return [k](ScriptedCipherView& v) {
    v.Type(k);
    v.ClickOK();
  };
}
inline ScriptedCipherView::Script CancelDialog() {
  return [](ScriptedCipherView& v) { v.ClickCancel(); };
}

// A TCipherForm wired to the fakes.
struct CipherRig {
  FixedClock clock;
  ScriptedBoxes boxes;
  ScriptedCipherView view;
  TCipherForm form{view, boxes, clock};
  CipherRig() { view.form = &form; }
};

// The encoded form the cipher writes for text under a remembered key, and the text an encoded
// text decrypts to.
inline Text Encrypted(TextView text, TextView key) {
  CipherRig rig;
  rig.view.remember = true;
  rig.view.key.assign(key);
  Text out;
  EXPECT_TRUE(rig.form.EncryptText(text, out));
  return out;
}

inline Text Decrypted(TextView encoded, TextView key) {
  CipherRig rig;
  rig.view.remember = true;
  rig.view.key.assign(key);
  Text out;
  EXPECT_TRUE(rig.form.DecryptText(encoded, out));
  return out;
}

}  // namespace vellumo::testing
