#pragma once

#include "app/win32/win32_platform.h"

// Gets the window's device context, gives it a double-buffered RGBA format of
// 24 colour and 16 depth bits, and creates an OpenGL context for it that is
// current on this thread. On failure notes what failed with the failed
// call's last error, releases everything obtained and returns false.
bool createRenderContext(HWND window, HDC& deviceContext, HGLRC& renderContext);

// Unbinds and deletes the OpenGL context, then releases the device context.
void releaseRenderContext(HWND window, HDC deviceContext, HGLRC renderContext);

// What the pixel format set on the device context reports that a swap leaves
// in the back buffer: the last image where it copies, the one before where it
// exchanges. When it reports neither, or cannot be described, nothing.
SwapKeeps swapKeepsOfFormat(HDC deviceContext);

// The OpenGL entry point of that name for the current context, or null.
GlProcedure lookUpWglProcedure(const char* name);
