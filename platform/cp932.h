// Strict conversions between UTF-8 and code page 932 for the command-line tool: a character that
// has no exact counterpart is an error with its position, never a replacement such as "?".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vellumo {

// The outcome of a strict conversion. On failure, failedAt is the byte offset in the input of
// the first character that cannot be converted (or that is malformed or cut short).
struct Cp932Conversion {
  bool ok = true;
  std::size_t failedAt = 0;
};

// UTF-8 to code page 932. A character converts only when converting it back gives the same
// character, so the look-alike "best fit" replacements (U+301C for U+FF5E, U+00A5 for "\", ...)
// are refused, as Windows refuses them without best fit. out is replaced.
Cp932Conversion Utf8ToCp932(std::string_view utf8, std::string& out);

// Code page 932 to UTF-8, by the Windows table for code page 932 (including its single bytes
// 0x80, 0xA0 and 0xFD to 0xFF and the user-defined area). Zero bytes convert to U+0000. A lead
// byte without a valid second byte, or a pair without a character, is refused. out is replaced.
Cp932Conversion Cp932ToUtf8(std::string_view cp932, std::string& out);

}  // namespace vellumo
