#pragma once

// The Windows platform's window record: what the shell's platform operations
// share between start-up, the frame loop and shutdown.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "app/Platform.h"

class PresentedImage;

struct PlatformWindow {
    HINSTANCE instance;
    HWND window;
    HDC deviceContext;
    HGLRC renderContext;
    // Set when the pixel format does not report keeping the back buffer
    // across a swap: each presented image is then put back after the swap so
    // the next frame fades from it. Null when the swap keeps it by itself.
    PresentedImage* presentedImage;

    explicit PlatformWindow(HINSTANCE instance);
    ~PlatformWindow();
    PlatformWindow(const PlatformWindow&) = delete;
    PlatformWindow& operator=(const PlatformWindow&) = delete;
};

// The Windows platform's operations, as the table below holds them.
bool openWindow(PlatformWindow& window);
bool takeEvent(PlatformWindow& window, bool& quit, int& exitCode);
void presentFrame(PlatformWindow& window);
void sleepMilliseconds(int milliseconds);
void closeWindow(PlatformWindow& window);

extern const Platform win32Platform;
