// The program's conversions at the Win32 boundary, where the W calls take UTF-16 as wchar_t:
// program strings (UTF-8) to and from std::wstring, and views of char16_t text as wchar_t.
#pragma once

#include <string>
#include <string_view>

namespace vellumo {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

// wchar_t is the 16-bit UTF-16 unit on Windows: the program's char16_t text is handed to the W
// calls and filled by them through these views.
static_assert(sizeof(wchar_t) == sizeof(char16_t));
inline const wchar_t* AsWide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}
inline wchar_t* AsWide(char16_t* text) {
  return reinterpret_cast<wchar_t*>(text);
}
inline std::u16string_view AsUtf16(std::wstring_view wide) {
  return {reinterpret_cast<const char16_t*>(wide.data()), wide.size()};
}

}  // namespace vellumo
