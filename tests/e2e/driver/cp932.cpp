#include "tests/e2e/driver/cp932.h"

#include <windows.h>

namespace vellumo::e2e {

std::string Cp932(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                       0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  return bytes;
}

std::wstring FromCp932(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size =
      MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
  return text;
}

}  // namespace vellumo::e2e
