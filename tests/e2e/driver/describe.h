// Readable forms of checked values for the driver's failure messages (UTF-8 output).
#pragma once

#include <windows.h>

#include <concepts>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellumo::e2e {

// Quoted, with control characters escaped. Text that is not UTF-8 (code page 932 bytes) is
// shown as it reads in code page 932 followed by its bytes in hexadecimal.
std::string Describe(std::string_view text);
std::string Describe(std::wstring_view text);
inline std::string Describe(const std::string& text) {
  return Describe(std::string_view(text));
}
inline std::string Describe(const std::wstring& text) {
  return Describe(std::wstring_view(text));
}
inline std::string Describe(const char* text) {
  return Describe(std::string_view(text));
}
inline std::string Describe(const wchar_t* text) {
  return Describe(std::wstring_view(text));
}
inline std::string Describe(bool value) {
  return value ? "true" : "false";
}
template <std::integral T>
std::string Describe(T value) {
  return std::to_string(value);
}
std::string Describe(const RECT& rect);
std::string Describe(const SIZE& size);
std::string Describe(const POINT& point);
std::string Describe(HWND window);
template <class T>
std::string Describe(const std::optional<T>& value) {
  return value ? Describe(*value) : std::string("(none)");
}
template <class T>
std::string Describe(const std::vector<T>& values) {
  std::string out = "{";
  for (const auto& value : values)
    out += (out.size() > 1 ? ", " : "") + Describe(value);
  return out + "}";
}

}  // namespace vellumo::e2e

inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator==(const SIZE& a, const SIZE& b) {
  return a.cx == b.cx && a.cy == b.cy;
}
inline bool operator==(const POINT& a, const POINT& b) {
  return a.x == b.x && a.y == b.y;
}
