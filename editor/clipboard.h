// The clipboard port: plain text (CF_TEXT, code page 932) only.
#pragma once

#include "app/failure.h"
#include "cipher/text.h"

namespace vellumo {

inline constexpr const char* kClipboardOpenFailure = "クリップボードを開くことができません";

// Raised by the port when the platform refuses to open the clipboard.
[[noreturn]] inline void RaiseClipboardOpenFailure() {
  throw Failure(kClipboardOpenFailure);
}

class IClipboard {
 public:
  virtual ~IClipboard() = default;
  // Opens the clipboard, empties it, puts text (which holds no zero byte) as its only content,
  // and closes it again, also on failure. An empty text leaves an empty CF_TEXT.
  virtual void SetClipboardText(TextView text) = 0;
  // Opens the clipboard, takes its CF_TEXT up to the first zero byte (empty when there is none)
  // and closes it.
  virtual Text GetClipboardText() = 0;
};

}  // namespace vellumo
