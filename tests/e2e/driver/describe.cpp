#include "tests/e2e/driver/describe.h"

#include <cstdio>

#include "platform/win32/unicode.h"
#include "tests/e2e/driver/cp932.h"

namespace vellumo::e2e {
namespace {

bool IsUtf8(std::string_view text) {
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                             static_cast<int>(text.size()), nullptr, 0) > 0 ||
         text.empty();
}

std::string Quote(std::string_view utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      out += hex;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace

std::string Describe(std::string_view text) {
  if (IsUtf8(text)) return Quote(text);
  std::string out = Quote(WideToUtf8(FromCp932(text))) + " (code page 932 bytes";
  for (const char c : text) {
    char hex[8];
    std::snprintf(hex, sizeof hex, " %02X", static_cast<unsigned char>(c));
    out += hex;
  }
  return out + ")";
}

std::string Describe(std::wstring_view text) {
  return Quote(WideToUtf8(text));
}

std::string Describe(const RECT& rect) {
  return "(" + std::to_string(rect.left) + ", " + std::to_string(rect.top) + ")-(" +
         std::to_string(rect.right) + ", " + std::to_string(rect.bottom) + ") " +
         std::to_string(rect.right - rect.left) + "x" + std::to_string(rect.bottom - rect.top);
}

std::string Describe(const SIZE& size) {
  return std::to_string(size.cx) + "x" + std::to_string(size.cy);
}

std::string Describe(const POINT& point) {
  return "(" + std::to_string(point.x) + ", " + std::to_string(point.y) + ")";
}

std::string Describe(HWND window) {
  char text[32];
  std::snprintf(text, sizeof text, "window %p", static_cast<void*>(window));
  return window ? text : "no window";
}

}  // namespace vellumo::e2e
