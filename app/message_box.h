// The message box model: kinds, the button set, captions, results, and which buttons Enter and
// Escape press. The window that shows it is platform code; this part decides what it shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vellumo {

enum class MessageKind { Warning = 0, Error = 1, Information = 2, Confirmation = 3, Custom = 4 };

// Bit numbers of the button set; buttons are always laid out in this order.
enum class MessageButton {
  Yes,
  No,
  OK,
  Cancel,
  Abort,
  Retry,
  Ignore,
  All,
  NoToAll,
  YesToAll,
  Help
};
inline constexpr int kMessageButtonCount = 11;

using MessageButtons = std::uint16_t;
constexpr MessageButtons ButtonBit(MessageButton b) {
  return static_cast<MessageButtons>(1u << static_cast<unsigned>(b));
}

// Results a box answers (the button's result, or kResultCancel when closed otherwise).
inline constexpr int kResultNone = 0;
inline constexpr int kResultOk = 1;
inline constexpr int kResultCancel = 2;
inline constexpr int kResultAbort = 3;
inline constexpr int kResultRetry = 4;
inline constexpr int kResultIgnore = 5;
inline constexpr int kResultYes = 6;
inline constexpr int kResultNo = 7;
inline constexpr int kResultAll = 8;
inline constexpr int kResultNoToAll = 9;
inline constexpr int kResultYesToAll = 10;

// The two forms the program uses.
inline constexpr MessageButtons kOkCancel =
    ButtonBit(MessageButton::OK) | ButtonBit(MessageButton::Cancel);
inline constexpr MessageButtons kOkOnly = ButtonBit(MessageButton::OK);

struct MessageButtonInfo {
  MessageButton button;
  const char* caption;  // UTF-8; "&" marks the access key
  int result;           // kResultNone for Help, which does not close the box
};

const MessageButtonInfo& ButtonInfo(MessageButton button);

// The buttons of a set, in table order.
std::vector<MessageButton> ButtonsShown(MessageButtons set);

// Enter presses this one unless another button has the focus: OK, else Yes, else Retry.
std::optional<MessageButton> DefaultButton(MessageButtons set);
// Escape presses this one: Cancel, else No, else OK.
std::optional<MessageButton> CancelButton(MessageButtons set);

// The box caption of a kind; the custom kind carries the application title.
std::string KindCaption(MessageKind kind);

// Standard icon resource number of a kind (IDI_EXCLAMATION, IDI_HAND, ...); 0 for none.
int KindIconId(MessageKind kind);

// The shared message box service, implemented by the platform's box window.
class IMessageBoxes {
 public:
  virtual ~IMessageBoxes() = default;
  // Shows a modal box and answers the result of the button that closed it. text is UTF-8 and may
  // hold CR LF line breaks.
  virtual int ShowMessageBox(const std::string& text, MessageKind kind, MessageButtons buttons,
                             int helpContext) = 0;
};

}  // namespace vellumo
