#pragma once

#include "app/Platform.h"
#include "app/wayland/wl_window.h"
#include "app/x11/x11_window.h"

// The Linux program's window record: a part for each platform it can
// choose. Only the part of the platform that opened the window is used.
struct PlatformWindow {
    X11Window x11;
    WaylandWindow wayland;
};

// The platforms to try, in order, ending in a null entry: the Wayland
// compositor first when the environment names one (WAYLAND_DISPLAY or
// WAYLAND_SOCKET), then the X server. Unsetting both asks for X11. Also
// lets writes to a lost connection fail rather than end the process.
const Platform* const* linuxPlatforms();

// The X server only, for a screen saver's display mode, with the same
// handling of lost connections.
const Platform* const* x11Platforms();
