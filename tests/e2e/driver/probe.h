// Questions only the program under test can answer (a control's font, a window's DPI, its
// menus), asked through the probe DLL that a window hook loads into it for the moment of the
// question. Under Wine, GDI objects and menus cannot be read from another process.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace vellumo::e2e {

struct FontInfo {
  bool ownFont = false;  // the control was given a font (WM_SETFONT); else the system font
  std::wstring face;     // as created, e.g. "ＭＳ Ｐゴシック"
  LONG height = 0;       // as created (LOGFONT lfHeight: negative = character height)
  LONG weight = 0;
  bool italic = false;
  BYTE charSet = 0;
  std::wstring drawnFace;  // the face the system really draws with (a substitute under Wine)
  LONG drawnHeight = 0;    // the drawn font's cell height (TEXTMETRIC tmHeight)
};

struct ProbeResult {
  FontInfo font;
  UINT windowDpi = 0;   // GetDpiForWindow
  LONG awareness = -1;  // DPI_AWARENESS of the window's thread
};

// Asks the probe about `window`. Ends the scenario when the probe cannot be loaded.
ProbeResult Probe(HWND window);
// Delivers WM_DPICHANGED for `dpi` to `window` from inside the program, as a move to a monitor of
// that DPI would, then asks the probe about it as Probe does.
ProbeResult ProbeAfterDpiChange(HWND window, UINT dpi);

// Watches a window of the program under test from inside it until the window is destroyed, and
// tells what length its text had then. Keep the watch alive until the program has ended.
class DestroyWatch {
 public:
  explicit DestroyWatch(HWND window);
  ~DestroyWatch();
  DestroyWatch(const DestroyWatch&) = delete;
  DestroyWatch& operator=(const DestroyWatch&) = delete;
  // The text length at WM_DESTROY; nothing while the window has not been destroyed.
  std::optional<int> TextLengthAtDestroy() const;

 private:
  HANDLE mapping_ = nullptr;
  void* view_ = nullptr;
  HHOOK hook_ = nullptr;
};
inline FontInfo FontOf(HWND window) {
  return Probe(window).font;
}

struct MenuItem {
  int depth = 0;  // 0 for the heads of the menu bar, 1 for their items, and so on
  UINT id = 0;
  std::wstring text;  // caption, a tab and the shortcut text, as given to the menu
  bool separator = false;
  bool submenu = false;
  bool disabled = false;  // disabled or greyed
  bool checked = false;
};
// The window's menu bar, depth first (each head followed by its items); empty without one.
std::vector<MenuItem> MenuOf(HWND window);

// The dots per inch the driver sees for the screen (144 in the high-DPI pass).
UINT ScreenDpi();
// The DPI that the run script set for this pass (E2E_DPI, default 96).
UINT ExpectedDpi();
// A length designed at 96 DPI as it should be at ExpectedDpi (MulDiv, rounded).
int Scaled96(int pixels);

}  // namespace vellumo::e2e
