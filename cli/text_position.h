// Where a byte lies in a text that goes by in pieces, for messages: "line L, byte B".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "cipher/text.h"

namespace vellumo {

// The number of LF bytes in text.
std::size_t CountLineFeeds(TextView text);

class TextPosition {
 public:
  // The next bytes of the text go by.
  void Pass(TextView bytes);
  // The place of the byte at offset (counted from the text's start) in next, the bytes that
  // follow those passed; offset may also lie in the passed bytes after their last LF.
  std::string Of(std::uint64_t offset, TextView next) const;
  // Bytes passed so far.
  std::uint64_t Passed() const { return passed_; }

 private:
  std::uint64_t passed_ = 0;
  std::uint64_t lineFeeds_ = 0;
  std::uint64_t lineStart_ = 0;  // the offset after the last LF passed
};

}  // namespace vellumo
