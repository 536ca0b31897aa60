// The program's own code page 932 conversion, driven by one table made from Windows' mapping
// (platform/cp932_table.cpp), so that Windows, Wine and Linux convert alike:
// - the document conversion to and from UTF-16 (edit area, key field, clipboard), which keeps
//   every byte sequence;
// - strict conversions to and from UTF-8 for the command-line tool, where a character that has
//   no exact counterpart is an error with its position, never a replacement such as "?".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vellumo {

// Placeholders for bytes that are no character. A byte that starts no code page 932 character
// (a lead byte at the end, or before a byte that does not complete a defined pair) decodes to
// the lone low surrogate U+DC00 + byte, that is U+DC81 to U+DC9F or U+DCE0 to U+DCFC; the byte
// after it is decoded on its own. Every U+DC80 to U+DCFF encodes back to the byte 0x80 to 0xFF,
// so decoding and then encoding gives back the bytes, byte for byte. Lone surrogates never stand
// for text: no program writes them as characters, and the edit control draws them as a visible
// box. The only bytes that do not come back are the decode-only codes of characters that code
// page 932 gives two or three codes (NEC row 13, NEC-selected IBM extensions, IBM extensions):
// they come back in the code Windows writes for the character.
inline constexpr char16_t kFirstPlaceholder = 0xDC80;
inline constexpr char16_t kLastPlaceholder = 0xDCFF;

// What Utf16ToCp932 answers when every character had a form.
inline constexpr std::size_t kAllConverted = std::string_view::npos;

// Code page 932 to UTF-16, with placeholders. out has room for cp932.size() units (never more
// are written); answers how many were written.
std::size_t Cp932ToUtf16(std::string_view cp932, char16_t* out);
std::u16string Cp932ToUtf16(std::string_view cp932);

// UTF-16 to code page 932: characters by the table, placeholders back to their bytes. A
// character without a code page 932 form (one unit, or a surrogate pair) becomes "?". out has
// room for 2 * utf16.size() bytes; answers how many were written, and sets firstLost to the
// index of the first character that became "?" (kAllConverted when none did).
std::size_t Utf16ToCp932(std::u16string_view utf16, char* out, std::size_t& firstLost);
// The same into a string, which is replaced; answers firstLost.
std::size_t Utf16ToCp932(std::u16string_view utf16, std::string& out);

// The outcome of a strict conversion. On failure, failedAt is the byte offset in the input of
// the first character that cannot be converted (or that is malformed or cut short).
struct Cp932Conversion {
  bool ok = true;
  std::size_t failedAt = 0;
};

// UTF-8 to code page 932. A character converts only when converting it back gives the same
// character, so the look-alike "best fit" replacements (U+301C for U+FF5E, U+00A5 for "\", ...)
// are refused, as Windows refuses them without best fit. out is replaced (emptied on failure).
Cp932Conversion Utf8ToCp932(std::string_view utf8, std::string& out);
// The same into a caller's buffer of utf8.size() bytes (a character never takes more bytes in
// code page 932 than in UTF-8); written is set to the bytes written, 0 on failure.
Cp932Conversion Utf8ToCp932(std::string_view utf8, char* out, std::size_t& written);

// Code page 932 to UTF-8, by the Windows table for code page 932 (including its single bytes
// 0x80, 0xA0 and 0xFD to 0xFF and the user-defined area). Zero bytes convert to U+0000. A lead
// byte without a valid second byte, or a pair without a character, is refused. out is replaced
// (emptied on failure).
Cp932Conversion Cp932ToUtf8(std::string_view cp932, std::string& out);

}  // namespace vellumo
