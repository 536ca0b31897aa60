// The program's own message box: a window built afresh for each call with the kind's caption and
// icon, the text word-wrapped, and one push button per button of the set, all of one width.
#pragma once

#include "app/message_box.h"

namespace vellumo::win32 {

class MessageBoxes final : public IMessageBoxes {
 public:
  int ShowMessageBox(const std::string& text, MessageKind kind, MessageButtons buttons,
                     int helpContext) override;
};

}  // namespace vellumo::win32
