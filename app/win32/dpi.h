// Layout helpers for windows designed at 96 dots per inch: scaling by the window's DPI, the
// Japanese Gothic font (with a stand-in where the designed one is missing), the placement of
// fixed-position windows on the monitor of the active window, and following a change of DPI. The
// per-monitor DPI calls are looked up at run time (Windows 10 version 1607 on); before, everything
// is at the system DPI.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace vellumo::win32 {

inline constexpr UINT kDesignDpi = 96;

// The DPI of a window (or of the system when the window is null).
UINT DpiOf(HWND hwnd);
// Whether this system gives windows a DPI of their own (GetDpiForWindow is there).
bool PerMonitorDpi();

// A design measure (pixels at 96 DPI) at the given DPI.
inline int Scale(int designPixels, UINT dpi) {
  return MulDiv(designPixels, static_cast<int>(dpi), kDesignDpi);
}

// The face name of the proportional Japanese Gothic font to use: "ＭＳ Ｐゴシック" when installed,
// otherwise the first proportional Japanese Gothic font found.
const std::wstring& GothicFaceName();

// A font of the proportional Japanese Gothic face with the given character height (design
// pixels at 96 DPI), scaled to dpi. The caller owns it (see GdiFont).
HFONT CreateGothicFont(int designHeight, UINT dpi, bool bold = false);
HFONT CreateNamedFont(const wchar_t* face, int designHeight, UINT dpi, bool bold, BYTE charSet);

// The system's non-client metrics (caption, menu, status and message fonts) at dpi.
NONCLIENTMETRICSW NonClientMetrics(UINT dpi);
// One of the system's metrics (an SM_ index of GetSystemMetrics) at dpi.
int SystemMetricForDpi(int index, UINT dpi);
// The system's message-box font at dpi.
HFONT CreateMessageFont(UINT dpi);

// Owns one GDI font.
class GdiFont {
 public:
  GdiFont() = default;
  explicit GdiFont(HFONT font) : font_(font) {}
  ~GdiFont() { Reset(); }
  GdiFont(const GdiFont&) = delete;
  GdiFont& operator=(const GdiFont&) = delete;
  void Reset(HFONT font = nullptr) {
    if (font_) DeleteObject(font_);
    font_ = font;
  }
  HFONT Get() const { return font_; }

 private:
  HFONT font_ = nullptr;
};

// A control's place in its window's client area, in pixels at 96 DPI.
struct DesignRect {
  int left, top, width, height;
};
// Moves a control to its design place scaled to dpi.
void PlaceControl(HWND control, const DesignRect& place, UINT dpi);

// The monitor that shows window (the primary one when there is none).
RECT MonitorRectOf(HWND window);
// The monitor that shows the active window (or fallback's).
RECT ActiveMonitorRect(HWND fallback);

// Outer size of a window whose client area is clientWidth x clientHeight at dpi.
SIZE OuterSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, bool menu,
                        UINT dpi);

// Places a window at a fixed design position (left, top at 96 DPI) relative to the top-left of
// the monitor of the active window, moved left or up where it would stick out past that
// monitor's right or bottom edge.
void PlaceAtDesignPosition(HWND hwnd, int designLeft, int designTop, HWND reference);

// Widens a one-line label to its text when the font draws the text wider than the label's box
// (a stand-in for the designed face may), keeping its left and top.
void FitWidthToText(HWND label, HFONT font);

// Centres a window on the monitor of the active window.
void CenterOnActiveMonitor(HWND hwnd, HWND reference);
// Centres a window horizontally on a monitor, its top a third of the spare height down.
void PlaceHighOnMonitor(HWND hwnd, const RECT& monitor);

// The one way every window follows a move to a monitor of another DPI (WM_DPICHANGED): it takes
// the place the system suggests, layOut lays it out again at the new DPI (a window of fixed size
// sizes itself there, keeping the top-left corner), and it is drawn again, erased first, so that
// no control keeps bits of its old drawing.
void FollowDpiChange(HWND window, WPARAM wParam, LPARAM lParam,
                     const std::function<void(UINT dpi)>& layOut);

}  // namespace vellumo::win32
