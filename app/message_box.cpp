#include "app/message_box.h"

#include <array>

#include "app/app_title.h"

namespace vellumo {
namespace {

constexpr std::array<MessageButtonInfo, kMessageButtonCount> kButtons{{
    {MessageButton::Yes, "はい(&Y)", kResultYes},
    {MessageButton::No, "いいえ(&N)", kResultNo},
    {MessageButton::OK, "OK", kResultOk},
    {MessageButton::Cancel, "キャンセル", kResultCancel},
    {MessageButton::Abort, "中止(&A)", kResultAbort},
    {MessageButton::Retry, "再試行(&R)", kResultRetry},
    {MessageButton::Ignore, "無視(&I)", kResultIgnore},
    {MessageButton::All, "すべて(&A)", kResultAll},
    {MessageButton::NoToAll, "すべていいえ(&O)", kResultNoToAll},
    {MessageButton::YesToAll, "すべてはい(&A)", kResultYesToAll},
    {MessageButton::Help, "ヘルプ(&H)", kResultNone},
}};

bool Has(MessageButtons set, MessageButton b) {
  return (set & ButtonBit(b)) != 0;
}

}  // namespace

const MessageButtonInfo& ButtonInfo(MessageButton button) {
  return kButtons[static_cast<std::size_t>(button)];
}

std::vector<MessageButton> ButtonsShown(MessageButtons set) {
  std::vector<MessageButton> shown;
  for (const auto& info : kButtons) {
    if (Has(set, info.button)) shown.push_back(info.button);
  }
  return shown;
}

std::optional<MessageButton> DefaultButton(MessageButtons set) {
  for (const auto b : {MessageButton::OK, MessageButton::Yes, MessageButton::Retry}) {
    if (Has(set, b)) return b;
  }
  return std::nullopt;
}

std::optional<MessageButton> CancelButton(MessageButtons set) {
  for (const auto b : {MessageButton::Cancel, MessageButton::No, MessageButton::OK}) {
    if (Has(set, b)) return b;
  }
  return std::nullopt;
}

std::string KindCaption(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning:
      return "警告";
    case MessageKind::Error:
      return "エラー";
    case MessageKind::Information:
      return "情報";
    case MessageKind::Confirmation:
      return "確認";
    case MessageKind::Custom:
      break;
  }
  return kAppTitle;
}

int KindIconId(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning:
      return 32515;  // IDI_EXCLAMATION
    case MessageKind::Error:
      return 32513;  // IDI_HAND
    case MessageKind::Information:
      return 32516;  // IDI_ASTERISK
    case MessageKind::Confirmation:
      return 32514;  // IDI_QUESTION
    case MessageKind::Custom:
      break;
  }
  return 0;
}

}  // namespace vellumo
