#include "app/failure_text.h"

namespace vellumo {

std::string FailureText(std::string message) {
  if (message.empty()) return message;
  // Step back over UTF-8 continuation bytes to the lead byte of the last character.
  std::size_t last = message.size() - 1;
  while (last > 0 && (static_cast<unsigned char>(message[last]) & 0xC0) == 0x80)
    --last;
  if (static_cast<unsigned char>(message[last]) > static_cast<unsigned char>('.')) message += '.';
  return message;
}

}  // namespace vellumo
