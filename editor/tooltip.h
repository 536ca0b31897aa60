// The tool bar's tooltips as a state machine: when the short hint shows, when it hides, what
// cancels it. The window side feeds it mouse, timer and cancel events and carries out the action
// each one answers; it never decides timing itself.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vellumo {

inline constexpr int kTooltipInitialDelayMs = 500;
inline constexpr int kTooltipHideDelayMs = 2500;

struct TooltipAction {
  enum class Kind {
    None,        // nothing to do
    StartTimer,  // hide any tooltip shown, stop the hide timer, (re)start the one-shot show timer
    Show,        // stop the show timer, show text below the pointer, start the hide timer
    Hide,        // stop both timers and hide the tooltip
  };
  Kind kind = Kind::None;
  int delayMs = 0;   // StartTimer: when ShowTimerFired is due
  std::string text;  // Show: the short hint; hide it after kTooltipHideDelayMs
};

// Controls are named by any number the window side chooses.
using ControlId = long long;

class TooltipTracker {
 public:
  // The pointer moved. hintControl: the nearest control, from the one under the pointer outward,
  // whose tooltips are on; nothing when there is none (which cancels).
  TooltipAction MouseMove(std::optional<ControlId> hintControl);
  // The show timer fired. foreground: the program is the foreground application; hintControl:
  // as for MouseMove, at the pointer's position now; chain: the hints from that control outward.
  TooltipAction ShowTimerFired(bool foreground, std::optional<ControlId> hintControl,
                               std::span<const std::string_view> chain);
  // The hide timer fired: the tooltip hides but stays active, so the next control's shows at once.
  TooltipAction HideTimerFired();
  // A key, a mouse button or wheel, a menu command, a change of the active window, the pointer over
  // a window frame, or an idle moment with no control of the program under the pointer.
  TooltipAction Cancel();

  // A tooltip has been shown and not cancelled since.
  bool Active() const { return active_; }
  bool Visible() const { return visible_; }

 private:
  std::optional<ControlId> served_;
  bool active_ = false;
  bool visible_ = false;
  bool timing_ = false;
};

}  // namespace vellumo
