#include "cli/piece_conversion.h"

namespace vellumo {
namespace {

bool IsCp932LeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The length of the UTF-8 sequence that a lead byte begins; 1 for any other byte.
std::size_t Utf8Length(unsigned char c) {
  if (c >= 0xF0 && c <= 0xF7) return 4;
  if (c >= 0xE0) return c <= 0xEF ? 3 : 1;
  if (c >= 0xC0) return 2;
  return 1;
}

}  // namespace

std::size_t PieceConversion::WholeCharacters(TextView bytes) const {
  const std::size_t n = bytes.size();
  if (direction_ == Direction::Utf8ToCp932) {
    // The last byte that is not a continuation byte begins the last character.
    for (std::size_t back = 1; back <= 4 && back <= n; ++back) {
      const auto c = static_cast<unsigned char>(bytes[n - back]);
      if ((c & 0xC0) != 0x80) return Utf8Length(c) > back ? n - back : n;
    }
    return n;
  }
  // Code page 932: a byte outside the lead bytes' range always ends a character (it is a single
  // byte or a second byte). The run of lead-range bytes after it pairs up from its start, so an
  // odd run ends with a lead byte whose second byte is still to come.
  std::size_t run = 0;
  while (run < n && IsCp932LeadByte(static_cast<unsigned char>(bytes[n - 1 - run])))
    ++run;
  return run % 2 == 1 ? n - 1 : n;
}

std::size_t PieceConversion::Missing() const {
  if (direction_ == Direction::Cp932ToUtf8) return 2 - carry_.size();
  return Utf8Length(static_cast<unsigned char>(carry_[0])) - carry_.size();
}

bool PieceConversion::Convert(TextView bytes, std::uint64_t at,
                              const std::function<void(TextView)>& emit, std::uint64_t& failedAt) {
  if (bytes.empty()) return true;
  const Cp932Conversion result = direction_ == Direction::Utf8ToCp932
                                     ? Utf8ToCp932(bytes, converted_)
                                     : Cp932ToUtf8(bytes, converted_);
  if (!result.ok) {
    failedAt = at + result.failedAt;
    return false;
  }
  emit(converted_);
  return true;
}

bool PieceConversion::Feed(TextView piece, const std::function<void(TextView)>& emit,
                           std::uint64_t& failedAt) {
  std::uint64_t at = offset_;
  offset_ += piece.size();
  if (!carry_.empty()) {
    const TextView rest = piece.substr(0, Missing());
    carry_.append(rest);
    piece.remove_prefix(rest.size());
    at += rest.size();
    if (Missing() > 0) return true;
    if (!Convert(carry_, carryAt_, emit, failedAt)) return false;
    carry_.clear();
  }
  const std::size_t whole = WholeCharacters(piece);
  if (!Convert(piece.substr(0, whole), at, emit, failedAt)) return false;
  carry_.assign(piece.substr(whole));
  carryAt_ = at + whole;
  return true;
}

bool PieceConversion::Finish(const std::function<void(TextView)>& emit, std::uint64_t& failedAt) {
  const bool ok = Convert(carry_, carryAt_, emit, failedAt);
  carry_.clear();
  return ok;
}

}  // namespace vellumo
