#pragma once

// The Windows platform's window record: what the shell's platform operations
// share between start-up, the frame loop and shutdown.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "app/Platform.h"
#include "app/TrailKeeper.h"

// Which window openWindow makes: the program's, or the screen saver's over
// every monitor or inside the settings dialog's preview.
enum class WindowKind { Program, FullScreen, Preview };

struct PlatformWindow {
    HINSTANCE instance;
    WindowKind kind;
    // The window the preview fills; null for the other kinds.
    HWND parent;
    HWND window;
    HDC deviceContext;
    HGLRC renderContext;
    // Kept by the swap when the pixel format reports copying the back
    // buffer; otherwise drawn off the screen where the context offers
    // framebuffers, and kept and put back around every swap where not.
    TrailKeeper trails;

    explicit PlatformWindow(HINSTANCE instance, WindowKind kind = WindowKind::Program, HWND parent = nullptr);
    PlatformWindow(const PlatformWindow&) = delete;
    PlatformWindow& operator=(const PlatformWindow&) = delete;
};

// The Windows platform's operations: the window with a WGL context, reached
// through the window record.
extern const Platform win32Platform;
