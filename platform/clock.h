// The clock port: UTC milliseconds since midnight (seeds the cipher) and the local date and time
// (names new documents). Tests substitute a fixed clock.
#pragma once

#include <cstdint>

namespace vellumo {

struct LocalDateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

class IClock {
 public:
  virtual ~IClock() = default;
  // ((hour * 60 + minute) * 60 + second) * 1000 + millisecond of the current UTC time.
  virtual std::uint32_t MillisecondsSinceMidnightUtc() = 0;
  virtual LocalDateTime LocalNow() = 0;
};

// The platform's real clock.
IClock& SystemClock();

}  // namespace vellumo
