#include "platform/secret.h"

namespace vellumo {

void SecureWipe(void* data, std::size_t size) {
  // Writes through a volatile pointer are observable behaviour, so they cannot be elided.
  volatile unsigned char* p = static_cast<volatile unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i)
    p[i] = 0;
}

}  // namespace vellumo
