// The strict code page 932 conversions applied to a text that arrives in pieces cut anywhere:
// a character cut at the end of a piece waits for the rest of it in the next one, and the place
// of a character that does not convert is counted from the start of the whole text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "cipher/text.h"
#include "platform/cp932.h"

namespace vellumo {

class PieceConversion {
 public:
  enum class Direction { Utf8ToCp932, Cp932ToUtf8 };
  explicit PieceConversion(Direction direction) : direction_(direction) {}

  // Converts what piece completes and hands the result to emit. False at a character that does
  // not convert: failedAt is then its offset in the whole text.
  bool Feed(TextView piece, const std::function<void(TextView)>& emit, std::uint64_t& failedAt);
  // The text has ended: a character still cut short does not convert.
  bool Finish(const std::function<void(TextView)>& emit, std::uint64_t& failedAt);

 private:
  // Where the last whole character of bytes ends (bytes begin with a character).
  std::size_t WholeCharacters(TextView bytes) const;
  // How many more bytes the character begun in carry_ takes.
  std::size_t Missing() const;
  bool Convert(TextView bytes, std::uint64_t at, const std::function<void(TextView)>& emit,
               std::uint64_t& failedAt);

  Direction direction_;
  std::string carry_;          // a character cut short
  std::uint64_t carryAt_ = 0;  // its offset in the whole text
  std::uint64_t offset_ = 0;   // offset of the next piece
  std::string converted_;
};

}  // namespace vellumo
