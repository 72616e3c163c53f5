#pragma once

#include "app/Platform.h"
#include "app/PostedQuit.h"
#include "app/wayland/egl_context.h"
#include "app/wayland/wl_keyboard.h"
#include "app/wayland/wl_scale.h"

struct libdecor;
struct libdecor_frame;
struct wl_callback;
struct wl_compositor;
struct wl_display;
struct wl_registry;
struct wl_surface;

// The Wayland window: the connection to the compositor, the surface that
// libdecor turns into a decorated xdg-shell window, the keyboard, what tells
// the scale it is shown at and the EGL context. The window is 600 by 600 in
// the compositor's units; its buffer is drawn at the scale shown.
struct WaylandWindow {
    WaylandWindow();
    WaylandWindow(const WaylandWindow&) = delete;
    WaylandWindow& operator=(const WaylandWindow&) = delete;

    wl_display* display;
    wl_registry* registry;
    wl_compositor* compositor;
    uint32_t compositorVersion;
    wl_surface* surface;
    libdecor* decor;
    libdecor_frame* frame;
    // The frame request committed with an earlier frame whose frame event
    // has not come yet; null once it has. The next frame waits for it.
    wl_callback* frameCallback;
    WaylandKeyboard keyboard;
    WaylandScale scale;
    EglContext egl;
    // The side of the buffer the frames are drawn at, and the surface's
    // buffer scale for it, from what the compositor reported; changed only
    // between frames, once the first frame is presented.
    int bufferSide;
    int32_t bufferScale;
    bool framePresented;
    // Set by the first configure: nothing may be presented before it.
    bool configured;
    // The close request from the compositor or the decorations.
    bool closeRequested;
    PostedQuit quitRequest;
    // Set once the connection has failed and the user has been told.
    bool connectionBroken;
    // The compositor as the user named it, for messages.
    char compositorName[128];
};

// The Wayland platform's operations: a window on the compositor named by
// WAYLAND_DISPLAY (or handed over in WAYLAND_SOCKET) with an EGL context,
// reached through the window record's wayland part.
extern const Platform waylandPlatform;
