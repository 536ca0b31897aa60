// Keyboard and mouse input as a user's hardware makes it: the target window is brought to the
// foreground and the keyboard focus confirmed before any key goes out. Plain keys and text go in
// with SendInput; chords that hold Ctrl, Alt or Shift and every pointer move go through the X
// server (tests/e2e/serve.sh), so that the X server and Wine always agree on which keys are down
// and where the pointer is (tests/e2e/README.md, "Input: why some of it goes through X").
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string_view>

#include "tests/e2e/driver/wait.h"

namespace vellumo::e2e {

// Makes `window`'s top-level window the foreground window and waits until `window` holds the
// keyboard focus. A control that does not get it (another control of the dialog has it) is
// given it with SetFocus from the window's own input state.
void FocusOn(HWND window);

// Presses a chord: the keys go down in the order given and come up in reverse, e.g.
// PressKeys(edit, {VK_CONTROL, VK_MENU, 'C'}). `focus` must hold the keyboard focus first (see
// FocusOn); this is checked. A chord with Ctrl, Alt or Shift in it is pressed on the X keyboard,
// with the X input focus on `focus`'s top-level window, and returns when Wine has taken every one
// of its key events (so that input sent afterwards comes after it); any other chord goes in as
// one SendInput array (virtual key plus its scan code).
void PressKeys(HWND focus, std::initializer_list<WORD> chord, Where where = Where::current());
// Types text as Unicode characters (KEYEVENTF_UNICODE), whatever the keyboard layout.
void TypeText(HWND focus, std::wstring_view text);

// Moves the X pointer to a screen point and waits until Wine has taken that position from the X
// server as its newest pointer position, by which time the window under the point has the move in
// its queue. (Nothing to do when the pointer already rests there.)
void MoveMouse(POINT screen, Where where = Where::current());
// Moves the pointer to `screen` and clicks the left button there (SendInput, press and release in
// one array, at the position Wine has just confirmed).
void ClickMouse(POINT screen, Where where = Where::current());

}  // namespace vellumo::e2e
