// The text that encrypt works on. It is gone through twice, in pieces of whole lines: once to
// check it whole before anything is written, once to encrypt it. A named file is read twice
// through a small buffer that stays in cache instead of being held whole; standard input and
// text converted from UTF-8 are held whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "cipher/text.h"
#include "cli/options.h"

namespace vellumo {

// Bytes per piece: whole lines of the encrypted form (64 bytes each).
inline constexpr std::size_t kPlainPiece = std::size_t{2048} * 64;

class PlainSource {
 public:
  virtual ~PlainSource() = default;
  // Calls visit with the text's consecutive pieces, kPlainPiece bytes each but the last, until
  // the end or until visit answers false. Throws FileFailure.
  virtual void ForEachPiece(const std::function<bool(TextView)>& visit) = 0;
};

// The input that options name, converted from UTF-8 when asked. Throws FileFailure, or
// CliError for UTF-8 that does not convert.
std::unique_ptr<PlainSource> OpenPlainSource(const CliOptions& options);

// Where offset lies in the source, for messages: "line L, byte B".
std::string PositionIn(PlainSource& source, std::uint64_t offset);
// The same for a text held whole.
std::string PositionOf(TextView text, std::size_t offset);

}  // namespace vellumo
