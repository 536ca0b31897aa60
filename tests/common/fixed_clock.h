// A clock that tells whatever time the test sets: the UTC milliseconds that seed an encryption
// and the local time that names a new document.
#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace vellumo::testing {

class FixedClock final : public IClock {
 public:
  std::uint32_t utcMilliseconds = 0;
  LocalDateTime local{2026, 12, 6, 20, 17, 0, 0};
  std::uint32_t MillisecondsSinceMidnightUtc() override { return utcMilliseconds; }
  LocalDateTime LocalNow() override { return local; }
};

}  // namespace vellumo::testing
