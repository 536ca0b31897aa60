#include "editor/win32/about_window.h"

#include "app/win32/application.h"
#include "resources/resource_ids.h"

namespace vellumo::win32 {
namespace {

constexpr int kClientWidth = 219;
constexpr int kClientHeight = 156;
constexpr int kLeft = 286;
constexpr int kTop = 178;

constexpr DesignRect kImage1{12, 12, 195, 78};
constexpr DesignRect kLabel1{156, 96, 49, 15};
constexpr DesignRect kButton1{132, 124, 77, 21};

}  // namespace

AboutWindow::AboutWindow(HWND owner) {
  Create(owner);
}

AboutWindow::~AboutWindow() {
  if (logo_) DeleteObject(logo_);
}

void AboutWindow::OnCreate() {
  SetWindowTextW(Handle(), L"Vellumo のバージョン情報");
  // The picture stretches to its box, which is the logo's own size scaled by DPI.
  image1_ = AddControl(L"STATIC", nullptr, SS_BITMAP | SS_REALSIZECONTROL, -1);
  logo_ = static_cast<HBITMAP>(LoadImageW(Application::Instance().InstanceHandle(),
                                          MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, 0));
  SendMessageW(image1_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo_));
  label1_ = AddControl(L"STATIC", L"Ver. 0.2", SS_LEFTNOWORDWRAP | SS_NOPREFIX, -1);
  button1_ = AddControl(L"BUTTON", L"O.K.", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
  SendMessageW(Handle(), DM_SETDEFID, IDOK, 0);
  Layout(DpiOf(Handle()));
}

void AboutWindow::Layout(UINT dpi) {
  labelFont_.Reset(CreateGothicFont(15, dpi));
  buttonFont_.Reset(CreateGothicFont(12, dpi));
  SendMessageW(label1_, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_.Get()), TRUE);
  SendMessageW(button1_, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_.Get()), TRUE);
  PlaceControl(image1_, kImage1, dpi);
  PlaceControl(label1_, kLabel1, dpi);
  FitWidthToText(label1_, labelFont_.Get());
  PlaceControl(button1_, kButton1, dpi);
  SetClientSize(Scale(kClientWidth, dpi), Scale(kClientHeight, dpi), dpi);
}

void AboutWindow::Place() {
  PlaceAtDesignPosition(Handle(), kLeft, kTop, Application::Instance().MainWindow());
}

void AboutWindow::OnShown() {
  SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button1_), TRUE);
}

void AboutWindow::ShowModal() {
  RunModal();
}

INT_PTR AboutWindow::OnMessage(UINT message, WPARAM wParam, LPARAM, bool& handled) {
  switch (message) {
    case WM_COMMAND:
      handled = true;
      if (LOWORD(wParam) == IDOK) EndModal();  // Button1Click; Escape (IDCANCEL) does nothing
      return 0;
    case WM_CLOSE:  // the close box and Alt+F4
      handled = true;
      EndModal();
      return 0;
    default:
      return 0;
  }
}

}  // namespace vellumo::win32
