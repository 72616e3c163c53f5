#pragma once

#include "app/win32/win32_platform.h"

// The window procedure: Escape and the close request post the quit message
// with code 0; every other key is swallowed; the rest gets the default
// handling. It touches neither the swarm nor the OpenGL context.
LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers a window class of `name` for `procedure`: a private device
// context per window, the default icon, the arrow cursor or none, a black
// background.
bool registerClassOf(HINSTANCE instance, const char* name, WNDPROC procedure, bool arrowCursor);

// Registers the program's window class "drifton" for windowProc, with the
// arrow cursor.
bool registerWindowClass(HINSTANCE instance);

// Creates the visible 600 by 600 window (outer size, title bar and frame
// included) titled "drifton" at the screen's top-left corner, with a close
// box but no sizing border; null on failure.
HWND createMainWindow(HINSTANCE instance);
