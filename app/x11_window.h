#pragma once

#include "app/Platform.h"
#include "app/PostedQuit.h"
#include "app/glx_context.h"

#include <X11/Xlib.h>

// The X11 window, its connection and the events it posts to itself.
struct X11Window {
    X11Window();
    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;

    Display* display;
    Window window;
    Colormap colormap;
    Atom wmProtocols;
    Atom wmDeleteWindow;
    PostedQuit quitRequest;
    GlxContext glx;
};

// From trapXErrors to releaseXErrors, X protocol errors are collected instead
// of ending the program, so that start-up can report what failed in a line of
// its own. releaseXErrors waits until the server has answered every request
// sent so far and returns the first error code, 0 when there was none.
void trapXErrors(Display* display);
int releaseXErrors(Display* display);

// The X11 platform's operations: the window on the display named by DISPLAY
// with a GLX context, reached through the window record's x11 part.
extern const Platform x11Platform;
