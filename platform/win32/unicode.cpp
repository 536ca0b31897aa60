#include "platform/win32/unicode.h"

#include "platform/utf8.h"

namespace vellumo {

std::wstring Utf8ToWide(std::string_view utf8) {
  const std::u16string utf16 = Utf8ToUtf16(utf8);
  return {AsWide(utf16.data()), utf16.size()};
}

std::string WideToUtf8(std::wstring_view wide) {
  return Utf16ToUtf8(AsUtf16(wide));
}

}  // namespace vellumo
