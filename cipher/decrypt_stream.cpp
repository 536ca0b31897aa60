#include "cipher/decrypt_stream.h"

#include <algorithm>
#include <cstring>

namespace vellumo {

// The current form's walk, run by DecodePart over parts of the text that begin where the whole
// walk stands at the start of a pair. In a text whose every CR is followed by an LF such a part
// can end
// - right after a line's CR LF: the walk skips both after the line's last pair, or it has
//   failed on a line of an odd number of characters (its last one paired with the CR);
// - after an even number of a line's characters, when the next one (not a CR) is known to
//   follow: the walk is between two pairs there and takes no line break.
// Only the bytes after the last such place are carried to the next piece: at most three, or one
// line when a piece ends inside it.
class DecryptStream::CurrentWalk {
 public:
  CurrentWalk(std::uint8_t keyValue, bool checkOnly) : keyValue_(keyValue), checkOnly_(checkOnly) {}

  TextView Feed(TextView piece) {
    used_ = 0;
    if (!carry_.empty()) {
      // The carried bytes go on with the piece's first line; a piece inside one long line goes
      // on with them whole.
      const std::size_t lineEnd = FirstLineEnd(piece);
      if (lineEnd == TextView::npos) {
        carry_.append(piece);
        const std::size_t cut = SafeCut(carry_);
        Decode(TextView(carry_).substr(0, cut));
        carry_.erase(0, cut);
        return Output();
      }
      carry_.append(piece.substr(0, lineEnd));
      Decode(carry_);
      carry_.clear();
      piece.remove_prefix(lineEnd);
    }
    const std::size_t cut = SafeCut(piece);
    Decode(piece.substr(0, cut));
    carry_.assign(piece.substr(cut));
    return Output();
  }

  TextView Finish() {
    used_ = 0;
    Decode(carry_);
    carry_.clear();
    return Output();
  }

  bool failed = false;
  bool ended = false;

 private:
  // The position just after the first CR LF that ends in piece (the CR may be the carry's last
  // byte), or npos.
  std::size_t FirstLineEnd(TextView piece) const {
    if (!carry_.empty() && carry_.back() == '\r' && !piece.empty()) return 1;
    const std::size_t cr = piece.find('\r');
    return cr == TextView::npos || cr + 1 >= piece.size() ? TextView::npos : cr + 2;
  }

  // The last place in bytes (which begin at the start of a pair) where a part may end.
  static std::size_t SafeCut(TextView bytes) {
    std::size_t lineStart = 0;
    std::size_t lineEnd = bytes.size();
    const std::size_t cr = bytes.rfind('\r');
    if (cr != TextView::npos && cr + 1 < bytes.size()) {
      lineStart = cr + 2;
    } else if (cr != TextView::npos) {
      // The last line's CR LF is cut after its CR: that line is taken up to before its end.
      lineEnd = cr;
      const std::size_t before = cr == 0 ? TextView::npos : bytes.rfind('\r', cr - 1);
      lineStart = before == TextView::npos ? 0 : before + 2;
    }
    const std::size_t length = lineEnd - lineStart;
    // Pairs of the line, leaving at least its last available character for the next part.
    return lineStart + (length == 0 ? 0 : (length - 1) & ~std::size_t{1});
  }

  void Decode(TextView part) {
    if (part.empty() || failed || ended) return;
    const std::size_t room = checkOnly_ ? 0 : part.size() / 2 + 1;
    if (used_ + room > capacity_) {
      const std::size_t capacity = std::max(used_ + room, 2 * capacity_);
      auto bigger = std::make_unique_for_overwrite<char[]>(capacity);
      if (used_ > 0) std::memcpy(bigger.get(), out_.get(), used_);
      out_ = std::move(bigger);
      capacity_ = capacity;
    }
    const DecodeWalk walk = DecodePart(part, keyValue_, checkOnly_ ? nullptr : out_.get() + used_);
    failed = !walk.ok;
    ended = walk.endedAtZero;
    if (!checkOnly_) used_ += walk.count;
  }

  TextView Output() const { return failed ? TextView() : TextView(out_.get(), used_); }

  std::uint8_t keyValue_;
  bool checkOnly_;
  std::string carry_;
  std::unique_ptr<char[]> out_;
  std::size_t capacity_ = 0;
  std::size_t used_ = 0;
};

DecryptStream::DecryptStream(TextView keyText, std::uint8_t keyValue, bool checkOnly)
    : legacy_(keyText), current_(std::make_unique<CurrentWalk>(keyValue, checkOnly)) {}

DecryptStream::~DecryptStream() = default;

void DecryptStream::Decide(bool atEnd) {
  legacyOpen_ = legacy_.Feed(head_, legacyOut_);
  if (atEnd) legacy_.Finish(legacyOut_);
  const bool isLegacy = BeginsWithLegacyMarker(legacyOut_);
  form_ = isLegacy ? Form::Legacy : Form::Current;
  if (isLegacy) {
    legacyOut_.erase(0, LegacyMarker.size());
  } else {
    legacyOut_.clear();
  }
}

TextView DecryptStream::Joined(TextView fromHead, TextView piece, bool atEnd) {
  // The head's bytes are copied before the walk's buffer is used again.
  joined_.assign(fromHead);
  head_.clear();
  joined_.append(atEnd ? current_->Finish() : current_->Feed(piece));
  return current_->failed ? TextView() : TextView(joined_);
}

TextView DecryptStream::Feed(TextView piece) {
  if (form_ == Form::Undecided) {
    const std::size_t take = std::min(piece.size(), kLegacyHeadSize - head_.size());
    head_.append(piece.substr(0, take));
    piece.remove_prefix(take);
    if (head_.size() < kLegacyHeadSize) return {};
    Decide(false);
    if (form_ == Form::Legacy) {
      if (legacyOpen_) legacyOpen_ = legacy_.Feed(piece, legacyOut_);
      return legacyOut_;
    }
    return Joined(current_->Feed(head_), piece, false);
  }
  if (form_ == Form::Legacy) {
    legacyOut_.clear();
    if (legacyOpen_) legacyOpen_ = legacy_.Feed(piece, legacyOut_);
    return legacyOut_;
  }
  return current_->Feed(piece);
}

TextView DecryptStream::Finish() {
  if (form_ == Form::Undecided) {
    Decide(true);
    if (form_ == Form::Legacy) return legacyOut_;
    return Joined(current_->Feed(head_), {}, true);
  }
  if (form_ == Form::Legacy) {
    legacyOut_.clear();
    legacy_.Finish(legacyOut_);
    return legacyOut_;
  }
  return current_->Finish();
}

bool DecryptStream::Failed() const {
  return form_ == Form::Current && current_->failed;
}

bool DecryptStream::Ended() const {
  switch (form_) {
    case Form::Legacy:
      return !legacyOpen_;
    case Form::Current:
      return current_->ended || current_->failed;
    case Form::Undecided:
      return false;
  }
  return false;
}

}  // namespace vellumo
