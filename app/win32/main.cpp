// The program's entry point: creates the main window, the key dialog and the About box in that
// order, shows the main window as the process was asked to, and runs the message loop until the
// main window closes.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include "app/app_title.h"
#include "app/win32/application.h"
#include "app/win32/message_box_window.h"
#include "app/win32/startup.h"
#include "cipher/cipher_form.h"
#include "cipher/win32/cipher_window.h"
#include "editor/hints.h"
#include "editor/main_form.h"
#include "editor/win32/about_window.h"
#include "editor/win32/clipboard_win32.h"
#include "editor/win32/file_dialogs_win32.h"
#include "editor/win32/main_window.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/win32/unicode.h"

namespace {

// OLE on the program's one thread, for files dragged onto the main window; ends after every
// window is gone.
struct OleSession {
  const HRESULT result = OleInitialize(nullptr);
  OleSession() = default;
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;
  ~OleSession() {
    if (SUCCEEDED(result)) OleUninitialize();
  }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace vellumo;
  using namespace vellumo::win32;

  const OleSession ole;

  INITCOMMONCONTROLSEX controls{sizeof(controls),
                                ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  Application& app = Application::Instance();
  app.Initialize(instance, Utf8ToWide(kAppTitle));
  MessageBoxes boxes;

  MainWindow mainWindow;
  CipherWindow cipherWindow(mainWindow.Handle());
  TCipherForm cipherForm(cipherWindow, boxes, SystemClock());
  cipherWindow.Bind(cipherForm);
  AboutWindow aboutWindow(mainWindow.Handle());

  FileDialogs dialogs(mainWindow.Handle());
  Clipboard clipboard;
  HintState hints;
  TMainForm mainForm(MainFormPorts{mainWindow, mainWindow.Memo1(), dialogs, clipboard, aboutWindow,
                                   cipherForm, boxes, hints, SystemFileSystem(), SystemClock(),
                                   CommandLineUtf8()});
  mainWindow.Bind(mainForm, hints);

  app.ShowMainWindow(StartupShowCommand());
  // The key field is wiped when its dialog is destroyed with the main window.
  return app.Run();
}
