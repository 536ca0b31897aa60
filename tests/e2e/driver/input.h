// Keyboard and mouse input with SendInput, as the system queues a user's: the target window is
// brought to the foreground and the keyboard focus confirmed before any key goes out.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string_view>

namespace vellumo::e2e {

// Makes `window`'s top-level window the foreground window and waits until `window` holds the
// keyboard focus. A control that does not get it (another control of the dialog has it) is
// given it with SetFocus from the window's own input state.
void FocusOn(HWND window);

// Presses a chord: the keys go down in the order given and come up in reverse, in one SendInput
// array (virtual key plus its scan code), e.g. PressKeys(edit, {VK_CONTROL, VK_MENU, 'C'}).
// `focus` must hold the keyboard focus first (see FocusOn); this is checked.
void PressKeys(HWND focus, std::initializer_list<WORD> chord);
// Types text as Unicode characters (KEYEVENTF_UNICODE), whatever the keyboard layout.
void TypeText(HWND focus, std::wstring_view text);

// Moves the mouse pointer to a screen point, absolute coordinates.
void MoveMouse(POINT screen);
// Moves there and clicks the left button (down and up in one array).
void ClickMouse(POINT screen);

}  // namespace vellumo::e2e
