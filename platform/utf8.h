// UTF-8 <-> UTF-16 and single UTF-8 characters: the program's one conversion between the two, for
// its own strings, paths and messages, and for the command-line tool's strict conversions.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vellumo {

// What ReadUtf8 answers for bytes that are not UTF-8.
inline constexpr char32_t kNotUtf8 = 0xFFFFFFFF;

// Reads the character that starts at utf8[pos] and moves pos past it. Bytes that are not UTF-8
// (a stray or missing continuation byte, a sequence cut short, an overlong form, a value past
// U+10FFFF) give kNotUtf8, and pos moves one byte on. The three-byte form of a surrogate, which
// Utf16ToUtf8 writes for a lone one, is read only when allowSurrogates; otherwise it is not UTF-8.
char32_t ReadUtf8(std::string_view utf8, std::size_t& pos, bool allowSurrogates);

// Appends the UTF-8 form of c (a surrogate in the three-byte form).
void AppendUtf8(char32_t c, std::string& out);

// UTF-8 to UTF-16. A byte that is not UTF-8 becomes U+FFFD; the three-byte form of a lone
// surrogate becomes that surrogate, so Utf8ToUtf16(Utf16ToUtf8(s)) == s for every s.
std::u16string Utf8ToUtf16(std::string_view utf8);
// UTF-16 to UTF-8. A lone surrogate (as Windows allows in file names and window texts) is kept in
// the three-byte form rather than lost.
std::string Utf16ToUtf8(std::u16string_view utf16);
// The same into a caller's buffer of 3 * utf16.size() bytes (a unit never takes more); answers
// how many were written.
std::size_t Utf16ToUtf8(std::u16string_view utf16, char* out);

}  // namespace vellumo
