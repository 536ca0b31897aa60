// Scenarios on the main window: its layout and fonts (also at 144 DPI), the edit area's keys, the
// menu bar with its captions and shortcut texts, the status-line hints of the tool bar buttons
// and the menu items, and the tooltips of the tool bar buttons.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/e2e/driver/e2e.h"

namespace vellumo::e2e {
namespace {

constexpr wchar_t kTooltipClass[] = L"THintWindow";

// The program's one tooltip window, hidden or not.
HWND Tooltip(const Editor& editor) {
  return WaitForValue<HWND>("the tooltip window", [&]() -> std::optional<HWND> {
    HWND tip = FindTopWindow(editor.app, {.className = kTooltipClass, .visibleOnly = false});
    return tip ? std::optional<HWND>(tip) : std::nullopt;
  });
}

bool TooltipShows(HWND tip, std::wstring_view text) {
  return IsShown(tip) && TextOf(tip) == text;
}

// Below the program's 500 ms tooltip delay.
constexpr Millis kAtOnceBound{450};

// Moves the pointer onto tool bar button `number` and checks that its tooltip shows at once:
// seen within kAtOnceBound of asking for the move. The program cannot have seen the move before
// that moment, so a tooltip that waits for the delay shows at the earliest 500 ms after it and
// cannot pass; the bound is not stretched by E2E_TIMEOUT_SCALE for that reason.
void CheckTooltipAtOnce(const Editor& editor, HWND tip, int number, const std::string& when) {
  using Clock = std::chrono::steady_clock;
  const ToolButton& button = kToolButtons[number - 1];
  const std::string what =
      "the tooltip " + Describe(std::wstring(button.shortHint)) + " at once " + when;
  const auto movedAt = Clock::now();
  const auto deadline = movedAt + kAtOnceBound;
  MoveMouse(ToolButtonPoint(editor, number));
  std::optional<Clock::time_point> seenAt;
  PollUntil(
      [&] {
        if (TooltipShows(tip, button.shortHint)) seenAt = Clock::now();
        return seenAt || Clock::now() >= deadline;
      },
      kDefaultTimeout);
  const auto ms = [&](Clock::time_point t) {
    return std::to_string(std::chrono::duration_cast<Millis>(t - movedAt).count()) + " ms";
  };
  if (seenAt && *seenAt < deadline) {
    Trace(what + ": seen after " + ms(*seenAt));
  } else {
    Check(false, what + ": " +
                     (seenAt ? "seen only after " + ms(*seenAt)
                             : "not seen within " + ms(Clock::now()) + "; it shows " +
                                   Describe(TextOf(tip)) + ", shown " + Describe(IsShown(tip))));
  }
  WaitStatusBarText(editor.status, button.longHint);
}

}  // namespace

// The window's frame, client area and controls at start and after a resize, the edit area's font
// and styles, scaled in the 144 DPI pass.
E2E_SCENARIO(window_layout, "dpi") {
  // The pointer away from the window, so the status line stays empty.
  MoveMouse({2, 2});
  Editor editor = StartOnNewDocument();
  const UINT dpi = ExpectedDpi();

  const ProbeResult window = Probe(editor.main);
  CheckEqual(dpi, window.windowDpi, "the window's DPI");
  CheckEqual(2L, window.awareness, "per-monitor DPI awareness");
  // Designed at 96 DPI: the size scales, and so does the corner as far as the frame stays on the
  // screen.
  const RECT frame = WindowRect(editor.main);
  const int width = Scaled96(480);
  const int height = Scaled96(320);
  const int left = std::min(Scaled96(226), GetSystemMetrics(SM_CXSCREEN) - width);
  const int top = std::min(Scaled96(121), GetSystemMetrics(SM_CYSCREEN) - height);
  CheckEqual(RECT{left, top, left + width, top + height}, frame, "the outer frame");
  if (dpi == 96) CheckEqual(RECT{226, 121, 706, 441}, frame, "the outer frame at 96 DPI");
  // The client area is what the platform's frame leaves of the outer size: 472 x 274 at 96 DPI.
  RECT margins{0, 0, 0, 0};
  AdjustWindowRectExForDpi(&margins, WS_OVERLAPPEDWINDOW, TRUE, 0, dpi);
  const SIZE client = ClientSize(editor.main);
  CheckEqual(SIZE{frame.right - frame.left - (margins.right - margins.left),
                  frame.bottom - frame.top - (margins.bottom - margins.top)},
             client, "the client area inside the platform's frame");
  if (dpi == 96) CheckEqual(SIZE{472, 274}, client, "the client area at 96 DPI");
  const LONG style = GetWindowLongW(editor.main, GWL_STYLE);
  CheckEqual(static_cast<LONG>(WS_OVERLAPPEDWINDOW), style & WS_OVERLAPPEDWINDOW,
             "sizeable, with the system menu and the minimize and maximize boxes");

  const auto checkControls = [&](const std::string& when) {
    const SIZE size = ClientSize(editor.main);
    const RECT status = RectInParent(editor.status);
    CheckEqual(RECT{0, 0, size.cx, Scaled96(33)}, RectInParent(editor.bar),
               when + ": the tool bar, full width, 33 high");
    CheckEqual(RECT{0, Scaled96(33), size.cx, status.top}, RectInParent(editor.memo),
               when + ": the edit area between tool bar and status line");
    CheckEqual(size.cy, static_cast<int>(status.bottom), when + ": the status line at the bottom");
    CheckEqual(RECT{0, status.top, size.cx, size.cy}, status,
               when + ": the status line, full width");
    return status.bottom - status.top;
  };
  const LONG statusHeight = checkControls("at start");
  Check(statusHeight > 0 && statusHeight < Scaled96(33), "the status line has a height of its own");
  CheckEqual(true, StatusBarIsSimple(editor.status), "the status line shows one simple panel");
  Check((GetWindowLongW(editor.status, GWL_STYLE) & SBARS_SIZEGRIP) != 0,
        "the status line has a size grip");
  CheckEqual(std::wstring(), StatusBarText(editor.status), "the status line is empty at start");

  const LONG memoStyle = GetWindowLongW(editor.memo, GWL_STYLE);
  const struct {
    LONG flag;
    bool set;
    const char* what;
  } styles[] = {
      {ES_MULTILINE, true, "multi-line"},
      {WS_VSCROLL, true, "a vertical scroll bar"},
      {WS_HSCROLL, false, "no horizontal scroll bar"},
      {ES_AUTOHSCROLL, false, "lines wrap instead of scrolling sideways"},
      {ES_NOHIDESEL, false, "the selection hides without the focus"},
      {ES_READONLY, false, "editable"},
      {ES_PASSWORD, false, "no masking character"},
      {ES_UPPERCASE | ES_LOWERCASE, false, "no case conversion"},
  };
  for (const auto& s : styles) {
    CheckEqual(s.set, (memoStyle & s.flag) != 0, std::string("edit area: ") + s.what);
  }
  Check((GetWindowLongW(editor.memo, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0,
        "edit area: a sunken border");
  Check(static_cast<DWORD>(Send(editor.memo, EM_GETLIMITTEXT)) >= 0x7FFFFFFE,
        "edit area: the platform's largest text limit");

  const FontInfo font = FontOf(editor.memo);
  CheckEqual(true, font.ownFont, "edit area: a font of its own");
  CheckEqual(-Scaled96(15), static_cast<int>(font.height), "edit area: character height 15");
  CheckEqual(128, static_cast<int>(font.charSet), "edit area: Shift_JIS character set");
  CheckEqual(static_cast<LONG>(FW_NORMAL), font.weight, "edit area: regular weight");
  CheckEqual(false, font.italic, "edit area: not italic");
  const bool gothic = font.drawnFace.find(L"Gothic") != std::wstring::npos ||
                      font.drawnFace.find(L"ゴシック") != std::wstring::npos;
  Check(gothic, "edit area: drawn with a Japanese Gothic face, not " + Describe(font.drawnFace));
  Check(font.face == L"ＭＳ Ｐゴシック" || font.face == font.drawnFace,
        "edit area: the designed face, or the stand-in that is drawn; asked for " +
            Describe(font.face));

  FocusOn(editor.memo);
  TypeText(editor.memo, L"日本語のテキスト、ソフトウェアの表示。");
  PressKeys(editor.memo, {VK_RETURN});
  TypeText(editor.memo, L"二行目：ｶﾀｶﾅ、漢字、ひらがな、ABC 123");
  WaitText(editor.memo,
           L"日本語のテキスト、ソフトウェアの表示。\r\n二行目：ｶﾀｶﾅ、漢字、ひらがな、ABC 123");
  Screenshot("main");

  // Resized (maximized: the program sizes itself, in its own DPI), the bars keep their heights
  // and span the width; the edit area takes the rest.
  PostMessageW(editor.main, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  WaitFor("the window to be maximized", [&] { return IsZoomed(editor.main) != FALSE; });
  WaitFor("the tool bar to span the wider window",
          [&] { return RectInParent(editor.bar).right == ClientSize(editor.main).cx; });
  Sync(editor.main);
  CheckEqual(statusHeight, checkControls("resized"), "the status line keeps its height");
  CloseEditor(editor);
}

// Keys in the edit area: Enter breaks the line with CR LF, Tab inserts nothing and leaves the
// focus there, and a long line wraps at the right edge.
E2E_SCENARIO(window_edit_area_keys, "") {
  Editor editor = StartOnNewDocument();
  FocusOn(editor.memo);
  TypeText(editor.memo, L"一行目");
  PressKeys(editor.memo, {VK_RETURN});
  TypeText(editor.memo, L"二");
  PressKeys(editor.memo, {VK_TAB});
  TypeText(editor.memo, L"行目");
  WaitText(editor.memo, L"一行目\r\n二行目");
  CheckEqual(editor.memo, FocusOf(editor.memo), "the focus stays in the edit area after Tab");

  std::wstring longLine;
  while (longLine.size() < 300)
    longLine += L"折り返しの確認 ";
  SetText(editor.memo, longLine);
  Check(Send(editor.memo, EM_GETLINECOUNT) > 1, "a long line wraps onto several lines");
  CloseEditor(editor);
}

// The menu bar: the three menus with every item's caption, shortcut text, command and order; no
// item disabled or checked.
E2E_SCENARIO(window_menu_bar, "") {
  Editor editor = StartOnNewDocument();
  const struct {
    int depth;
    UINT id;
    const wchar_t* text;
  } expected[] = {
      {0, 0, L"ファイル(&F)"},
      {1, 101, L"新規作成(&N)"},
      {1, 0, nullptr},
      {1, 102, L"開いて解読(&O)...\tCtrl+O"},
      {1, 103, L"暗号化して上書き保存(&S)\tCtrl+S"},
      {1, 104, L"暗号化して名前をつけて保存(&A)..."},
      {1, 0, nullptr},
      {1, 105, L"開く(&P)\tCtrl+Alt+O"},
      {1, 106, L"上書き保存(&T)\tCtrl+Alt+S"},
      {1, 107, L"名前をつけて保存(&B)..."},
      {1, 0, nullptr},
      {1, 108, L"終了(&X)"},
      {0, 0, L"編集(&E)"},
      {1, 201, L"元に戻す(&U)\tCtrl+Z"},
      {1, 0, nullptr},
      {1, 202, L"暗号化切り取り(&T)\tCtrl+X"},
      {1, 203, L"暗号化コピー(&C)\tCtrl+C"},
      {1, 204, L"解読貼り付け(&P)\tCtrl+V"},
      {1, 0, nullptr},
      {1, 205, L"切り取り(&S)\tCtrl+Alt+X"},
      {1, 206, L"コピー(&B)\tCtrl+Alt+C"},
      {1, 207, L"貼り付け(&O)\tCtrl+Alt+V"},
      {1, 0, nullptr},
      {1, 208, L"すべて選択(&A)\tCtrl+A"},
      {1, 0, nullptr},
      {1, 209, L"「鍵」の変更(&K)\tCtrl+K"},
      {0, 0, L"ヘルプ(&H)"},
      {1, 301, L"バージョン情報(&A)..."},
  };
  const auto menu = MenuOf(editor.main);
  CheckEqual(std::size(expected), menu.size(), "entries of the menu bar");
  for (std::size_t i = 0; i < std::min(menu.size(), std::size(expected)); ++i) {
    const auto& want = expected[i];
    const auto& got = menu[i];
    const std::string at = "menu entry " + std::to_string(i) + " " + Describe(got.text);
    CheckEqual(want.depth, got.depth, at + ": depth");
    CheckEqual(want.text == nullptr, got.separator, at + ": separator");
    if (want.text) {
      CheckEqual(std::wstring(want.text), got.text, at + ": caption and shortcut");
      if (want.depth > 0) CheckEqual(want.id, got.id, at + ": command");
      CheckEqual(false, got.disabled, at + ": enabled");
    }
    CheckEqual(false, got.checked, at + ": no check mark");
  }
  CloseEditor(editor);
}

// Each menu opened with Alt and its letter, its highlight moved through every item with the
// arrow key: the status line shows each item's hint, nothing on the menu head, nothing after the
// menu has closed.
E2E_SCENARIO(window_menu_hints, "") {
  Editor editor = StartOnNewDocument();
  const struct {
    const char* name;
    WORD letter;
    std::vector<const wchar_t*> hints;  // of the items, in order, separators skipped
  } menus[] = {
      {"menu-file",
       'F',
       {L"新しいファイルを作成します", L"既存のファイルを開いて解読します",
        L"現在のファイルを暗号化して保存します", L"ファイルを別の名前をつけて暗号化して保存します",
        L"既存のファイルを開きます", L"現在のファイルを保存します",
        L"ファイルを別の名前をつけて保存します", L"このアプリケーションを終了します"}},
      {"menu-edit",
       'E',
       {L"最後の操作を元に戻します", L"選択された項目を暗号化してクリップボードへ切り取ります",
        L"選択された項目を暗号化してクリップボードへコピーします",
        L"クリップボードの内容を解読して貼り付けます",
        L"選択された項目をクリップボードへ切り取ります",
        L"選択された項目をクリップボードへコピーします", L"クリップボードの内容を貼り付けます",
        L"編集中のテキストをすべて選択します", L"暗号化と解読に使用する「鍵」を変更します"}},
      {"menu-help", 'H', {L"このアプリケーションのバージョン情報を表示します"}},
  };
  // The pointer on the edit area, whose hint is empty, so the idle rule leaves the line empty.
  MoveMouse(CenterOf(editor.memo));
  WaitStatusBarText(editor.status, L"");
  for (const auto& m : menus) {
    const std::string what = m.name;
    FocusOn(editor.memo);
    PressKeys(editor.memo, {VK_MENU, m.letter});
    HWND popup = WaitTopWindow(editor.app, {.className = L"#32768"});
    // Opened from the keyboard, the menu highlights its first item.
    WaitStatusBarText(editor.status, m.hints[0]);
    Screenshot(m.name);
    for (std::size_t i = 1; i < m.hints.size(); ++i) {
      PressKeys(editor.memo, {VK_DOWN});
      WaitStatusBarText(editor.status, m.hints[i]);
    }
    if (m.hints.size() > 1) {
      PressKeys(editor.memo, {VK_DOWN});  // round to the first item
      WaitStatusBarText(editor.status, m.hints[0]);
    }
    // Escape closes the menu and leaves its head highlighted: no hint. (Wine sends no
    // WM_MENUSELECT for the head here, only WM_UNINITMENUPOPUP for the closed menu.)
    PressKeys(editor.memo, {VK_ESCAPE});
    WaitGone(popup);
    Check(PollUntil([&] { return StatusBarText(editor.status).empty(); }),
          what + ": no hint while the head is highlighted after Escape, still " +
              Describe(StatusBarText(editor.status)));
    // A second Escape leaves the menu bar.
    PressKeys(editor.memo, {VK_ESCAPE});
    WaitFocus(editor.memo);
    Sync(editor.main);
    CheckEqual(std::wstring(), StatusBarText(editor.status), what + ": empty after the menu");
  }
  CloseEditor(editor);
}

// Over each tool bar button the status line shows its long hint at once; over the edit area,
// the tool bar's free space and the status line it is empty. Button places scale with the DPI.
E2E_SCENARIO(window_toolbar_hints, "dpi") {
  Editor editor = StartOnNewDocument();
  for (int number = 1; number <= 8; ++number)
    HoverToolButton(editor, number);
  const RECT bar = RectInParent(editor.bar);
  const struct {
    const char* what;
    POINT point;
  } empties[] = {
      {"the edit area", CenterOf(editor.memo)},
      {"the tool bar's free space",
       ClientToScreenPoint(editor.bar, {(bar.right + Scaled96(209)) / 2, Scaled96(16)})},
      {"the gap between the button groups",
       ClientToScreenPoint(editor.bar, {Scaled96(82), Scaled96(16)})},
      {"the status line", CenterOf(editor.status)},
  };
  for (const auto& e : empties) {
    HoverToolButton(editor, 8);
    MoveMouse(e.point);
    WaitStatusBarText(editor.status, L"");
    Trace(std::string("empty over ") + e.what);
  }
  CloseEditor(editor);
}

// The tooltip of a resting pointer: none right after the move, the short hint after the delay
// just below the pointer, gone again later; while tooltips are active (shown and not cancelled,
// hidden ones too) the next button's shows at once; over the edit area none shows.
E2E_SCENARIO(window_tooltip, "") {
  Editor editor = StartOnNewDocument();
  const HWND tip = Tooltip(editor);
  FocusOn(editor.memo);
  MoveMouse(CenterOf(editor.memo));
  CheckEqual(false, IsShown(tip), "no tooltip over the edit area");

  const auto movedAt = std::chrono::steady_clock::now();
  const POINT second = ToolButtonPoint(editor, 2);
  MoveMouse(second);
  WaitStatusBarText(editor.status, kToolButtons[1].longHint);
  const bool soon = std::chrono::steady_clock::now() - movedAt < Millis(300);
  if (soon) {
    CheckEqual(false, IsShown(tip), "no tooltip right after the move");
  } else {
    Note("the machine was too slow to look for the tooltip right after the move");
  }
  WaitFor("the tooltip 開く", [&] { return TooltipShows(tip, kToolButtons[1].shortHint); });
  const RECT placed = WindowRect(tip);
  CheckEqual(second.x, static_cast<int>(placed.left), "the tooltip at the pointer's x");
  Check(placed.top > second.y, "the tooltip below the pointer");
  Screenshot("tooltip");

  // Shown: the next button's tooltip comes with the move itself.
  CheckTooltipAtOnce(editor, tip, 3, "while the tooltip of 開く shows");
  WaitFor(
      "the tooltip to hide", [&] { return !IsShown(tip); }, Millis(10000));

  // Hidden by its time, tooltips stay active: the next button's shows at once too.
  CheckTooltipAtOnce(editor, tip, 2, "after the tooltip hid by its time");

  MoveMouse(CenterOf(editor.memo));
  WaitStatusBarText(editor.status, L"");
  CheckEqual(false, IsShown(tip), "the edit area cancels the tooltip");
  CheckEqual(false, PollUntil([&] { return IsShown(tip); }, Millis(1000)),
             "no tooltip shows over the edit area");
  CloseEditor(editor);
}

}  // namespace vellumo::e2e
