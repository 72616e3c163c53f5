#include "app/linux/linux_platform.h"

#include "app/StartupFailure.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

void showStartupFailure(const char* line) {
    fprintf(stderr, "%s\n", line);
    fflush(stderr);
}

const Platform* const* x11Platforms() {
    // Whichever platform opens the window, a write to a server or compositor
    // that has gone away must come back as a lost connection, not end the
    // process by a signal.
    signal(SIGPIPE, SIG_IGN);
    static const Platform* const x11Only[] = {&x11Platform, nullptr};
    return x11Only;
}

const Platform* const* linuxPlatforms() {
    const Platform* const* x11Only = x11Platforms();
    static const Platform* const waylandThenX11[] = {&waylandPlatform, &x11Platform, nullptr};
    // An empty WAYLAND_DISPLAY counts as unset, so that `WAYLAND_DISPLAY=
    // drifton` asks for X11 as unsetting it does.
    const char* display = getenv("WAYLAND_DISPLAY");
    const char* socket = getenv("WAYLAND_SOCKET");
    bool named = (display && display[0] != '\0') || (socket && socket[0] != '\0');
    return named ? waylandThenX11 : x11Only;
}
