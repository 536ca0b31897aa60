#include <windows.h>

#include "platform/clock.h"

namespace vellumo {
namespace {

class Win32Clock final : public IClock {
 public:
  std::uint32_t MillisecondsSinceMidnightUtc() override {
    SYSTEMTIME t{};
    GetSystemTime(&t);
    return ((static_cast<std::uint32_t>(t.wHour) * 60u + t.wMinute) * 60u + t.wSecond) * 1000u +
           t.wMilliseconds;
  }

  LocalDateTime LocalNow() override {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
  }
};

}  // namespace

IClock& SystemClock() {
  static Win32Clock clock;
  return clock;
}

}  // namespace vellumo
