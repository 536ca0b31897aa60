// The failure test of iconv_open, whose failure value is the handle -1.
#pragma once

#include <iconv.h>

namespace vellumo {

inline bool IconvOpenFailed(iconv_t cd) {
  return cd == reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)
}

}  // namespace vellumo
