#pragma once

#include "app/win32_platform.h"

// Gets the window's device context, gives it a double-buffered RGBA format of
// 24 colour and 16 depth bits, and creates an OpenGL context for it that is
// current on this thread. Returns null on success; otherwise what failed,
// with everything obtained released and the failed call's last error kept.
const char* createRenderContext(HWND window, HDC& deviceContext, HGLRC& renderContext);

// Unbinds and deletes the OpenGL context, then releases the device context.
void releaseRenderContext(HWND window, HDC deviceContext, HGLRC renderContext);

// Whether the pixel format set on the device context reports that a swap
// leaves an earlier frame in the back buffer (copied or exchanged). When it
// reports neither, or cannot be described, nothing is known to survive.
bool swapKeepsBackBuffer(HDC deviceContext);
