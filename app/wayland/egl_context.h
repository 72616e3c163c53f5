#pragma once

#include "app/TrailKeeper.h"

#include <EGL/egl.h>

struct wl_display;
struct wl_egl_window;
struct wl_surface;

// The EGL side of the Wayland window: the display's EGL, the configuration,
// the window surface, the desktop OpenGL context and what keeps the trails
// across swaps.
struct EglContext {
    EglContext();
    EglContext(const EglContext&) = delete;
    EglContext& operator=(const EglContext&) = delete;

    EGLDisplay display;
    EGLConfig config;
    wl_egl_window* window;
    EGLSurface surface;
    EGLContext context;
    TrailKeeper trails;
    // The Wayland surface shown, and the buffer scale to set on it with the
    // first swap of a buffer `pendingSide` pixels wide (0: none pending).
    wl_surface* shown;
    int pendingSide;
    int32_t pendingBufferScale;
};

// Initialises EGL on the Wayland display and chooses an opaque configuration
// of exactly 8 bits a colour and at least 16 depth bits, preferring one that
// can preserve the back buffer. Then creates the window surface on `surface`
// and a desktop OpenGL context for it, makes the context current, turns the
// swap's wait for the compositor off and settles the trail path for a width
// by height view. On failure notes what failed, naming `compositor`,
// releases what it created and returns false.
bool createEglContext(wl_display* display, wl_surface* surface, int width, int height, const char* compositor,
                      EglContext& egl);

// The window surface is side by side pixels from the next frame on (a new
// scale of the output); the trails carry on as TrailKeeper::resize says. A
// buffer scale other than 0 goes to the Wayland surface with the first swap
// of a buffer of the new side: the driver may finish a frame begun on a
// buffer of the old side first. Between frames.
void resizeEglWindow(EglContext& egl, int side, int32_t bufferScale);

// Swaps the buffers, keeping the image the next frame fades from.
void presentEglFrame(EglContext& egl);

// Unbinds and deletes the context, destroys the surface and ends EGL's use
// of the display.
void destroyEglContext(EglContext& egl);
