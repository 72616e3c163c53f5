#include "app/wayland/wl_window.h"

#include "app/StartupFailure.h"
#include "app/WindowFacts.h"
#include "app/linux/linux_platform.h"
#include "app/linux/posix_sleep.h"
#include "app/wayland/wl_release.h"

#include <libdecor.h>
#include <poll.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

// How long a frame waits for the frame event of the one before. A shown
// window gets that event at the display's refresh, every 17 ms at 60 Hz, far
// inside the bound, so only the compositor paces it. A window the compositor
// does not show gets none and draws one frame per bound: under ten a second,
// a few per cent of a core. Its close request does not wait for the bound.
static const int frameWaitMilliseconds = 100;

WaylandWindow::WaylandWindow()
    : display(nullptr), registry(nullptr), compositor(nullptr), compositorVersion(0), surface(nullptr),
      decor(nullptr), frame(nullptr), frameCallback(nullptr), bufferSide(windowSide), bufferScale(1),
      framePresented(false), configured(false), closeRequested(false), connectionBroken(false),
      compositorName() {}

// What the Wayland library and libdecor would print on their own is kept
// instead, so that a failure reaches the user as one line of the program's.
static char libraryMessage[256];

static void keepLibraryMessage(const char* format, va_list arguments) {
    vsnprintf(libraryMessage, sizeof libraryMessage, format, arguments);
    size_t length = strlen(libraryMessage);
    while (length > 0 && (libraryMessage[length - 1] == '\n' || libraryMessage[length - 1] == ' ')) {
        libraryMessage[--length] = '\0';
    }
}

static bool decorFailed = false;

static void onDecorError(libdecor*, libdecor_error, const char* message) {
    decorFailed = true;
    snprintf(libraryMessage, sizeof libraryMessage, "%s", message ? message : "libdecor failed");
}

// libdecor's tables end in ten reserved entries, left empty.
static libdecor_interface decorInterface = {onDecorError, nullptr, nullptr, nullptr, nullptr, nullptr,
                                            nullptr,      nullptr, nullptr, nullptr, nullptr};

static void nameCompositor(WaylandWindow& window) {
    const char* socket = getenv("WAYLAND_SOCKET");
    const char* display = getenv("WAYLAND_DISPLAY");
    if (socket && socket[0] != '\0') {
        snprintf(window.compositorName, sizeof window.compositorName, "on WAYLAND_SOCKET %s", socket);
    } else {
        snprintf(window.compositorName, sizeof window.compositorName, "%s", display ? display : "wayland-0");
    }
}

// Version 3 brings the buffer scale, 4 the damage in buffer pixels that EGL
// reports with each swap, 6 the surface's preferred buffer scale, where the
// headers built with have that event: a surface bound at a version whose
// events its listener lacks would be sent events it cannot take.
#ifdef WL_SURFACE_PREFERRED_BUFFER_SCALE_SINCE_VERSION
static const uint32_t compositorVersionUsed = WL_SURFACE_PREFERRED_BUFFER_SCALE_SINCE_VERSION;
#else
static const uint32_t compositorVersionUsed = WL_SURFACE_DAMAGE_BUFFER_SINCE_VERSION;
#endif

static void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                     uint32_t version) {
    WaylandWindow& window = *static_cast<WaylandWindow*>(data);
    if (strcmp(interface, wl_compositor_interface.name) == 0 && !window.compositor) {
        window.compositorVersion = version < compositorVersionUsed ? version : compositorVersionUsed;
        window.compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, window.compositorVersion));
    } else if (strcmp(interface, wl_seat_interface.name) == 0) {
        bindSeat(window.keyboard, registry, name, version);
    } else {
        bindScaleGlobal(window.scale, registry, name, interface, version);
    }
}

static void onGlobalRemove(void* data, wl_registry*, uint32_t name) {
    WaylandWindow& window = *static_cast<WaylandWindow*>(data);
    forgetSeat(window.keyboard, name);
    forgetScaleGlobal(window.scale, name);
}

static const wl_registry_listener registryListener = {onGlobal, onGlobalRemove};

static void onConfigure(libdecor_frame* frame, libdecor_configuration* configuration, void* data) {
    WaylandWindow& window = *static_cast<WaylandWindow*>(data);
    // The size is fixed: whatever size the compositor suggests, the content
    // stays 600 by 600.
    libdecor_state* state = libdecor_state_new(windowSide, windowSide);
    libdecor_frame_commit(frame, state, configuration);
    libdecor_state_free(state);
    window.configured = true;
}

static void onClose(libdecor_frame*, void* data) { static_cast<WaylandWindow*>(data)->closeRequested = true; }

// The decorations changed and ask for the content to be committed with them.
static void onCommit(libdecor_frame*, void* data) {
    wl_surface_commit(static_cast<WaylandWindow*>(data)->surface);
}

static void onDismissPopup(libdecor_frame*, const char*, void*) {}

static libdecor_frame_interface frameInterface = {onConfigure, onClose, onCommit, onDismissPopup, nullptr,
                                                  nullptr,     nullptr, nullptr,  nullptr,        nullptr,
                                                  nullptr,     nullptr, nullptr,  nullptr};

// Destroys everything in the reverse order of making it and disconnects.
static void releaseWindow(WaylandWindow& window) {
    destroyEglContext(window.egl);
    release(window.frameCallback, wl_callback_destroy);
    release(window.frame, libdecor_frame_unref);
    release(window.decor, libdecor_unref);
    releaseScale(window.scale);
    release(window.surface, wl_surface_destroy);
    releaseSeat(window.keyboard);
    release(window.compositor, wl_compositor_destroy);
    release(window.registry, wl_registry_destroy);
    if (window.display) {
        wl_display_flush(window.display);
        wl_display_disconnect(window.display);
        window.display = nullptr;
    }
    window.bufferSide = windowSide;
    window.bufferScale = 1;
    window.framePresented = false;
    window.configured = false;
}

// Notes "cannot WHAT on the Wayland compositor NAME", with what the libraries
// said about it, and releases everything.
static bool failOpening(WaylandWindow& window, const char* what) {
    if (libraryMessage[0] != '\0') {
        noteStartupFailure("cannot %s on the Wayland compositor %s (%s)", what, window.compositorName,
                           libraryMessage);
    } else {
        noteStartupFailure("cannot %s on the Wayland compositor %s", what, window.compositorName);
    }
    releaseWindow(window);
    return false;
}

// Gives the surface its decorated xdg-shell window: title and app id (the
// desktop entry's name, so that docks show its icon), a fixed content size,
// no resizing, minimising or fullscreen. Then waits for the first configure.
static bool decorate(WaylandWindow& window) {
    window.decor = libdecor_new(window.display, &decorInterface);
    if (!window.decor || decorFailed) {
        return failOpening(window, "make a window");
    }
    window.frame = libdecor_decorate(window.decor, window.surface, &frameInterface, &window);
    if (!window.frame) {
        return failOpening(window, "make a window");
    }
    libdecor_frame_set_title(window.frame, windowName);
    libdecor_frame_set_app_id(window.frame, windowName);
    libdecor_frame_set_min_content_size(window.frame, windowSide, windowSide);
    libdecor_frame_set_max_content_size(window.frame, windowSide, windowSide);
    libdecor_frame_unset_capabilities(
        window.frame, static_cast<libdecor_capabilities>(LIBDECOR_ACTION_RESIZE | LIBDECOR_ACTION_MINIMIZE |
                                                         LIBDECOR_ACTION_FULLSCREEN));
    libdecor_frame_map(window.frame);
    while (!window.configured && !decorFailed) {
        if (wl_display_dispatch(window.display) < 0) {
            return failOpening(window, "receive the window's first configure");
        }
    }
    if (decorFailed) {
        return failOpening(window, "make a window");
    }
    return true;
}

// The buffer's side and scale for the scale the compositor reported last. A
// compositor too old for buffer scales has the window drawn at 600 by 600
// unless the viewport shows it at that size.
static void wantedBuffer(const WaylandWindow& window, int& side, int32_t& scale) {
    side = wantedBufferSide(window.scale);
    scale = wantedBufferScale(window.scale);
    if (scale != 1 && window.compositorVersion < WL_SURFACE_SET_BUFFER_SCALE_SINCE_VERSION) {
        side = windowSide;
        scale = 1;
    }
}

// Between frames, so that the next one is drawn at the new side; only once
// the first is presented, since the driver took the first frame's buffer
// when the context was made current.
static void takeWantedScale(WaylandWindow& window) {
    int side = 0;
    int32_t scale = 1;
    wantedBuffer(window, side, scale);
    if (side == window.bufferSide || !window.framePresented) {
        return;
    }
    resizeEglWindow(window.egl, side, scale != window.bufferScale ? scale : 0);
    window.bufferSide = side;
    window.bufferScale = scale;
}

static bool openWaylandWindow(PlatformWindow& platformWindow) {
    WaylandWindow& window = platformWindow.wayland;
    wl_log_set_handler_client(keepLibraryMessage);
    libraryMessage[0] = '\0';
    decorFailed = false;
    nameCompositor(window);

    window.display = wl_display_connect(nullptr);
    if (!window.display) {
        noteStartupFailure("cannot connect to the Wayland compositor %s", window.compositorName);
        return false;
    }
    window.registry = wl_display_get_registry(window.display);
    wl_registry_add_listener(window.registry, &registryListener, &window);
    if (wl_display_roundtrip(window.display) < 0) {
        return failOpening(window, "list the globals");
    }
    if (!window.compositor) {
        return failOpening(window, "find surfaces");
    }
    // The outputs' scales, so that the first frame is drawn at the scale of
    // the output the window will likely be shown on.
    if (window.scale.outputCount > 0 && wl_display_roundtrip(window.display) < 0) {
        return failOpening(window, "list the outputs");
    }
    window.surface = wl_compositor_create_surface(window.compositor);
    watchSurfaceScale(window.scale, window.surface);
    wantedBuffer(window, window.bufferSide, window.bufferScale);
    if (window.compositorVersion >= WL_SURFACE_SET_BUFFER_SCALE_SINCE_VERSION) {
        wl_surface_set_buffer_scale(window.surface, window.bufferScale);
    }
    // The context before the window, so that a failed start leaves nothing on
    // the screen.
    if (!createEglContext(window.display, window.surface, window.bufferSide, window.bufferSide,
                          window.compositorName, window.egl)) {
        releaseWindow(window);
        return false;
    }
    return decorate(window);
}

// The connection has failed: says how in one line and asks the loop to end
// with exit code 1. A protocol error is the program's or the compositor's
// fault and is named as such; anything else is a lost connection.
static void reportBrokenConnection(WaylandWindow& window) {
    if (window.connectionBroken) {
        return;
    }
    window.connectionBroken = true;
    if (wl_display_get_error(window.display) == EPROTO) {
        // The library has logged the error with the compositor's text.
        if (libraryMessage[0] != '\0') {
            fprintf(stderr, "drifton: Wayland protocol error from the compositor %s: %s\n",
                    window.compositorName, libraryMessage);
        } else {
            const wl_interface* interface = nullptr;
            uint32_t id = 0;
            uint32_t code = wl_display_get_protocol_error(window.display, &interface, &id);
            fprintf(stderr, "drifton: Wayland protocol error from the compositor %s: %s@%u: error %u\n",
                    window.compositorName, interface ? interface->name : "unknown", id, code);
        }
    } else {
        fprintf(stderr, "drifton: lost the connection to the Wayland compositor %s\n", window.compositorName);
    }
    fflush(stderr);
    window.quitRequest.post(1);
}

// Reads and dispatches whatever the compositor has sent, waiting up to
// `timeoutMilliseconds` for it when nothing is queued (0: not at all).
// Returns how many events were dispatched, or -1 once the connection has
// failed.
static int dispatchEvents(wl_display* display, int timeoutMilliseconds) {
    int dispatched = wl_display_dispatch_pending(display);
    if (dispatched != 0) {
        return dispatched;
    }
    while (wl_display_prepare_read(display) != 0) {
        int more = wl_display_dispatch_pending(display);
        if (more < 0) {
            return -1;
        }
        dispatched += more;
    }
    // A failed flush is not yet the end: the compositor may have sent a
    // protocol error before it hung up, and that is read below.
    wl_display_flush(display);
    pollfd connection = {wl_display_get_fd(display), POLLIN, 0};
    if (poll(&connection, 1, dispatched > 0 ? 0 : timeoutMilliseconds) > 0) {
        // Readable, or hung up: reading tells which.
        if (wl_display_read_events(display) < 0) {
            return -1;
        }
    } else {
        wl_display_cancel_read(display);
    }
    int more = wl_display_dispatch_pending(display);
    return more < 0 ? -1 : dispatched + more;
}

// Dispatches what has come, as dispatchEvents does, and turns a failed
// connection, Escape and the close request into the quit request. Returns
// whether any event was dispatched or a quit is posted.
static bool pumpEvents(WaylandWindow& window, int timeoutMilliseconds) {
    int dispatched = dispatchEvents(window.display, timeoutMilliseconds);
    if (dispatched < 0) {
        reportBrokenConnection(window);
        return true;
    }
    // The window procedure's part: Escape and the close request post the
    // quit; every other event needs nothing, since each frame is drawn whole.
    if (window.keyboard.escapePressed || window.closeRequested) {
        window.quitRequest.post(0);
    }
    return dispatched > 0 || window.quitRequest.posted;
}

static bool takeWaylandEvent(PlatformWindow& platformWindow, bool& quit, int& exitCode) {
    WaylandWindow& window = platformWindow.wayland;
    // Taken before any further event, so that no flood of events can hold
    // the end back.
    if (window.quitRequest.take(quit, exitCode)) {
        return true;
    }
    bool taken = pumpEvents(window, 0);
    takeWantedScale(window);
    return taken;
}

static long long monotonicMilliseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Waits for the frame event of the frame before, taking every other event
// as it comes, until it arrives, a quit is posted or the bound has passed.
static void waitForFrameEvent(WaylandWindow& window) {
    // One millisecond more, so that rounding the clock down never ends the
    // wait short of the bound.
    long long deadline = monotonicMilliseconds() + frameWaitMilliseconds + 1;
    while (window.frameCallback && !window.quitRequest.posted) {
        long long remaining = deadline - monotonicMilliseconds();
        if (remaining <= 0) {
            return;
        }
        pumpEvents(window, static_cast<int>(remaining));
    }
}

static void onFrameDone(void* data, wl_callback* callback, uint32_t) {
    WaylandWindow& window = *static_cast<WaylandWindow*>(data);
    wl_callback_destroy(callback);
    window.frameCallback = nullptr;
}

static const wl_callback_listener frameListener = {onFrameDone};

// The swap never waits for the compositor, so that a hidden window cannot
// stop the loop: the pacing is here instead. Each frame waits (boundedly) for
// the frame event of the last one, then asks for its own, which the swap
// commits with the frame. A request still unanswered after the bound is kept
// rather than made again, since a hidden surface would pile them up in the
// compositor.
static void presentWaylandFrame(PlatformWindow& platformWindow) {
    WaylandWindow& window = platformWindow.wayland;
    waitForFrameEvent(window);
    // A window about to close gains nothing from this frame, and a lost
    // connection cannot take it: the next takeEvent ends the loop.
    if (window.quitRequest.posted) {
        return;
    }
    if (!window.frameCallback) {
        window.frameCallback = wl_surface_frame(window.surface);
        wl_callback_add_listener(window.frameCallback, &frameListener, &window);
    }
    presentEglFrame(window.egl);
    window.framePresented = true;
    if (wl_display_get_error(window.display) != 0) {
        reportBrokenConnection(window);
    }
}

static int waylandPictureSide(PlatformWindow& window) { return window.wayland.bufferSide; }

static void closeWaylandWindow(PlatformWindow& platformWindow) { releaseWindow(platformWindow.wayland); }

const Platform waylandPlatform = {openWaylandWindow,   takeWaylandEvent,       waylandPictureSide,
                                  presentWaylandFrame, sleepMillisecondsPosix, closeWaylandWindow};
