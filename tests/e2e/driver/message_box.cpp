#include "tests/e2e/driver/message_box.h"

#include <algorithm>

#include "tests/e2e/driver/scenario.h"
#include "tests/e2e/driver/window.h"

namespace vellumo::e2e {
namespace {

bool HasIcon(HWND box) {
  for (HWND child : ChildWindows(box, {.className = L"Static"})) {
    const auto style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
    if ((style & SS_TYPEMASK) == SS_ICON && Send(child, STM_GETICON) != 0) return true;
  }
  return false;
}

}  // namespace

void CheckBoxLook(HWND box, const BoxLook& want, std::string_view what, Where where) {
  const std::string head = what.empty() ? "" : std::string(what) + ": ";
  CheckEqual(std::vector<std::wstring>{want.text}, StaticTexts(box), head + "box text", where);
  std::vector<HWND> buttons = ChildWindows(box, {.className = L"Button"});
  std::sort(buttons.begin(), buttons.end(),
            [](HWND a, HWND b) { return RectInParent(a).left < RectInParent(b).left; });
  std::vector<std::wstring> captions;
  for (HWND button : buttons)
    captions.push_back(TextOf(button));
  CheckEqual(want.buttons, captions, head + "button captions left to right", where);
  for (HWND button : buttons) {
    const RECT first = RectInParent(buttons.front());
    const RECT r = RectInParent(button);
    CheckEqual(first.right - first.left, r.right - r.left, head + "buttons of one width", where);
    CheckEqual(first.top, r.top, head + "buttons in one row", where);
  }
  const LRESULT defId = Send(box, DM_GETDEFID);
  CheckEqual(DC_HASDEFID, static_cast<int>(HIWORD(defId)), head + "the box has a default button",
             where);
  CheckEqual(want.defaultId, static_cast<int>(LOWORD(defId)), head + "default button", where);
  CheckEqual(want.defaultId, IdOf(FocusOf(box)), head + "the focus starts on the default button",
             where);
  Check(HasIcon(box), head + "the box shows an icon", where);
}

}  // namespace vellumo::e2e
