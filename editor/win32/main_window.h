// The main window TMainForm: frame, menu bar, tool bar, edit area and status line, and the
// routing of its commands, keys and hints to the portable TMainForm.
#pragma once

#include <windows.h>

#include <functional>

namespace vellumo::win32 {

class MainWindow {
 public:
  MainWindow();
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND Handle() const { return hwnd_; }

  // Runs once, at the window's first activation, before any queued input.
  void SetFormActivate(std::function<void()> handler) { formActivate_ = std::move(handler); }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  std::function<void()> formActivate_;
  bool activated_ = false;
};

}  // namespace vellumo::win32
