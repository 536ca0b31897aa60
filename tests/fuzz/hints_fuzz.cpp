// Hint texts: the short and long parts on arbitrary bytes, the first hint of a chain of controls,
// and the application's hint state calling its handler only on a change.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/hints.h"
#include "fuzz_support.h"

namespace vellumo::fuzz {
namespace {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no cut characters.
bool IsUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t length;
    std::uint32_t cp;
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (s.size() - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
      return false;
    }
    i += length;
  }
  return true;
}

// Short + "|" + long rejoins when there is a "|"; without one both are the whole hint; the
// short part holds no "|"; whole characters stay whole.
void CheckParts(std::string_view hint) {
  const std::string shortHint = ShortHint(hint);
  const std::string longHint = LongHint(hint);
  FUZZ_CHECK(shortHint.find('|') == std::string::npos);
  if (hint.find('|') != std::string_view::npos) {
    FUZZ_CHECK(shortHint + "|" + longHint == hint);
  } else {
    FUZZ_CHECK(shortHint == hint && longHint == hint);
  }
  if (IsUtf8(hint)) FUZZ_CHECK(IsUtf8(shortHint) && IsUtf8(longHint));
}

// The input's lines as the hints of a chain of controls, from the one under the pointer outward;
// then, in turn, as the values the application's hint is set to.
void CheckChainAndState(std::string_view input) {
  std::vector<std::string_view> chain;
  for (std::size_t start = 0;;) {
    const auto end = input.find('\n', start);
    chain.push_back(input.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }

  std::string_view first;
  for (const auto hint : chain) {
    if (!hint.empty()) {
      first = hint;
      break;
    }
  }
  FUZZ_CHECK(FirstHint(chain) == first);
  FUZZ_CHECK(IdleHint(chain) == LongHint(first));
  FUZZ_CHECK(IdleHint({}).empty());

  HintState state;
  int calls = 0;
  state.OnHint = [&calls] { ++calls; };
  int changes = 0;
  std::string_view held;
  for (const auto hint : chain) {
    if (hint != held) ++changes;
    held = hint;
    state.SetCurrentHint(hint);
    FUZZ_CHECK(state.CurrentHint() == hint && calls == changes);
  }
}

void Run(std::string_view hint) {
  CheckParts(hint);
  CheckChainAndState(hint);
}

}  // namespace
}  // namespace vellumo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vellumo::fuzz::Run(vellumo::fuzz::AsView(data, size));
  return 0;
}
