#pragma once

#include "app/Platform.h"
#include "app/PostedQuit.h"
#include "app/x11/glx_context.h"

#include <X11/Xlib.h>

// The X11 window, its connection and the events it posts to itself.
struct X11Window {
    X11Window();
    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;

    Display* display;
    // The window of our own, 0 while none is open.
    Window window;
    // A window of somebody else's to draw on instead (a screen saver's):
    // 0 to open one of our own. targetRoot asks for the root window, known
    // once the display is open. Such a window is drawn on at its size, which
    // may change, and in its visual, and never mapped, named or destroyed.
    Window target;
    bool targetRoot;
    // The target window's size as last seen; the picture follows it.
    int targetWidth;
    int targetHeight;
    // The side of our own window's drawing area: 600 at the desktop's base
    // scale, larger where the desktop says it scales (Xft.dpi).
    int side;
    Colormap colormap;
    Atom wmProtocols;
    Atom wmDeleteWindow;
    PostedQuit quitRequest;
    GlxContext glx;
};

// From now on SIGTERM ends the program at the next event, with exit code 0,
// as a screen saver's host stops its display mode.
void quitOnTerminateSignal();

// The X11 platform's operations: the window on the display named by DISPLAY
// with a GLX context, reached through the window record's x11 part.
extern const Platform x11Platform;
