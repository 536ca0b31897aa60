// Overwrites memory that held key material in a way the optimizer may not remove.
#pragma once

#include <cstddef>
#include <string>

namespace vellumo {

void SecureWipe(void* data, std::size_t size);

// Wipes the whole capacity of a string, then empties it.
inline void SecureWipe(std::string& s) {
  s.resize(s.capacity());
  SecureWipe(s.data(), s.size());
  s.clear();
}

}  // namespace vellumo
