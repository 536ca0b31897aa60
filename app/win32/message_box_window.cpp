#include "app/win32/message_box_window.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "app/win32/application.h"
#include "app/win32/dialog_window.h"
#include "app/win32/dpi.h"
#include "platform/win32/unicode.h"

namespace vellumo::win32 {
namespace {

constexpr int kFirstButtonId = 1000;

// Measures at 96 DPI; the box is scaled to the DPI of the monitor it is shown on.
constexpr int kMargin = 12;
constexpr int kIconTextGap = 12;
constexpr int kTextButtonsGap = 14;
constexpr int kButtonGap = 6;
constexpr int kButtonMinWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonTextMargin = 12;

constexpr int kIconSize = 32;

class MessageBoxWindow final : public DialogWindow {
 public:
  MessageBoxWindow(const std::string& text, MessageKind kind, MessageButtons buttons)
      : text_(Utf8ToWide(text)),
        kind_(kind),
        buttons_(ButtonsShown(buttons)),
        defaultButton_(DefaultButton(buttons)),
        cancelButton_(CancelButton(buttons)) {}
  ~MessageBoxWindow() override { SetIconImage(nullptr); }

  int Show(HWND owner) {
    owner_ = owner;
    Create(owner);
    RunModal();
    Destroy();
    return result_;
  }

 private:
  static int IdOf(MessageButton b) { return kFirstButtonId + static_cast<int>(b); }

  void OnCreate() override {
    SetWindowTextW(Handle(), Utf8ToWide(KindCaption(kind_)).c_str());
    if (KindIconId(kind_)) icon_ = AddControl(L"STATIC", nullptr, SS_ICON | SS_REALSIZEIMAGE, -1);
    label_ = AddControl(L"STATIC", text_.c_str(), SS_LEFT | SS_NOPREFIX, -1);
    for (const auto b : buttons_) {
      const bool isDefault = defaultButton_ == b;
      AddControl(L"BUTTON", Utf8ToWide(ButtonInfo(b).caption).c_str(),
                 WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), IdOf(b));
    }
    if (defaultButton_)
      SendMessageW(Handle(), DM_SETDEFID, static_cast<WPARAM>(IdOf(*defaultButton_)), 0);
  }

  void Place() override { CenterOnActiveMonitor(Handle(), owner_); }

  void OnShown() override {
    // The focus starts on the default button, or on the first one.
    std::optional<MessageButton> first = defaultButton_;
    if (!first && !buttons_.empty()) first = buttons_.front();
    if (first) {
      SendMessageW(Handle(), WM_NEXTDLGCTL,
                   reinterpret_cast<WPARAM>(GetDlgItem(Handle(), IdOf(*first))), TRUE);
    }
  }

  struct Measures {
    SIZE text;          // word-wrapped, at most half the screen wide
    int widestCaption;  // of the buttons
  };
  // What the text and the buttons' captions take in the box's font.
  Measures Measure() const {
    const RECT monitor = ActiveMonitorRect(Application::Instance().MainWindow());
    HDC dc = GetDC(Handle());
    HGDIOBJ oldFont = SelectObject(dc, font_.Get());
    RECT textRect{0, 0, (monitor.right - monitor.left) / 2, 0};
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &textRect,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    int widestCaption = 0;
    for (const auto b : buttons_) {
      const std::wstring caption = Utf8ToWide(ButtonInfo(b).caption);
      RECT r{};
      DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
                DT_CALCRECT | DT_SINGLELINE);
      widestCaption = std::max<int>(widestCaption, r.right - r.left);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(Handle(), dc);
    return {{textRect.right - textRect.left, textRect.bottom - textRect.top}, widestCaption};
  }

  // Sizes the font, the icon, the text block and the buttons for dpi, and the box around them.
  void Layout(UINT dpi) override {
    font_.Reset(CreateMessageFont(dpi));
    const int iconSize = icon_ ? Scale(kIconSize, dpi) : 0;
    if (icon_) {
      SetIconImage(static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(KindIconId(kind_)),
                                                 IMAGE_ICON, iconSize, iconSize, 0)));
    }

    const Measures measures = Measure();
    const int margin = Scale(kMargin, dpi);
    const int textLeft = margin + (iconSize ? iconSize + Scale(kIconTextGap, dpi) : 0);
    const int textWidth = measures.text.cx;
    const int textHeight = measures.text.cy;
    const int contentHeight = std::max(iconSize, textHeight);
    SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    MoveWindow(label_, textLeft, margin + (contentHeight - textHeight) / 2, textWidth, textHeight,
               TRUE);
    if (icon_) MoveWindow(icon_, margin, margin, iconSize, iconSize, TRUE);

    const int buttonWidth = std::max(Scale(kButtonMinWidth, dpi),
                                     measures.widestCaption + 2 * Scale(kButtonTextMargin, dpi));
    const int buttonHeight = Scale(kButtonHeight, dpi);
    const int gap = Scale(kButtonGap, dpi);
    const int count = static_cast<int>(buttons_.size());
    const int rowWidth = count * buttonWidth + std::max(0, count - 1) * gap;
    const int clientWidth = std::max(textLeft + textWidth + margin, rowWidth + 2 * margin);
    const int rowTop = margin + contentHeight + Scale(kTextButtonsGap, dpi);
    int left = (clientWidth - rowWidth) / 2;
    for (const auto b : buttons_) {
      HWND button = GetDlgItem(Handle(), IdOf(b));
      SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
      MoveWindow(button, left, rowTop, buttonWidth, buttonHeight, TRUE);
      left += buttonWidth + gap;
    }
    SetClientSize(clientWidth, rowTop + buttonHeight + margin, dpi);
  }

  // Shows image in the icon control, which does not own it, and frees the one shown before.
  void SetIconImage(HICON image) {
    if (icon_ && IsWindow(icon_))
      SendMessageW(icon_, STM_SETICON, reinterpret_cast<WPARAM>(image), 0);
    if (iconImage_) DestroyIcon(iconImage_);
    iconImage_ = image;
  }

  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM, bool& handled) override {
    switch (message) {
      case WM_COMMAND: {
        handled = true;
        const int id = LOWORD(wParam);
        if (id == IDCANCEL) {  // Escape
          if (cancelButton_) Finish(ButtonInfo(*cancelButton_).result);
          return 0;
        }
        for (const auto b : buttons_) {
          if (IdOf(b) != id) continue;
          // Help shows help for the box's context and leaves the box open; the program has no
          // help file, so it does nothing more.
          if (b != MessageButton::Help) Finish(ButtonInfo(b).result);
        }
        return 0;
      }
      case WM_CLOSE:  // the close box and Alt+F4 answer as Cancel does
        handled = true;
        Finish(kResultCancel);
        return 0;
      default:
        return 0;
    }
  }

  void Finish(int result) {
    result_ = result;
    EndModal();
  }

  std::wstring text_;
  MessageKind kind_;
  std::vector<MessageButton> buttons_;
  std::optional<MessageButton> defaultButton_;
  std::optional<MessageButton> cancelButton_;
  GdiFont font_;
  HWND icon_ = nullptr;
  HICON iconImage_ = nullptr;
  HWND label_ = nullptr;
  HWND owner_ = nullptr;
  int result_ = kResultCancel;
};

}  // namespace

int MessageBoxes::ShowMessageBox(const std::string& text, MessageKind kind, MessageButtons buttons,
                                 int /*helpContext*/) {
  MessageBoxWindow box(text, kind, buttons);
  HWND owner = GetActiveWindow();
  if (!owner) owner = Application::Instance().MainWindow();
  return box.Show(owner);
}

}  // namespace vellumo::win32
