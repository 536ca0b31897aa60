// The DPI lookup: on a system without the per-monitor calls (Windows 7 SP1 to 8.1) every answer
// comes from the system DPI and the classic calls; where the per-monitor calls are there but
// fail, the classic answer stands in as well.
#include "app/dpi_lookup.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

namespace vellumo {
namespace {

struct FakeRect {
  int left, top, right, bottom;
  bool operator==(const FakeRect&) const = default;
};

struct FakeMetrics {
  unsigned size = 0;  // set by EmptyMetrics, as cbSize is
  int captionHeight = 0;
  int messageFontHeight = 0;
  bool operator==(const FakeMetrics&) const = default;
};

constexpr FakeMetrics kClassicMetrics{sizeof(FakeMetrics), 22, -12};
constexpr FakeMetrics kMetricsAt144{sizeof(FakeMetrics), 33, -18};

// What the per-monitor calls answer in a test; reset by each rig.
struct PerMonitorAnswers {
  unsigned systemDpi = 144;
  bool parametersSucceed = true;
  bool adjustSucceeds = true;
  std::map<std::string, unsigned> windowDpis;  // windows of the test by name; others answer 0
};
PerMonitorAnswers answers;

unsigned FakeDpiForWindow(const char* window) {
  const auto it = answers.windowDpis.find(window);
  return it == answers.windowDpis.end() ? 0 : it->second;
}
unsigned FakeDpiForSystem() {
  return answers.systemDpi;
}
int FakeParametersForDpi(unsigned action, unsigned size, void* data, unsigned, unsigned dpi) {
  auto* metrics = static_cast<FakeMetrics*>(data);
  EXPECT_EQ(action, 41u);
  EXPECT_EQ(size, sizeof(FakeMetrics));
  EXPECT_EQ(metrics->size, sizeof(FakeMetrics)) << "the size field is set before the call";
  metrics->captionHeight = -1;  // a failing call may leave the structure half written
  if (!answers.parametersSucceed || dpi != 144) return 0;
  *metrics = kMetricsAt144;
  return 1;
}
int FakeMetricForDpi(int index, unsigned dpi) {
  return index * 1000 + static_cast<int>(dpi);
}
int FakeAdjustForDpi(FakeRect* rect, std::uint32_t, int, std::uint32_t, unsigned dpi) {
  rect->left = -999;  // a failing call may leave the rectangle half written
  if (!answers.adjustSucceeds) return 0;
  *rect = {-12, -45, 112, 112};
  EXPECT_EQ(dpi, 144u);
  return 1;
}

// The classic calls: a screen of screenDpi, a frame of 8 pixels and a caption of 22.
struct FakeApi {
  using Window = const char*;
  using Rect = FakeRect;
  using Metrics = FakeMetrics;
  using DpiForWindowFn = unsigned (*)(const char*);
  using DpiForSystemFn = unsigned (*)();
  using ParametersForDpiFn = int (*)(unsigned, unsigned, void*, unsigned, unsigned);
  using MetricForDpiFn = int (*)(int, unsigned);
  using AdjustForDpiFn = int (*)(FakeRect*, std::uint32_t, int, std::uint32_t, unsigned);
  static constexpr unsigned kNonClientMetricsAction = 41;

  unsigned screenDpi = 120;

  unsigned ScreenDpi() const { return screenDpi; }
  Metrics EmptyMetrics() const { return {sizeof(FakeMetrics), 0, 0}; }
  bool ClassicMetrics(Metrics& metrics) const {
    EXPECT_EQ(metrics, EmptyMetrics()) << "the classic call starts from an empty structure";
    metrics = kClassicMetrics;
    return true;
  }
  int ClassicSystemMetric(int index) const { return index * 1000; }
  bool ClassicAdjust(Rect& rect, std::uint32_t, bool menu, std::uint32_t) const {
    EXPECT_EQ(rect, (FakeRect{0, 0, 100, 100})) << "the classic call starts from the client";
    rect = {-8, menu ? -50 : -30, 108, 108};
    return true;
  }
};

using Lookup = DpiLookup<FakeApi>;

// Which per-monitor functions the system has, by name.
Lookup::Resolve SystemWith(const std::map<std::string, void*>& functions) {
  return [functions](const char* name) -> void* {
    const auto it = functions.find(name);
    return it == functions.end() ? nullptr : it->second;
  };
}

const std::map<std::string, void*> kWindows10 = {
    {"GetDpiForWindow", reinterpret_cast<void*>(&FakeDpiForWindow)},
    {"GetDpiForSystem", reinterpret_cast<void*>(&FakeDpiForSystem)},
    {"SystemParametersInfoForDpi", reinterpret_cast<void*>(&FakeParametersForDpi)},
    {"GetSystemMetricsForDpi", reinterpret_cast<void*>(&FakeMetricForDpi)},
    {"AdjustWindowRectExForDpi", reinterpret_cast<void*>(&FakeAdjustForDpi)},
};

class DpiLookupTest : public ::testing::Test {
 protected:
  void SetUp() override { answers = PerMonitorAnswers{}; }
};

TEST_F(DpiLookupTest, WithoutThePerMonitorCallsEverythingIsAtTheSystemDpi) {
  const Lookup lookup(FakeApi{}, SystemWith({}));
  EXPECT_FALSE(lookup.PerMonitor());
  EXPECT_EQ(lookup.SystemDpi(), 120u) << "the screen's LOGPIXELSX";
  EXPECT_EQ(lookup.WindowDpi("main"), 120u);
  EXPECT_EQ(lookup.WindowDpi(nullptr), 120u);
  EXPECT_EQ(lookup.NonClientMetrics(144), kClassicMetrics);
  EXPECT_EQ(lookup.SystemMetric(11, 144), 11000);
  FakeRect rect{0, 0, 100, 100};
  lookup.AdjustWindowRect(rect, 0, true, 0, 144);
  EXPECT_EQ(rect, (FakeRect{-8, -50, 108, 108}));
}

TEST_F(DpiLookupTest, SystemDpiComesFromTheFirstSourceThatAnswers) {
  struct Case {
    const char* what;
    bool dpiForSystem;
    unsigned dpiForSystemAnswer;
    unsigned screenDpi;
    unsigned expected;
  };
  const Case cases[] = {
      {"GetDpiForSystem", true, 144, 120, 144},
      {"GetDpiForSystem answers 0: the screen", true, 0, 120, 120},
      {"no GetDpiForSystem: the screen", false, 144, 120, 120},
      {"nothing answers: 96", false, 0, 0, 96},
  };
  for (const Case& c : cases) {
    answers.systemDpi = c.dpiForSystemAnswer;
    std::map<std::string, void*> functions;
    if (c.dpiForSystem) functions["GetDpiForSystem"] = reinterpret_cast<void*>(&FakeDpiForSystem);
    FakeApi api;
    api.screenDpi = c.screenDpi;
    EXPECT_EQ(Lookup(api, SystemWith(functions)).SystemDpi(), c.expected) << c.what;
  }
}

TEST_F(DpiLookupTest, WindowsHaveTheirOwnDpiWhereTheSystemGivesIt) {
  answers.windowDpis = {{"on the second monitor", 192}};
  const Lookup lookup(FakeApi{}, SystemWith(kWindows10));
  EXPECT_TRUE(lookup.PerMonitor());
  EXPECT_EQ(lookup.WindowDpi("on the second monitor"), 192u);
  EXPECT_EQ(lookup.WindowDpi("gone"), 144u) << "GetDpiForWindow answers 0: the system DPI";
  EXPECT_EQ(lookup.WindowDpi(nullptr), 144u);
}

TEST_F(DpiLookupTest, PerMonitorMetricsAndFramesWithTheClassicOnesWhereACallFails) {
  const Lookup lookup(FakeApi{}, SystemWith(kWindows10));
  EXPECT_EQ(lookup.NonClientMetrics(144), kMetricsAt144);
  EXPECT_EQ(lookup.NonClientMetrics(96), kClassicMetrics) << "refused: nothing half written";
  EXPECT_EQ(lookup.SystemMetric(11, 144), 11144);
  FakeRect rect{0, 0, 100, 100};
  lookup.AdjustWindowRect(rect, 0, true, 0, 144);
  EXPECT_EQ(rect, (FakeRect{-12, -45, 112, 112}));

  answers.parametersSucceed = false;
  answers.adjustSucceeds = false;
  EXPECT_EQ(lookup.NonClientMetrics(144), kClassicMetrics);
  rect = {0, 0, 100, 100};
  lookup.AdjustWindowRect(rect, 0, false, 0, 144);
  EXPECT_EQ(rect, (FakeRect{-8, -30, 108, 108})) << "from the client rectangle, not the ruins";
}

}  // namespace
}  // namespace vellumo
