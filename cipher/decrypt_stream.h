// Decryption of a text that arrives in pieces, in constant memory, with the bytes and the answer
// of DecryptUnderKey under a key that is not empty: the legacy form first, then the current form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "cipher/codec.h"
#include "cipher/text.h"

namespace vellumo {

// The text is given as the text-file reading rules deliver it: every CR is followed by an LF.
// Pieces may be cut anywhere.
class DecryptStream {
 public:
  // keyText (not empty) must outlive the stream; keyValue is its KeyBytes value. A stream that
  // only checks tells whether the text decodes and may give no bytes of the current form.
  DecryptStream(TextView keyText, std::uint8_t keyValue, bool checkOnly = false);
  ~DecryptStream();
  DecryptStream(const DecryptStream&) = delete;
  DecryptStream& operator=(const DecryptStream&) = delete;

  // The decrypted bytes that the next piece completes, valid until the next call. Nothing once
  // the text has failed to decode.
  TextView Feed(TextView piece);
  // The decrypted bytes that the end of the text completes.
  TextView Finish();
  // A pair of the current form does not decode: the whole text fails.
  bool Failed() const;
  // The walk has ended at a zero byte: nothing that follows changes the result.
  bool Ended() const;

 private:
  class CurrentWalk;
  enum class Form { Undecided, Legacy, Current };
  void Decide(bool atEnd);
  // The bytes decoded from the head, then those of the rest of the piece, or of the end.
  TextView Joined(TextView fromHead, TextView piece, bool atEnd);

  Form form_ = Form::Undecided;
  Text head_;  // the text's first characters, while the form is undecided
  LegacyWalk legacy_;
  bool legacyOpen_ = true;
  Text legacyOut_;
  std::unique_ptr<CurrentWalk> current_;
  Text joined_;
};

}  // namespace vellumo
