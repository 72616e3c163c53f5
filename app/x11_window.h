#pragma once

#include "app/glx_context.h"

#include <X11/Xlib.h>

// The X11 window, its connection and the events it posts to itself.
struct PlatformWindow {
    PlatformWindow();
    PlatformWindow(const PlatformWindow&) = delete;
    PlatformWindow& operator=(const PlatformWindow&) = delete;

    Display* display;
    Window window;
    Colormap colormap;
    Atom wmProtocols;
    Atom wmDeleteWindow;
    // The quit request, posted by the window procedure and taken by the next
    // takeEvent before any further event.
    bool quitPosted;
    int quitCode;
    GlxContext glx;
};

// From trapXErrors to releaseXErrors, X protocol errors are collected instead
// of ending the program, so that start-up can report what failed in a line of
// its own. releaseXErrors waits until the server has answered every request
// sent so far and returns the first error code, 0 when there was none.
void trapXErrors(Display* display);
int releaseXErrors(Display* display);
