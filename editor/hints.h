// Hints: the short (tooltip) and long (status line) parts of a hint text, the application's
// CurrentHint with its change handler, and the rules that choose the status line's hint.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace vellumo {

// The text before the first "|", or the whole text without one.
std::string ShortHint(std::string_view hint);
// The text after the first "|", or the whole text without one.
std::string LongHint(std::string_view hint);

// The first non-empty hint of a chain of controls, from the one under the mouse pointer outward;
// empty when there is none.
std::string_view FirstHint(std::span<const std::string_view> chain);

// The idle rule: the long hint of the first non-empty hint from the control under the pointer
// outward; empty when no control of the program is under it (an empty chain).
std::string IdleHint(std::span<const std::string_view> chain);

// The one hint text of the application. Setting it to another text calls the installed handler;
// setting it to the text it holds does nothing.
class HintState {
 public:
  const std::string& CurrentHint() const { return current_; }
  void SetCurrentHint(std::string_view hint);
  // The handler called on every change (FormCreate installs the main window's ShowHint).
  std::function<void()> OnHint;

 private:
  std::string current_;
};

}  // namespace vellumo
