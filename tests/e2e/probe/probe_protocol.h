// What the driver and its probe DLL exchange: the probe runs inside the program under test
// (loaded there by a window hook) and answers questions that only that process can answer,
// such as which font a control draws with.
#pragma once

#include <windows.h>

namespace vellumo::e2e {

// Registered window message that asks the probe; wParam is the driver's process ID, which
// names the shared memory the answer goes to, lParam the question (ProbeQuery).
inline constexpr wchar_t kProbeMessage[] = L"VellumoE2EProbeQuery";
inline constexpr wchar_t kProbeMemoryPrefix[] = L"Local\\VellumoE2EProbe.";
inline constexpr char kProbeHookName[] = "ProbeCallWndProc";

enum ProbeQuery : LPARAM {
  kProbeFont = 0,
  kProbeMenu = 1,
  // Delivers WM_DPICHANGED to the window, as a move to a monitor of another DPI does; the new DPI
  // is the query's argument (ProbeQueryWith). Answers like kProbeFont afterwards.
  kProbeDpiChanged = 2,
  // Watches the window until it is destroyed: its text length at WM_DESTROY goes to the
  // ProbeDestroyWatch memory (kProbeWatchMemoryPrefix and the driver's process ID).
  kProbeWatchDestroy = 3,
};

// A query with an argument: the query in the low 8 bits, the argument above them.
inline constexpr LPARAM ProbeQueryWith(ProbeQuery query, LPARAM argument) {
  return query | (argument << 8);
}

inline constexpr wchar_t kProbeWatchMemoryPrefix[] = L"Local\\VellumoE2EProbeWatch.";
struct ProbeDestroyWatch {
  LONG armed;       // 1 once the probe watches the window
  LONG textLength;  // the window's text length at WM_DESTROY
  LONG destroyed;   // set to 1 last, once WM_DESTROY reached the window
};

// One entry of a menu, depth first: the menu bar's heads have depth 0, their items depth 1.
struct ProbeMenuItem {
  LONG depth;
  UINT id;
  UINT type;   // MFT_… (MFT_SEPARATOR)
  UINT state;  // MFS_… (MFS_DISABLED, MFS_CHECKED)
  BOOL hasSubmenu;
  WCHAR text[128];
};
inline constexpr LONG kProbeMaxMenuItems = 256;

struct ProbeAnswer {
  LONG answered;     // set to 1 by the probe last
  BOOL hasOwnFont;   // WM_GETFONT gave a font (0: the control draws with the system font)
  LOGFONTW logFont;  // the font as it was created
  WCHAR drawnFace[LF_FACESIZE];  // the face the system actually draws with (after substitution)
  LONG drawnHeight;              // TEXTMETRIC tmHeight of the drawn font, pixels
  LONG drawnAscent;
  LONG drawnAverageWidth;
  UINT windowDpi;  // GetDpiForWindow
  LONG awareness;  // the thread's DPI awareness (DPI_AWARENESS)
  BOOL hasMenu;    // the window has a menu bar (kProbeMenu)
  LONG menuCount;  // entries found; more than kProbeMaxMenuItems means `menu` was too small
  ProbeMenuItem menu[kProbeMaxMenuItems];
};

}  // namespace vellumo::e2e
