#include "app/win32/dpi.h"

#include <array>

#include "app/dpi_lookup.h"

namespace vellumo::win32 {
namespace {

// The Windows side of the DPI lookup: its types and the classic calls of every supported system.
struct Win32DpiApi {
  using Window = HWND;
  using Rect = RECT;
  using Metrics = NONCLIENTMETRICSW;
  using DpiForWindowFn = UINT(WINAPI*)(HWND);
  using DpiForSystemFn = UINT(WINAPI*)();
  using ParametersForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
  using MetricForDpiFn = int(WINAPI*)(int, UINT);
  using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static constexpr UINT kNonClientMetricsAction = SPI_GETNONCLIENTMETRICS;

  unsigned ScreenDpi() const {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<unsigned>(dpi) : 0;
  }
  Metrics EmptyMetrics() const {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    return metrics;
  }
  bool ClassicMetrics(Metrics& metrics) const {
    return SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  }
  int ClassicSystemMetric(int index) const { return GetSystemMetrics(index); }
  bool ClassicAdjust(Rect& rect, std::uint32_t style, bool menu, std::uint32_t exStyle) const {
    return AdjustWindowRectEx(&rect, style, menu, exStyle);
  }
};

// Looked up once, from user32.dll, which the program imports and so is always loaded.
const DpiLookup<Win32DpiApi>& Lookup() {
  static const DpiLookup<Win32DpiApi> lookup(Win32DpiApi{}, [](const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name));
  });
  return lookup;
}

int CALLBACK FoundFont(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FontInstalled(const wchar_t* face) {
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExW(dc, &lf, FoundFont, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return found;
}

// Centres the window across the monitor, its top at 1/topShare of the space left above and below.
void PlaceOnMonitor(HWND hwnd, const RECT& monitor, int topShare) {
  RECT window{};
  GetWindowRect(hwnd, &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  const int left = monitor.left + ((monitor.right - monitor.left) - width) / 2;
  const int top = monitor.top + ((monitor.bottom - monitor.top) - height) / topShare;
  SetWindowPos(hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

UINT DpiOf(HWND hwnd) {
  return Lookup().WindowDpi(hwnd);
}

bool PerMonitorDpi() {
  return Lookup().PerMonitor();
}

const std::wstring& GothicFaceName() {
  static const std::wstring face = [] {
    // The designed face first, then proportional Japanese Gothic faces found on Windows and on
    // Linux desktops (under Wine).
    const std::array<const wchar_t*, 9> candidates = {
        L"ＭＳ Ｐゴシック", L"MS PGothic",       L"Yu Gothic UI",
        L"Meiryo UI",       L"IPAPGothic",       L"IPAexGothic",
        L"VL PGothic",      L"Noto Sans CJK JP", L"Droid Sans Japanese"};
    for (const wchar_t* name : candidates) {
      if (FontInstalled(name)) return std::wstring(name);
    }
    return std::wstring(candidates[0]);  // let the font mapper choose a Shift_JIS font
  }();
  return face;
}

HFONT CreateNamedFont(const wchar_t* face, int designHeight, UINT dpi, bool bold, BYTE charSet) {
  LOGFONTW lf{};
  lf.lfHeight = -Scale(designHeight, dpi);
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = charSet;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
  return CreateFontIndirectW(&lf);
}

HFONT CreateGothicFont(int designHeight, UINT dpi, bool bold) {
  return CreateNamedFont(GothicFaceName().c_str(), designHeight, dpi, bold, SHIFTJIS_CHARSET);
}

NONCLIENTMETRICSW NonClientMetrics(UINT dpi) {
  return Lookup().NonClientMetrics(dpi);
}

int SystemMetricForDpi(int index, UINT dpi) {
  return Lookup().SystemMetric(index, dpi);
}

HFONT CreateMessageFont(UINT dpi) {
  const NONCLIENTMETRICSW metrics = NonClientMetrics(dpi);
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

void PlaceControl(HWND control, const DesignRect& place, UINT dpi) {
  MoveWindow(control, Scale(place.left, dpi), Scale(place.top, dpi), Scale(place.width, dpi),
             Scale(place.height, dpi), TRUE);
}

RECT MonitorRectOf(HWND window) {
  HMONITOR monitor = window ? MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY)
                            : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(monitor, &info);
  return info.rcMonitor;
}

RECT ActiveMonitorRect(HWND fallback) {
  HWND reference = GetActiveWindow();
  return MonitorRectOf(reference ? reference : fallback);
}

SIZE OuterSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, bool menu,
                        UINT dpi) {
  RECT r{0, 0, clientWidth, clientHeight};
  Lookup().AdjustWindowRect(r, style, menu, exStyle, dpi);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

void PlaceAtDesignPosition(HWND hwnd, int designLeft, int designTop, HWND reference) {
  const RECT monitor = ActiveMonitorRect(reference);
  RECT window{};
  GetWindowRect(hwnd, &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  const UINT dpi = DpiOf(hwnd);
  int left = monitor.left + Scale(designLeft, dpi);
  int top = monitor.top + Scale(designTop, dpi);
  if (left + width > monitor.right) left = monitor.right - width;
  if (top + height > monitor.bottom) top = monitor.bottom - height;
  if (left < monitor.left) left = monitor.left;
  if (top < monitor.top) top = monitor.top;
  SetWindowPos(hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FitWidthToText(HWND label, HFONT font) {
  wchar_t text[64];
  const int length = GetWindowTextW(label, text, 64);
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE extent{};
  GetTextExtentPoint32W(dc, text, length, &extent);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  RECT r{};
  GetWindowRect(label, &r);
  MapWindowPoints(nullptr, GetParent(label), reinterpret_cast<POINT*>(&r), 2);
  if (extent.cx > r.right - r.left) {
    MoveWindow(label, r.left, r.top, extent.cx, r.bottom - r.top, TRUE);
  }
}

void FollowDpiChange(HWND window, WPARAM wParam, LPARAM lParam,
                     const std::function<void(UINT dpi)>& layOut) {
  const auto* suggested = reinterpret_cast<const RECT*>(lParam);
  SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  layOut(HIWORD(wParam));
  RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

void PlaceHighOnMonitor(HWND hwnd, const RECT& monitor) {
  PlaceOnMonitor(hwnd, monitor, 3);
}

void CenterOnActiveMonitor(HWND hwnd, HWND reference) {
  PlaceOnMonitor(hwnd, ActiveMonitorRect(reference), 2);
}

}  // namespace vellumo::win32
