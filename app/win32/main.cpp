// The program's entry point: creates the three windows in their order, shows the main window as
// the process was asked to, and runs the message loop until the main window closes.
#include <commctrl.h>
#include <windows.h>

#include "app/app_title.h"
#include "app/win32/application.h"
#include "app/win32/message_box_window.h"
#include "app/win32/startup.h"
#include "cipher/cipher_form.h"
#include "cipher/win32/cipher_window.h"
#include "editor/win32/main_window.h"
#include "platform/clock.h"
#include "platform/win32/unicode.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace vellumo;
  using namespace vellumo::win32;

  INITCOMMONCONTROLSEX controls{sizeof(controls),
                                ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  Application& app = Application::Instance();
  app.Initialize(instance, Utf8ToWide(kAppTitle));
  MessageBoxes boxes;

  MainWindow mainForm;
  CipherWindow cipherWindow(mainForm.Handle());
  TCipherForm cipherForm(cipherWindow, boxes, SystemClock());
  cipherWindow.Bind(cipherForm);

  app.ShowMainWindow(StartupShowCommand());
  const int code = app.Run();
  cipherWindow.WipeKeyField();
  return code;
}
