#include <sys/time.h>

#include <ctime>

#include "platform/clock.h"

namespace vellumo {
namespace {

class PosixClock final : public IClock {
 public:
  std::uint32_t MillisecondsSinceMidnightUtc() override {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const auto secondsOfDay = static_cast<std::uint32_t>(now.tv_sec % 86400);
    return secondsOfDay * 1000u + static_cast<std::uint32_t>(now.tv_nsec / 1000000);
  }

  LocalDateTime LocalNow() override {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    return {local.tm_year + 1900,
            local.tm_mon + 1,
            local.tm_mday,
            local.tm_hour,
            local.tm_min,
            local.tm_sec,
            static_cast<int>(now.tv_nsec / 1000000)};
  }
};

}  // namespace

IClock& SystemClock() {
  static PosixClock clock;
  return clock;
}

}  // namespace vellumo
