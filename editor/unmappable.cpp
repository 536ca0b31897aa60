#include "editor/unmappable.h"

#include "platform/utf8.h"

namespace vellumo {

UnmappableCharacter DescribeUnmappable(std::u16string_view text, std::size_t index) {
  UnmappableCharacter result;
  result.line = 1;
  for (std::size_t i = 1; i < index && i < text.size(); ++i) {
    if (text[i] == u'\n' && text[i - 1] == u'\r') ++result.line;
  }
  if (index < text.size()) {
    const char16_t c = text[index];
    const bool pair = c >= 0xD800 && c <= 0xDBFF && index + 1 < text.size() &&
                      text[index + 1] >= 0xDC00 && text[index + 1] <= 0xDFFF;
    result.character = Utf16ToUtf8(text.substr(index, pair ? 2 : 1));
  }
  return result;
}

std::string UnmappableQuestion(const UnmappableCharacter& first) {
  return "このテキストには、Shift_JIS（コードページ 932）で表せない文字が含まれています（" +
         std::to_string(first.line) + " 行目の「" + first.character +
         "」など）。\r\nこれらの文字は「?」に置き換えられます。続けますか？";
}

}  // namespace vellumo
