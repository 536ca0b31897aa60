#include "editor/hints.h"

namespace vellumo {

// "|" is one byte in UTF-8 and never part of another character, so the first byte found is the
// first "|" character.
std::string ShortHint(std::string_view hint) {
  return std::string(hint.substr(0, hint.find('|')));
}

std::string LongHint(std::string_view hint) {
  const auto bar = hint.find('|');
  return std::string(bar == std::string_view::npos ? hint : hint.substr(bar + 1));
}

std::string_view FirstHint(std::span<const std::string_view> chain) {
  for (const auto hint : chain) {
    if (!hint.empty()) return hint;
  }
  return {};
}

std::string IdleHint(std::span<const std::string_view> chain) {
  return LongHint(FirstHint(chain));
}

void HintState::SetCurrentHint(std::string_view hint) {
  if (hint == current_) return;
  current_.assign(hint);
  if (OnHint) OnHint();
}

}  // namespace vellumo
