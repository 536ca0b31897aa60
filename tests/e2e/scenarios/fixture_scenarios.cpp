// Scenarios on the stand-in window program that check the driver itself: starting with a show
// command and arguments, Unicode typing and key chords, code page 932 clipboard text, message
// boxes answered every way, a clipboard held by another program, mouse and tooltips, and DPI.
#include <windows.h>

#include "tests/e2e/driver/e2e.h"
#include "tests/e2e/fixtures/fixture_ids.h"

namespace vellumo::e2e {
namespace {

using namespace fixture;

struct Fixture {
  App app;
  HWND main;
  HWND edit;
  HWND copy;
  HWND ask;
  HWND status;
};

Fixture StartFixture(std::wstring_view arguments = L"", WORD showCommand = SW_SHOWNORMAL) {
  App app = Launch(FixtureExe(), arguments, showCommand);
  HWND main = WaitTopWindow(app, {.className = L"VellumoE2EFixture", .text = L"E2E フィクスチャ"});
  return Fixture{std::move(app),
                 main,
                 WaitChild(main, {.id = kEditId}),
                 WaitChild(main, {.id = kCopyId}),
                 WaitChild(main, {.id = kAskId}),
                 WaitChild(main, {.id = kStatusId})};
}

}  // namespace

E2E_SCENARIO(fixture_show_commands, "") {
  const struct {
    WORD show;
    const char* name;
    bool minimized;
    bool maximized;
  } cases[] = {
      {SW_SHOWNORMAL, "SW_SHOWNORMAL", false, false},
      {SW_SHOWMAXIMIZED, "SW_SHOWMAXIMIZED", false, true},
      {SW_SHOWMINNOACTIVE, "SW_SHOWMINNOACTIVE", true, false},
  };
  for (const auto& c : cases) {
    Fixture fixture = StartFixture(L"", c.show);
    const std::string what = std::string("started with ") + c.name;
    CheckEqual(c.minimized, IsIconic(fixture.main) != FALSE, what + ": minimized");
    CheckEqual(c.maximized, IsZoomed(fixture.main) != FALSE, what + ": maximized");
    PostClose(fixture.main);
    CheckEqual(0ul, fixture.app.WaitExit(), what + ": exit code");
  }
}

E2E_SCENARIO(fixture_typing_and_cp932_clipboard, "") {
  Fixture fixture = StartFixture(QuoteArgument(L"引数 あり"));
  WaitText(fixture.edit, L"引数 あり");
  Screenshot("main");

  FocusOn(fixture.edit);
  SelectText(fixture.edit);
  TypeText(fixture.edit, L"日本語");
  WaitText(fixture.edit, L"日本語");
  // Shift+Home selects back to the start (an extended key in a chord); typing replaces it.
  PressKeys(fixture.edit, {VK_SHIFT, VK_HOME});
  TypeText(fixture.edit, L"置換テキスト");
  WaitText(fixture.edit, L"置換テキスト");

  EmptyTheClipboard();
  ClickButton(fixture.copy);
  WaitStatusBarText(fixture.status, L"コピーしました");
  CheckEqual(std::string("\x92\x75\x8A\xB7\x83\x65\x83\x4C\x83\x58\x83\x67"), ClipboardAnsi(),
             "CF_TEXT holds the code page 932 bytes");
  CheckEqual(std::wstring(L"置換テキスト"), ClipboardUnicode(), "CF_UNICODETEXT");
}

E2E_SCENARIO(fixture_message_box_answers, "") {
  Fixture fixture = StartFixture();
  // Each way of closing the box, and the answer the program must get from it.
  const struct {
    const char* way;
    void (*close)(HWND box);
    int answer;
  } cases[] = {
      {"Enter", [](HWND box) { PressKeys(FocusOf(box), {VK_RETURN}); }, IDOK},
      {"Escape", [](HWND box) { PressKeys(FocusOf(box), {VK_ESCAPE}); }, IDCANCEL},
      {"close box", [](HWND box) { PostSystemClose(box); }, IDCANCEL},
      {"OK button",
       [](HWND box) { ClickButton(WaitChild(box, {.className = L"Button", .text = L"OK"})); },
       IDOK},
      {"キャンセル button",
       [](HWND box) {
         ClickButton(WaitChild(box, {.className = L"Button", .text = L"キャンセル"}));
       },
       IDCANCEL},
  };
  bool first = true;
  for (const auto& c : cases) {
    ClickButton(fixture.ask);
    HWND box = WaitDialog(fixture.app, L"確認");
    if (first) {
      CheckEqual(std::vector<std::wstring>{L"続けますか？"}, StaticTexts(box), "message text");
      CheckEqual(std::vector<std::wstring>{L"OK", L"キャンセル"}, ButtonTexts(box), "buttons");
      WaitEnabled(fixture.main, false);
      Screenshot("message-box");
      first = false;
    }
    c.close(box);
    WaitGone(box);
    WaitStatusBarText(fixture.status, L"応答: " + std::to_wstring(c.answer));
    Trace(std::string("closed with ") + c.way);
  }
  // The fixture's exit code is its last answer: the exit code reaches the driver.
  PostClose(fixture.main);
  CheckEqual(static_cast<DWORD>(IDCANCEL), fixture.app.WaitExit(), "exit code");
}

E2E_SCENARIO(fixture_clipboard_held_by_another_program, "") {
  Fixture fixture = StartFixture(L"保持");
  {
    ClipboardHold hold;
    ClickButton(fixture.copy);
    WaitStatusBarText(fixture.status, L"クリップボードは使用中です");
  }
  ClickButton(fixture.copy);
  WaitStatusBarText(fixture.status, L"コピーしました");
  CheckEqual(std::string("\x95\xDB\x8E\x9D"), ClipboardAnsi(), "CF_TEXT after the release");
}

E2E_SCENARIO(fixture_mouse_and_tooltip, "") {
  Fixture fixture = StartFixture();
  MoveMouse(CenterOf(fixture.ask));
  const HWND tip = WaitTopWindow(fixture.app, {.className = L"tooltips_class32"});
  CheckEqual(std::wstring(L"確認ボックスを開きます"), TextOf(tip), "tooltip text");
  Screenshot("tooltip");
  ClickMouse(CenterOf(fixture.ask));
  HWND box = WaitDialog(fixture.app, L"確認");
  PressKeys(FocusOf(box), {VK_ESCAPE});
  WaitGone(box);
}

E2E_SCENARIO(fixture_menu, "") {
  Fixture fixture = StartFixture();
  const auto menu = MenuOf(fixture.main);
  Require(menu.size() == 5, "five menu entries, found " + std::to_string(menu.size()));
  const struct {
    int depth;
    UINT id;
    const wchar_t* text;
    bool separator, disabled, checked;
  } expected[] = {
      {0, 0, L"ファイル(&F)", false, false, false},
      {1, kCopyId, L"コピー(&C)\tCtrl+Alt+C", false, false, false},
      {1, kNeverId, L"無効(&D)", false, true, true},
      {1, 0, L"", true, false, false},
      {1, kExitId, L"終了(&X)", false, false, false},
  };
  for (std::size_t i = 0; i < menu.size(); ++i) {
    const auto& want = expected[i];
    const auto& got = menu[i];
    const std::string at = "menu entry " + std::to_string(i);
    CheckEqual(want.depth, got.depth, at + " depth");
    if (want.depth > 0) CheckEqual(want.id, got.id, at + " ID");
    CheckEqual(std::wstring(want.text), got.text, at + " text");
    CheckEqual(want.separator, got.separator, at + " separator");
    // Wine reports separators as greyed; only items are compared.
    if (!want.separator) CheckEqual(want.disabled, got.disabled, at + " disabled");
    CheckEqual(want.checked, got.checked, at + " checked");
  }
  // The menu by keyboard: Alt+F opens it, X chooses 終了, and the program ends.
  FocusOn(fixture.edit);
  PressKeys(fixture.edit, {VK_MENU, 'F'});
  WaitTopWindow(fixture.app, {.className = L"#32768"});
  Screenshot("menu");
  PressKeys(fixture.edit, {'X'});
  CheckEqual(0ul, fixture.app.WaitExit(), "exit code after 終了");
}

// Runs in the 144 DPI pass too: the system DPI reaches a new process, which scales its layout
// and fonts, and the driver sees physical pixels.
E2E_SCENARIO(fixture_dpi, "dpi") {
  const int dpi = static_cast<int>(ExpectedDpi());
  CheckEqual(ExpectedDpi(), ScreenDpi(), "screen DPI seen by the driver");
  Fixture fixture = StartFixture();
  const ProbeResult probe = Probe(fixture.edit);
  CheckEqual(ExpectedDpi(), probe.windowDpi, "DPI of the fixture's window");
  CheckEqual(2L, probe.awareness, "per-monitor DPI awareness from the manifest");
  CheckEqual(SIZE{MulDiv(400, dpi, 96), MulDiv(120, dpi, 96)}, ClientSize(fixture.main),
             "client size");
  CheckEqual(
      RECT{MulDiv(10, dpi, 96), MulDiv(10, dpi, 96), MulDiv(390, dpi, 96), MulDiv(34, dpi, 96)},
      RectInParent(fixture.edit), "edit field placement");
  CheckEqual(true, probe.font.ownFont, "the field has its own font");
  CheckEqual(std::wstring(L"ＭＳ Ｐゴシック"), probe.font.face, "font face");
  CheckEqual(-MulDiv(12, dpi, 96), static_cast<int>(probe.font.height), "font height");
  CheckEqual(128, static_cast<int>(probe.font.charSet), "font character set");
  Trace("the font is drawn as " + Describe(probe.font.drawnFace) + ", cell height " +
        std::to_string(probe.font.drawnHeight));
  Screenshot("main");
}

}  // namespace vellumo::e2e
