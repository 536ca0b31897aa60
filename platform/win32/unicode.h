// Conversions at the Win32 boundary: UTF-8 (program strings) and code page 932 (document bytes)
// to and from UTF-16 (the W calls).
#pragma once

#include <string>
#include <string_view>

namespace vellumo {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

// Code page 932 bytes to UTF-16. Bytes that form no character of code page 932 become the
// system's replacement characters, as a Japanese Windows shows them.
std::wstring Cp932ToWide(std::string_view cp932);
// UTF-16 to code page 932. Characters without a code page 932 form become "?" (the system's
// default character), as a Japanese Windows ANSI control gives them; usedDefault, when given,
// tells whether that happened.
std::string WideToCp932(std::wstring_view wide, bool* usedDefault = nullptr);

}  // namespace vellumo
