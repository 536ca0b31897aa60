// Hints: the short and long parts, CurrentHint's only-on-change rule through ShowHint, the idle
// and menu rules, and the tool bar's tooltip state machine.
#include <gtest/gtest.h>

#include "editor/commands.h"
#include "editor/hints.h"
#include "editor/tooltip.h"
#include "editor_fakes.h"

namespace vellumo {
namespace {

using Kind = TooltipAction::Kind;

TEST(Hints, SplitAtTheFirstBar) {
  const struct {
    std::string hint;
    std::string shortHint;
    std::string longHint;
  } cases[] = {
      {"開く|既存のファイルを開いて解読します", "開く", "既存のファイルを開いて解読します"},
      {"新しいファイルを作成します", "新しいファイルを作成します", "新しいファイルを作成します"},
      {"a|b|c", "a", "b|c"},
      {"|long", "", "long"},
      {"short|", "short", ""},
      {"", "", ""},
      // "ポ" ends in byte 0x7C in code page 932; it is no "|".
      {"ポイント|ポ", "ポイント", "ポ"},
      {"ポスト", "ポスト", "ポスト"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShortHint(c.hint), c.shortHint) << c.hint;
    EXPECT_EQ(LongHint(c.hint), c.longHint) << c.hint;
  }
}

// FormCreate installs ShowHint; the status line is written on changes only.
TEST(Hints, CurrentHintReachesTheStatusLineOnlyWhenItChanges) {
  testing::MainFormRig rig;
  EXPECT_EQ(rig.window.statusWrites, 0);
  rig.hints.SetCurrentHint("既存のファイルを開いて解読します");
  rig.hints.SetCurrentHint("既存のファイルを開いて解読します");
  EXPECT_EQ(rig.window.statusText, "既存のファイルを開いて解読します");
  EXPECT_EQ(rig.window.statusWrites, 1);
  rig.hints.SetCurrentHint("");
  rig.hints.SetCurrentHint("");
  EXPECT_EQ(rig.window.statusText, "");
  EXPECT_EQ(rig.window.statusWrites, 2);
}

TEST(Hints, IdleRuleTakesTheFirstHintOutward) {
  using Chain = std::vector<std::string_view>;
  const std::pair<Chain, std::string> cases[] = {
      {{"開く|既存のファイルを開いて解読します", "", ""}, "既存のファイルを開いて解読します"},
      {{"", "", ""}, ""},  // the edit area, the window: no hints
      {{"", "outer|long outer"}, "long outer"},
      {{}, ""},  // no control of the program under the pointer
  };
  for (const auto& [chain, hint] : cases)
    EXPECT_EQ(IdleHint(chain), hint);
}

TEST(Hints, MenuRuleShowsTheHighlightedItemsHint) {
  EXPECT_EQ(MenuHint(CommandId::EditCopy),
            "選択された項目を暗号化してクリップボードへコピーします");
  EXPECT_EQ(MenuHint(CommandId::None), "") << "a menu head or a separator";
}

struct Step {
  enum Event { Move, ShowTimer, HideTimer, CancelEvent } event;
  std::optional<ControlId> control;  // Move, ShowTimer: the hint control at the pointer
  Kind kind;                         // the action expected
  int delayMs = 0;
  std::string text = {};
};

void RunSteps(const char* what, const std::vector<Step>& steps, bool foreground = true) {
  TooltipTracker tracker;
  // The chains the window side gives for each hint control: a button within the bar, the bar.
  const std::map<ControlId, std::vector<std::string_view>> chains{
      {2, {"開く|既存のファイルを開いて解読します", ""}},
      {3, {"上書き保存|現在のファイルを暗号化して保存します", ""}},
      {9, {"", ""}},
  };
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const Step& s = steps[i];
    TooltipAction action;
    switch (s.event) {
      case Step::Move:
        action = tracker.MouseMove(s.control);
        break;
      case Step::ShowTimer:
        action = tracker.ShowTimerFired(
            foreground, s.control,
            s.control ? std::span<const std::string_view>(chains.at(*s.control))
                      : std::span<const std::string_view>());
        break;
      case Step::HideTimer:
        action = tracker.HideTimerFired();
        break;
      case Step::CancelEvent:
        action = tracker.Cancel();
        break;
    }
    EXPECT_EQ(action.kind, s.kind) << what << ", step " << i;
    if (s.kind == Kind::StartTimer) {
      EXPECT_EQ(action.delayMs, s.delayMs) << what << ", step " << i;
    }
    if (s.kind == Kind::Show) {
      EXPECT_EQ(action.text, s.text) << what << ", step " << i;
    }
  }
}

TEST(Tooltip, RestingOnAButtonShowsItsShortHintLaterAndHidesIt) {
  RunSteps("rest on SpeedButton2", {
                                       {Step::Move, 2, Kind::StartTimer, 500},
                                       {Step::Move, 2, Kind::None},
                                       {Step::ShowTimer, 2, Kind::Show, 0, "開く"},
                                       {Step::HideTimer, {}, Kind::Hide},
                                       {Step::Move, 2, Kind::None},
                                   });
}

TEST(Tooltip, WhileActiveTheNextButtonShowsAtOnce) {
  RunSteps("move on while active", {
                                       {Step::Move, 2, Kind::StartTimer, 500},
                                       {Step::ShowTimer, 2, Kind::Show, 0, "開く"},
                                       {Step::Move, 3, Kind::StartTimer, 0},
                                       {Step::ShowTimer, 3, Kind::Show, 0, "上書き保存"},
                                       {Step::HideTimer, {}, Kind::Hide},
                                       {Step::Move, 2, Kind::StartTimer, 0},
                                   });
  RunSteps("free space of the bar shows nothing and keeps it active",
           {
               {Step::Move, 2, Kind::StartTimer, 500},
               {Step::ShowTimer, 2, Kind::Show, 0, "開く"},
               {Step::Move, 9, Kind::StartTimer, 0},
               {Step::ShowTimer, 9, Kind::None},
               {Step::Move, 3, Kind::StartTimer, 0},
           });
}

TEST(Tooltip, CancelEndsTheActiveState) {
  RunSteps("a click cancels", {
                                  {Step::Move, 2, Kind::StartTimer, 500},
                                  {Step::ShowTimer, 2, Kind::Show, 0, "開く"},
                                  {Step::CancelEvent, {}, Kind::Hide},
                                  {Step::Move, 3, Kind::StartTimer, 500},
                              });
  RunSteps("leaving the tool bar cancels", {
                                               {Step::Move, 2, Kind::StartTimer, 500},
                                               {Step::ShowTimer, 2, Kind::Show, 0, "開く"},
                                               {Step::Move, {}, Kind::Hide},
                                               {Step::Move, 2, Kind::StartTimer, 500},
                                           });
  RunSteps("the pointer moved elsewhere before the timer",
           {
               {Step::Move, 2, Kind::StartTimer, 500},
               {Step::ShowTimer, 3, Kind::None},
               {Step::Move, 3, Kind::StartTimer, 500},
           });
  RunSteps("nothing to cancel", {{Step::CancelEvent, {}, Kind::None}});
}

TEST(Tooltip, NothingShowsWhileAnotherProgramIsInFront) {
  RunSteps("background",
           {
               {Step::Move, 2, Kind::StartTimer, 500},
               {Step::ShowTimer, 2, Kind::None},
               {Step::Move, 3, Kind::StartTimer, 500},
           },
           false);
}

}  // namespace
}  // namespace vellumo
