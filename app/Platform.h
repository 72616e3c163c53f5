#pragma once

// What the shell needs of a platform: a window with a current OpenGL
// context, a non-blocking event pump, presenting, sleeping and an orderly
// close. Each platform defines PlatformWindow and these functions in files of
// its own (win32_*, wgl_*, x11_*, glx_*).
struct PlatformWindow;

// Opens the visible 600 by 600 window titled "drifton" and makes an OpenGL
// context current on this thread. On failure prints one line naming what
// failed, releases what it obtained and returns false.
bool openWindow(PlatformWindow& window);

// Removes the next pending event without waiting; false when none is pending.
// The quit request sets `quit` and `exitCode` and goes no further; every
// other event is handed to the window procedure, which turns Escape and the
// close request into the quit request.
bool takeEvent(PlatformWindow& window, bool& quit, int& exitCode);

// Presents the back buffer, keeping the image the next frame fades from.
void presentFrame(PlatformWindow& window);

void sleepMilliseconds(int milliseconds);

// Unbinds and deletes the context, releases the surface, destroys the window.
void closeWindow(PlatformWindow& window);
