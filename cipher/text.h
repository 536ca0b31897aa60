// The byte-string type that carries document text: code page 932 bytes, zero bytes allowed.
#pragma once

#include <string>
#include <string_view>

namespace vellumo {

// A counted byte string in code page 932. The cipher, text files and the clipboard carry these.
using Text = std::string;
using TextView = std::string_view;

// The part of a text before its first zero byte (the whole text when it holds none).
inline TextView UpToZero(TextView text) {
  const auto zero = text.find('\0');
  return zero == TextView::npos ? text : text.substr(0, zero);
}

}  // namespace vellumo
