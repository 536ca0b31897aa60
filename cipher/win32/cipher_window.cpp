#include "cipher/win32/cipher_window.h"

#include <string>

#include "app/win32/application.h"
#include "platform/cp932.h"
#include "platform/secret.h"
#include "platform/win32/unicode.h"

namespace vellumo::win32 {
namespace {

constexpr int kButton2Id = 102;  // not IDCANCEL: Escape must not press "キャンセル"
constexpr int kEdit1Id = 100;
constexpr int kCheckBox1Id = 101;

constexpr int kClientWidth = 370;
constexpr int kClientHeight = 143;
constexpr int kLeft = 191;
constexpr int kTop = 125;
constexpr int kFontHeight = 12;

constexpr DesignRect kLabel1{16, 12, 341, 29};
constexpr DesignRect kLabel2{20, 52, 26, 12};
constexpr DesignRect kEdit1{52, 48, 301, 20};
constexpr DesignRect kButton1{192, 112, 77, 21};
constexpr DesignRect kCheckBox1{52, 80, 301, 17};
constexpr DesignRect kButton2{276, 112, 77, 21};

}  // namespace

CipherWindow::CipherWindow(HWND owner) {
  Create(owner);
}

CipherWindow::~CipherWindow() {
  WipeKeyField();
}

void CipherWindow::OnCreate() {
  SetWindowTextW(Handle(), Utf8ToWide(kAskKeyCaption).c_str());
  // Created in tab order: the labels take no focus; Edit1, Button1, CheckBox1, Button2.
  label1_ = AddControl(
      L"STATIC",
      L" テキストの暗号化、または暗号化されたテキストの解読時に必要な「鍵」を入力して下さい。",
      SS_LEFT | SS_NOPREFIX, -1);
  label2_ = AddControl(L"STATIC", L"鍵\u3000\uff1a", SS_LEFTNOWORDWRAP | SS_NOPREFIX, -1);
  edit1_ =
      AddControl(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, kEdit1Id, WS_EX_CLIENTEDGE);
  // Any key of any length: without this the field stops taking typed or pasted text at the
  // system's default limit, and a longer key would be cut silently into another one.
  SendMessageW(edit1_, EM_LIMITTEXT, 0, 0);
  button1_ = AddControl(L"BUTTON", L"O.K.", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
  checkBox1_ = AddControl(L"BUTTON", L"鍵を保存する （このプログラムが起動している間のみ）",
                          WS_TABSTOP | BS_AUTOCHECKBOX, kCheckBox1Id);
  button2_ = AddControl(L"BUTTON", L"キャンセル", WS_TABSTOP | BS_PUSHBUTTON, kButton2Id);
  SendMessageW(Handle(), DM_SETDEFID, IDOK, 0);
  Layout(DpiOf(Handle()));
}

void CipherWindow::Layout(UINT dpi) {
  font_.Reset(CreateGothicFont(kFontHeight, dpi));
  for (HWND control : {label1_, label2_, edit1_, button1_, checkBox1_, button2_}) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
  }
  PlaceControl(label1_, kLabel1, dpi);
  // The label is as wide as its text, as the designed face draws it in its box; a stand-in face
  // may draw it wider, and it must not be cut.
  PlaceControl(label2_, kLabel2, dpi);
  FitWidthToText(label2_, font_.Get());
  PlaceControl(edit1_, kEdit1, dpi);
  PlaceControl(button1_, kButton1, dpi);
  PlaceControl(checkBox1_, kCheckBox1, dpi);
  PlaceControl(button2_, kButton2, dpi);
  SetClientSize(Scale(kClientWidth, dpi), Scale(kClientHeight, dpi), dpi);
}

void CipherWindow::Place() {
  PlaceAtDesignPosition(Handle(), kLeft, kTop, Application::Instance().MainWindow());
  // "O.K." is the default button again at every showing, whichever button had the focus last.
  SendMessageW(Handle(), DM_SETDEFID, IDOK, 0);
}

void CipherWindow::OnShown() {
  if (form_) form_->FormShow();
}

INT_PTR CipherWindow::OnMessage(UINT message, WPARAM wParam, LPARAM, bool& handled) {
  switch (message) {
    case WM_COMMAND:
      handled =
          LOWORD(wParam) == IDOK || LOWORD(wParam) == kButton2Id || LOWORD(wParam) == IDCANCEL;
      if (handled) ButtonClicked(LOWORD(wParam));
      return 0;
    case WM_CLOSE:  // the close box and Alt+F4
      handled = true;
      RequestClose();
      return 0;
    case WM_DESTROY:
      // The dialog goes with the main window at exit; its controls still exist here.
      WipeKeyField();
      return 0;
    default:
      return 0;
  }
}

void CipherWindow::ButtonClicked(int id) {
  if (!form_) return;
  if (id == IDOK) form_->Button1Click();
  if (id == kButton2Id) form_->Button2Click();
  // IDCANCEL is Escape: no button is bound to it.
}

bool CipherWindow::KeyTextEmpty() const {
  return GetWindowTextLengthW(edit1_) == 0;
}

SecretText CipherWindow::KeyText() const {
  const int length = GetWindowTextLengthW(edit1_);
  BasicSecret<char16_t> wide;
  wide.Fill(static_cast<std::size_t>(length) + 1,
            [&](char16_t* out) { return GetWindowTextW(edit1_, AsWide(out), length + 1); });
  // A character without a code page 932 form becomes "?" in the key, as it always has: keys of
  // existing files depend on it.
  SecretText key;
  key.Fill(2 * wide.size(), [&](char* out) {
    std::size_t firstLost = kAllConverted;
    return Utf16ToCp932(wide, out, firstLost);
  });
  return key;
}

void CipherWindow::SetKeyText(TextView keyText) {
  BasicSecret<char16_t> wide;
  wide.Fill(keyText.size() + 1, [&](char16_t* out) {
    const std::size_t length = Cp932ToUtf16(keyText, out);
    out[length] = u'\0';
    return length + 1;
  });
  SetWindowTextW(edit1_, AsWide(wide.data()));
}

void CipherWindow::WipeKeyField() {
  if (!edit1_ || !IsWindow(edit1_)) return;
  const int length = GetWindowTextLengthW(edit1_);
  if (length > 0) {
    // Overwrite the control's own buffer before emptying it.
    const std::wstring blanks(static_cast<std::size_t>(length), L' ');
    SetWindowTextW(edit1_, blanks.c_str());
  }
  SetWindowTextW(edit1_, L"");
  SendMessageW(edit1_, EM_EMPTYUNDOBUFFER, 0, 0);
}

bool CipherWindow::RememberChecked() const {
  return SendMessageW(checkBox1_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CipherWindow::SetRememberChecked(bool checked) {
  SendMessageW(checkBox1_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CipherWindow::SetRememberEnabled(bool enabled) {
  EnableWindow(checkBox1_, enabled);
}

void CipherWindow::SetCaption(const std::string& caption) {
  SetWindowTextW(Handle(), Utf8ToWide(caption).c_str());
}

void CipherWindow::ShowModal() {
  RunModal();
}

void CipherWindow::RequestClose() {
  bool canClose = true;
  if (form_) form_->FormCloseQuery(canClose);
  if (canClose) EndModal();
}

void CipherWindow::FocusKeyField() {
  // Through the dialog manager, which selects the whole text of an edit field it moves to.
  SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit1_), TRUE);
}

}  // namespace vellumo::win32
