// The clipboard, reached through the application's own window: plain text as code page 932.
#pragma once

#include "editor/clipboard.h"

namespace vellumo::win32 {

class Clipboard final : public IClipboard {
 public:
  void SetClipboardText(TextView text) override;
  Text GetClipboardText() override;
};

}  // namespace vellumo::win32
