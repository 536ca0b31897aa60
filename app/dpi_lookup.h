// The per-monitor DPI calls of Windows 10 version 1607 and later, found by name when the program
// starts, and what stands in for each where the system lacks them (Windows 7 SP1 to 8.1).
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

namespace vellumo {

// Api names the platform's types and makes its classic calls, which every supported system has
// (app/win32/dpi.cpp; a fake in the unit tests):
//   Window, Rect, Metrics; the function pointer types DpiForWindowFn, DpiForSystemFn,
//   ParametersForDpiFn, MetricForDpiFn, AdjustForDpiFn; kNonClientMetricsAction;
//   unsigned ScreenDpi(), Metrics EmptyMetrics(), bool ClassicMetrics(Metrics&),
//   int ClassicSystemMetric(int), bool ClassicAdjust(Rect&, uint32_t, bool, uint32_t).
//
// Where the per-monitor calls are missing, the program runs system-DPI aware (the manifest's
// dpiAware element): every window is at the system DPI, and the classic calls answer for it.
template <class Api>
class DpiLookup {
 public:
  using Window = typename Api::Window;
  using Rect = typename Api::Rect;
  using Metrics = typename Api::Metrics;
  // Answers the address of a function by name, or null where the system lacks it.
  using Resolve = std::function<void*(const char* name)>;

  static constexpr unsigned kDefaultDpi = 96;

  DpiLookup(Api api, const Resolve& resolve)
      : api_(std::move(api)),
        dpiForWindow_(Find<typename Api::DpiForWindowFn>(resolve, "GetDpiForWindow")),
        dpiForSystem_(Find<typename Api::DpiForSystemFn>(resolve, "GetDpiForSystem")),
        parametersForDpi_(
            Find<typename Api::ParametersForDpiFn>(resolve, "SystemParametersInfoForDpi")),
        metricForDpi_(Find<typename Api::MetricForDpiFn>(resolve, "GetSystemMetricsForDpi")),
        adjustForDpi_(Find<typename Api::AdjustForDpiFn>(resolve, "AdjustWindowRectExForDpi")) {}

  // Whether windows can have a DPI of their own (the per-monitor calls are there).
  bool PerMonitor() const { return dpiForWindow_ != nullptr; }

  // The system DPI: GetDpiForSystem, otherwise the screen's LOGPIXELSX; 96 where neither answers.
  unsigned SystemDpi() const {
    unsigned dpi = dpiForSystem_ ? dpiForSystem_() : 0;
    if (dpi == 0) dpi = api_.ScreenDpi();
    return dpi ? dpi : kDefaultDpi;
  }

  // The DPI of a window: GetDpiForWindow, otherwise (and for no window) the system DPI.
  unsigned WindowDpi(Window window) const {
    const unsigned dpi = window && dpiForWindow_ ? dpiForWindow_(window) : 0;
    return dpi ? dpi : SystemDpi();
  }

  // The caption, menu, status and message fonts and sizes at dpi.
  Metrics NonClientMetrics(unsigned dpi) const {
    Metrics metrics = api_.EmptyMetrics();
    if (parametersForDpi_ &&
        parametersForDpi_(Api::kNonClientMetricsAction, sizeof(Metrics), &metrics, 0, dpi)) {
      return metrics;
    }
    metrics = api_.EmptyMetrics();
    api_.ClassicMetrics(metrics);
    return metrics;
  }

  // One of the system's metrics (GetSystemMetrics' index) at dpi.
  int SystemMetric(int index, unsigned dpi) const {
    return metricForDpi_ ? metricForDpi_(index, dpi) : api_.ClassicSystemMetric(index);
  }

  // Grows a client rectangle to the window's outer frame at dpi.
  void AdjustWindowRect(Rect& rect, std::uint32_t style, bool menu, std::uint32_t exStyle,
                        unsigned dpi) const {
    const Rect client = rect;
    if (adjustForDpi_ && adjustForDpi_(&rect, style, menu, exStyle, dpi)) return;
    rect = client;
    api_.ClassicAdjust(rect, style, menu, exStyle);
  }

 private:
  template <class Fn>
  static Fn Find(const Resolve& resolve, const char* name) {
    return reinterpret_cast<Fn>(resolve(name));
  }

  Api api_;
  typename Api::DpiForWindowFn dpiForWindow_;
  typename Api::DpiForSystemFn dpiForSystem_;
  typename Api::ParametersForDpiFn parametersForDpi_;
  typename Api::MetricForDpiFn metricForDpi_;
  typename Api::AdjustForDpiFn adjustForDpi_;
};

}  // namespace vellumo
