// The main window's hints under the pointer: the tool bar's tooltip (its window, its show and hide
// timers, and the tracker that decides them) and the status line's idle hint, both found from the
// chain of controls under the pointer.
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>
#include <vector>

#include "editor/hints.h"
#include "editor/tooltip.h"
#include "editor/win32/speed_bar.h"
#include "editor/win32/tooltip_window.h"

namespace vellumo::win32 {

class ToolHints {
 public:
  // The tooltip's timers run on timerWindow (the main window), which hands WM_TIMER to
  // TimerFired; bar is the tool bar whose buttons have tooltips; hints the application's hint.
  void Attach(HWND timerWindow, const SpeedBar* bar, HintState* hints);

  // A key, a mouse button or wheel, a menu command, a change of the active application or the
  // pointer over a window frame: the tooltip goes.
  void Cancel();
  // The pointer moved to a point of the screen.
  void PointerMoved(POINT screen);
  // Answers whether the timer was the tooltip's, and then acts on it.
  bool TimerFired(UINT_PTR timer);
  // The idle rule: the status line's hint from the control under the pointer.
  void Idle();

 private:
  // The tool bar control under the pointer that has tooltips on (a button or the bar), if any.
  std::optional<ControlId> HintControlAt(POINT screen) const;
  // The hints from the control under the pointer outward; empty when none of the program's
  // controls is under it.
  std::vector<std::string_view> HintChainAt(POINT screen) const;
  // Carries out what the tracker answered; pointer is the place of the mouse move being handled,
  // when there is one.
  void CarryOut(const TooltipAction& action, std::optional<POINT> pointer = std::nullopt);
  void ShowTimerFired(std::optional<POINT> pointer = std::nullopt);

  HWND timerWindow_ = nullptr;
  const SpeedBar* bar_ = nullptr;
  HintState* hints_ = nullptr;
  TooltipWindow tooltip_;
  TooltipTracker tracker_;
};

}  // namespace vellumo::win32
