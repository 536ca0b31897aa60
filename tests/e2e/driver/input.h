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

// Moves the mouse pointer to a screen point, absolute coordinates, and waits until the system
// shows it there. Under Wine the X server echoes each injected move as the old and then the new
// position, and now and then leaves the pointer at the old one: use SettleMouse where the program
// must see the pointer come to rest.
void MoveMouse(POINT screen);
// Moves the pointer to `screen` and returns once it has stayed there for a moment (moved again
// when it went back), by which time the program has seen it there.
void SettleMouse(POINT screen);
// Settles the pointer at `screen` (unless the last SettleMouse left it resting there, with no move
// since) and clicks the left button there: the press and the release carry the point themselves
// (down and up in one array), so that a late echo of an earlier move cannot take the click
// elsewhere.
void ClickMouse(POINT screen);

}  // namespace vellumo::e2e
