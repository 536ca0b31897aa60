// The main window TMainForm: frame, menu bar, tool bar, edit area and status line; the routing of
// its commands and shortcuts to the portable TMainForm; the status-line hints and the tool bar's
// tooltips; files dropped on it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/win32/dpi.h"
#include "editor/commands.h"
#include "editor/hints.h"
#include "editor/main_form.h"
#include "editor/main_window_port.h"
#include "editor/tooltip.h"
#include "editor/win32/drop_target.h"
#include "editor/win32/memo.h"
#include "editor/win32/speed_bar.h"
#include "editor/win32/tooltip_window.h"

namespace vellumo::win32 {

class MainWindow final : public IMainWindow {
 public:
  // Creates the window hidden, captioned "MainForm", with its edit area, tool bar and status line.
  MainWindow();
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND Handle() const { return hwnd_; }
  Memo& Memo1() { return *memo_; }

  // Connects the commands: the menu bar, the tool bar, the shortcuts, the hints and files dropped
  // on the window now run form's handlers. Runs the form's creation handler.
  void Bind(TMainForm& form, HintState& hints);

  // IMainWindow
  void SetCaption(const std::string& caption) override;
  void SetStatusText(const std::string& text) override;
  void Close() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void BuildMenu();
  void Layout();
  void ApplyDpi(UINT dpi);
  void Run(const CommandItem& item, const void* sender);

  // Seen before dispatch: shortcuts first, Tab in the edit area, tooltip events.
  bool PreTranslate(const MSG& msg);
  // The idle rule for the status line.
  void Idle();
  // The tool bar control under the pointer that has tooltips on (a button or the bar), if any.
  std::optional<ControlId> HintControlAt(POINT screen) const;
  // The hints from the control under the pointer outward; empty when none of the program's
  // controls is under it.
  std::vector<std::string_view> HintChainAt(POINT screen) const;
  // Carries out what the tooltip tracker answered; pointer is the place of the mouse move being
  // handled, when there is one.
  void Act(const TooltipAction& action, std::optional<POINT> pointer = std::nullopt);
  void ShowTimerFired(std::optional<POINT> pointer = std::nullopt);
  // Opens what was dropped, once the drop has returned to the program that dragged it.
  void OpenDroppedFiles();

  HWND hwnd_ = nullptr;
  HMENU menu_ = nullptr;
  std::unique_ptr<Memo> memo_;
  std::unique_ptr<SpeedBar> speedBar_;
  HWND statusLine_ = nullptr;
  TooltipWindow tooltip_;
  TooltipTracker tracker_;
  std::unique_ptr<DropTarget> dropTarget_;
  std::vector<std::string> droppedFiles_;  // paths of the last drop, not yet opened
  TMainForm* form_ = nullptr;
  HintState* hints_ = nullptr;
  UINT dpi_ = kDesignDpi;
  bool activated_ = false;
};

}  // namespace vellumo::win32
