// The application object: its own window (the task-bar entry, titled with the application
// title), the message loops with their hooks, modal showing, and minimizing the application.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/win32/window_base.h"

namespace vellumo::win32 {

class Application final : public WindowBase {
 public:
  static Application& Instance();

  // Registers the application window's class and creates it, titled title.
  void Initialize(HINSTANCE instance, const std::wstring& title);
  HINSTANCE InstanceHandle() const { return instance_; }
  // Handle(): the application's own window, the task-bar entry and the owner of failure boxes.
  const std::wstring& Title() const { return title_; }

  void SetMainWindow(HWND window) { mainWindow_ = window; }
  HWND MainWindow() const { return mainWindow_; }

  // Shows the main window as the process's start-up show command asks: maximized, minimized
  // (the application minimized, no window shown) or normally.
  void ShowMainWindow(int showCommand);

  // Called for every message taken from the queue before it is dispatched; answering true
  // consumes it. The main window routes its shortcuts and hint events through this.
  using MessageHook = std::function<bool(const MSG&)>;
  void SetMessageHook(MessageHook hook) { messageHook_ = std::move(hook); }
  // Called each time all waiting messages have been handled, before the loop waits.
  using IdleHook = std::function<void()>;
  void SetIdleHook(IdleHook hook) { idleHook_ = std::move(hook); }

  // The main message loop; answers the exit code of WM_QUIT.
  int Run();

  // Shows window modally: every other window of the program is disabled, messages are handled
  // (with dialog navigation for window) until closed becomes true, then the window is hidden,
  // the others are enabled again and the window that was active before is activated again.
  // onShown runs once the window is shown and active (to put the focus in it).
  void ShowModal(HWND window, const bool& closed, const std::function<void()>& onShown = {});

  // Disables every enabled top-level window of the program except keep, the application
  // window included (so that Close on the task bar cannot end a command half-way); answers them.
  std::vector<HWND> DisableWindows(HWND keep);
  static void EnableWindows(const std::vector<HWND>& windows);

  void Minimize();
  void Restore();

  // Keeps the program's other windows disabled while the system shows a modal window (the failure
  // box, a file dialog), which disables only its owner and enables it again before it goes, so
  // that the activation returns there; afterwards enables them again and activates the window
  // that was active before.
  class SystemModal {
   public:
    explicit SystemModal(HWND owner);
    ~SystemModal();
    SystemModal(const SystemModal&) = delete;
    SystemModal& operator=(const SystemModal&) = delete;

   private:
    HWND previous_;
    std::vector<HWND> disabled_;
  };

 private:
  Application() = default;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The window that should hold the activation: the modal window that is up, else the main one.
  HWND ActivationTarget() const;
  // Asks the main window to close, unless a modal window is up: that one comes forward instead.
  void RequestClose();
  // Handles messages until done answers true; false when WM_QUIT arrived (it is posted again).
  bool Pump(const std::function<bool()>& done, HWND dialog);
  void Process(MSG& msg, HWND dialog);

  HINSTANCE instance_ = nullptr;
  HWND mainWindow_ = nullptr;
  std::wstring title_;
  MessageHook messageHook_;
  IdleHook idleHook_;
  int exitCode_ = 0;
  bool quitting_ = false;
  bool restoring_ = false;
};

}  // namespace vellumo::win32
