#pragma once

// What the shell needs of a platform: a window with a current OpenGL
// context, a non-blocking event pump, presenting, sleeping and an orderly
// close. Each platform fills one table of these operations in a folder of
// its own (win32/, x11/, wayland/, web/), and the program picks one table
// when it starts.
//
// PlatformWindow is the record the operations share from opening to
// closing; each build defines it with a part for every platform it can
// choose (win32/win32_platform.h, linux/linux_platform.h,
// web/web_platform.h).
struct PlatformWindow;

struct Platform {
    // Opens the visible 600 by 600 window titled "drifton" and makes an
    // OpenGL context current on this thread. On failure it tells why,
    // releases what it obtained and returns false. A platform that may be
    // followed by another tells why through noteStartupFailure, so that the
    // user reads one line for every platform tried.
    bool (*openWindow)(PlatformWindow& window);

    // Removes the next pending event without waiting; false when none is
    // pending. The quit request sets `quit` and `exitCode` and goes no
    // further; every other event is handed to the platform's window
    // procedure, which turns Escape and the close request into the quit
    // request.
    bool (*takeEvent)(PlatformWindow& window, bool& quit, int& exitCode);

    // The side, in device pixels, of the square at which the next frame is
    // drawn: 600 where the picture is shown at 600, more where it is shown
    // larger (a full screen, a dense or scaled display), so that it is drawn
    // sharp at the size shown.
    int (*pictureSide)(PlatformWindow& window);

    // Presents the back buffer, keeping the image the next frame fades from.
    void (*presentFrame)(PlatformWindow& window);

    void (*sleepMilliseconds)(int milliseconds);

    // Unbinds and deletes the context, releases the surface, destroys the
    // window.
    void (*closeWindow)(PlatformWindow& window);
};

// Opens the window with the first of `platforms` (ending in a null entry)
// that can open it, and returns that platform. When none can, prints what
// was noted of every platform tried in one line and returns null.
const Platform* openPlatformWindow(const Platform* const platforms[], PlatformWindow& window);
