#include "editor/win32/tool_hints.h"

namespace vellumo::win32 {
namespace {

constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kHideTimer = 2;

// Tooltip control numbers: buttons are 1 to 8, the bar itself this.
constexpr ControlId kSpeedBarControl = 100;

bool OwnedByThisThread(HWND hwnd) {
  return hwnd && GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId();
}

}  // namespace

void ToolHints::Attach(HWND timerWindow, const SpeedBar* bar, HintState* hints) {
  timerWindow_ = timerWindow;
  bar_ = bar;
  hints_ = hints;
}

void ToolHints::Cancel() {
  CarryOut(tracker_.Cancel());
}

void ToolHints::PointerMoved(POINT screen) {
  CarryOut(tracker_.MouseMove(HintControlAt(screen)), screen);
}

bool ToolHints::TimerFired(UINT_PTR timer) {
  if (timer == kShowTimer) {
    KillTimer(timerWindow_, kShowTimer);
    ShowTimerFired();
    return true;
  }
  if (timer == kHideTimer) {
    KillTimer(timerWindow_, kHideTimer);
    CarryOut(tracker_.HideTimerFired());
    return true;
  }
  return false;
}

void ToolHints::Idle() {
  if (!hints_) return;
  POINT p{};
  GetCursorPos(&p);
  const auto chain = HintChainAt(p);
  if (chain.empty()) Cancel();
  hints_->SetCurrentHint(IdleHint(chain));
}

std::optional<ControlId> ToolHints::HintControlAt(POINT screen) const {
  if (!bar_) return std::nullopt;
  HWND under = WindowFromPoint(screen);
  if (under != bar_->Handle()) return std::nullopt;
  ScreenToClient(under, &screen);
  const int index = bar_->ButtonAt(screen);
  return index >= 0 ? ControlId{index + 1} : kSpeedBarControl;
}

std::vector<std::string_view> ToolHints::HintChainAt(POINT screen) const {
  std::vector<std::string_view> chain;
  HWND under = WindowFromPoint(screen);
  if (!OwnedByThisThread(under) || under == tooltip_.Handle()) return chain;
  if (bar_ && under == bar_->Handle()) {
    POINT client = screen;
    ScreenToClient(under, &client);
    const int index = bar_->ButtonAt(client);
    if (index >= 0) chain.push_back(bar_->ButtonInfo(index).hint);
  }
  // The bar, the edit area, the status line, the window and the program's other windows have
  // empty hints.
  chain.push_back(std::string_view());
  return chain;
}

void ToolHints::CarryOut(const TooltipAction& action, std::optional<POINT> pointer) {
  switch (action.kind) {
    case TooltipAction::Kind::None:
      return;
    case TooltipAction::Kind::StartTimer:
      tooltip_.Hide();
      KillTimer(timerWindow_, kHideTimer);
      if (action.delayMs == 0) {
        KillTimer(timerWindow_, kShowTimer);
        // At once, for the place of the move being handled: the system's pointer position may
        // not have caught up with it yet.
        ShowTimerFired(pointer);
      } else {
        SetTimer(timerWindow_, kShowTimer, static_cast<UINT>(action.delayMs), nullptr);
      }
      return;
    case TooltipAction::Kind::Show:
      KillTimer(timerWindow_, kShowTimer);
      tooltip_.ShowBelowPointer(action.text, pointer);
      SetTimer(timerWindow_, kHideTimer, kTooltipHideDelayMs, nullptr);
      return;
    case TooltipAction::Kind::Hide:
      KillTimer(timerWindow_, kShowTimer);
      KillTimer(timerWindow_, kHideTimer);
      tooltip_.Hide();
      return;
  }
}

void ToolHints::ShowTimerFired(std::optional<POINT> pointer) {
  POINT p{};
  if (pointer) {
    p = *pointer;
  } else {
    GetCursorPos(&p);
  }
  DWORD process = 0;
  GetWindowThreadProcessId(GetForegroundWindow(), &process);
  const auto chain = HintChainAt(p);
  CarryOut(tracker_.ShowTimerFired(process == GetCurrentProcessId(), HintControlAt(p), chain), p);
}

}  // namespace vellumo::win32
