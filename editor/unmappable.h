// Characters of the edit area that code page 932 cannot hold: where the first one stands, and the
// question asked before a save or an encrypting cut or copy would turn them into "?".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vellumo {

struct UnmappableCharacter {
  std::size_t line = 0;   // counted from 1; lines end at CR LF
  std::string character;  // UTF-8
};

// The character that starts at index of the edit area's text (a surrogate pair is one character)
// and the line it stands on.
UnmappableCharacter DescribeUnmappable(std::u16string_view text, std::size_t index);

// The warning's text: it names the line and the character, and asks whether to go on.
std::string UnmappableQuestion(const UnmappableCharacter& first);

}  // namespace vellumo
