#include "editor/tooltip.h"

#include "editor/hints.h"

namespace vellumo {

TooltipAction TooltipTracker::MouseMove(std::optional<ControlId> hintControl) {
  if (!hintControl) return Cancel();
  if (served_ == hintControl) return {};
  served_ = hintControl;
  visible_ = false;
  timing_ = true;
  return {TooltipAction::Kind::StartTimer, active_ ? 0 : kTooltipInitialDelayMs, {}};
}

TooltipAction TooltipTracker::ShowTimerFired(bool foreground, std::optional<ControlId> hintControl,
                                             std::span<const std::string_view> chain) {
  if (!timing_) return {};
  timing_ = false;
  if (!foreground || !hintControl || hintControl != served_) return Cancel();
  std::string text = ShortHint(FirstHint(chain));
  if (text.empty()) return {};  // nothing to show here, such as the tool bar's free space
  active_ = true;
  visible_ = true;
  return {TooltipAction::Kind::Show, 0, std::move(text)};
}

TooltipAction TooltipTracker::HideTimerFired() {
  if (!visible_) return {};
  visible_ = false;
  return {TooltipAction::Kind::Hide, 0, {}};
}

TooltipAction TooltipTracker::Cancel() {
  const bool busy = visible_ || timing_;
  served_.reset();
  active_ = false;
  visible_ = false;
  timing_ = false;
  return busy ? TooltipAction{TooltipAction::Kind::Hide, 0, {}} : TooltipAction{};
}

}  // namespace vellumo
