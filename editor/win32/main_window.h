// The main window TMainForm: frame, menu bar, tool bar, edit area and status line. Its messages
// go to the portable TMainForm's handlers, to the hints under the pointer and to the layout.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/win32/dpi.h"
#include "app/win32/window_base.h"
#include "editor/commands.h"
#include "editor/hints.h"
#include "editor/main_form.h"
#include "editor/main_window_port.h"
#include "editor/win32/drop_target.h"
#include "editor/win32/memo.h"
#include "editor/win32/speed_bar.h"
#include "editor/win32/tool_hints.h"

namespace vellumo::win32 {

class MainWindow final : public WindowBase, public IMainWindow {
 public:
  // Creates the window hidden, captioned "MainForm", with its edit area, tool bar and status line.
  MainWindow();
  ~MainWindow() override;

  Memo& Memo1() { return *memo_; }

  // Connects the commands: the menu bar, the tool bar, the shortcuts, the hints and files dropped
  // on the window now run form's handlers. Runs the form's creation handler.
  void Bind(TMainForm& form, HintState& hints);

  // IMainWindow
  void SetCaption(const std::string& caption) override;
  void SetStatusText(const std::string& text) override;
  void Close() override;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Seen before dispatch: shortcuts first, Tab in the edit area, the pointer for the hints.
  bool PreTranslate(const MSG& msg);
  bool PreTranslateKey(const MSG& msg);

  // Handlers.
  void Activated();
  void MenuCommand(WPARAM wParam);
  void MenuSelected(WPARAM wParam, LPARAM lParam);
  // Opens what was dropped, once the drop has returned to the program that dragged it.
  void OpenDroppedFiles();
  void Layout();
  void ApplyDpi(UINT dpi);

  // Hides the tooltip and runs the item's handler under the failure guard.
  void CancelHintsAndRun(const CommandItem& item, const void* sender);

  std::unique_ptr<Memo> memo_;
  std::unique_ptr<SpeedBar> speedBar_;
  HWND statusLine_ = nullptr;
  ToolHints toolHints_;
  std::unique_ptr<DropTarget> dropTarget_;
  std::vector<std::string> droppedFiles_;  // paths of the last drop, not yet opened
  TMainForm* form_ = nullptr;
  HintState* hints_ = nullptr;
  UINT dpi_ = kDesignDpi;
  bool activated_ = false;
};

}  // namespace vellumo::win32
