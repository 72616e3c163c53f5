#pragma once

#include "app/win32/win32_platform.h"

// The screen saver's window procedure. Over the screen, a key, a mouse
// button, the pointer moving more than a few pixels from where it was when
// the window appeared, another window becoming active and the close request
// post the quit message with code 0; the pointer is hidden there. In the
// preview, which takes no input, the window's destruction from outside (its
// parent going away) posts it. It swallows the system's request to start a
// screen saver, which is already running, and notes a change of the
// monitors' layout for followSaverShape.
LRESULT CALLBACK saverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the class "drifton saver": a private device context per window,
// no cursor of its own, a black background.
bool registerSaverClass(HINSTANCE instance);

// Creates the visible saver window titled "drifton": a topmost popup over
// the virtual screen, or in the preview a disabled child filling the client
// area of `parent`; null on failure.
HWND createSaverWindow(HINSTANCE instance, bool preview, HWND parent);

// Shows the picture centred in the preview, or over the screen centred on
// every monitor, each filling its monitor's shorter side, black elsewhere.
void placeSaverPictures(PlatformWindow& window);

// Called between frames: fits the preview to its parent's client area when
// that changed, or the full-screen window to the virtual screen after the
// monitors' layout changed, and places the pictures again.
void followSaverShape(PlatformWindow& window);
