#include "app/x11/x11_window.h"

#include "app/StartupFailure.h"
#include "app/WindowFacts.h"
#include "app/linux/linux_platform.h"
#include "app/linux/posix_sleep.h"
#include "app/x11/x11_error_trap.h"

#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

X11Window::X11Window()
    : display(nullptr), window(0), target(0), targetRoot(false), targetWidth(0), targetHeight(0),
      side(windowSide), colormap(0), wmProtocols(0), wmDeleteWindow(0) {}

// Xlib calls this when the connection to the server breaks and ends the
// process if it returns. Nothing more can be drawn or released then: one line
// and out, without running exit handlers that might talk to the server.
static int lostServer(Display* display) {
    fprintf(stderr, "drifton: lost the connection to the X server %s\n", DisplayString(display));
    _exit(1);
}

// Set by SIGTERM once quitOnTerminateSignal is called; the event pump turns
// it into the quit request.
static volatile sig_atomic_t terminated = 0;

static void noteTerminate(int) { terminated = 1; }

void quitOnTerminateSignal() {
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = noteTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
}

// Whether the target window is gone: its DestroyNotify came, or an error
// about a drawable that no longer exists, which may come first.
static bool targetLost = false;
static int glxErrorBase = 0;
static XErrorHandler otherErrors = nullptr;

// GLX's errors for a drawable that does not exist, as offsets from the
// extension's first error number (the protocol's numbering; the client
// headers do not name them).
enum GlxDrawableError { badDrawable = 2, badCurrentWindow = 5, badCurrentDrawable = 11, badWindow = 12 };

// Installed while drawing on a target window. The errors that its
// destruction causes note the loss, which the event pump reports in one line
// instead of Xlib's report; every other error goes to Xlib's handler.
static int noteLostDrawable(Display* display, XErrorEvent* event) {
    int code = event->error_code;
    int glxCode = code - glxErrorBase;
    bool gone = code == BadWindow || code == BadDrawable ||
                (glxErrorBase > 0 && (glxCode == badDrawable || glxCode == badCurrentDrawable ||
                                      glxCode == badWindow || glxCode == badCurrentWindow));
    if (gone) {
        targetLost = true;
        return 0;
    }
    return otherErrors(display, event);
}

static void setWindowProperties(X11Window& window) {
    Display* display = window.display;
    // Xlib takes the name as writable text, though it writes nothing.
    char* name = const_cast<char*>(windowName);
    XStoreName(display, window.window, name);
    Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom utf8String = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, window.window, netWmName, utf8String, 8, PropModeReplace,
                    reinterpret_cast<unsigned char*>(name), static_cast<int>(strlen(name)));

    XClassHint classHint;
    classHint.res_name = name;
    classHint.res_class = name;
    XSetClassHint(display, window.window, &classHint);

    // Equal minimum and maximum sizes make the window not resizable; the
    // position counts as the user's, which window managers honour.
    XSizeHints sizeHints;
    memset(&sizeHints, 0, sizeof sizeHints);
    sizeHints.flags = USPosition | PPosition | PMinSize | PMaxSize;
    sizeHints.x = 0;
    sizeHints.y = 0;
    sizeHints.min_width = sizeHints.max_width = window.side;
    sizeHints.min_height = sizeHints.max_height = window.side;
    XSetWMNormalHints(display, window.window, &sizeHints);

    XWMHints wmHints;
    memset(&wmHints, 0, sizeof wmHints);
    wmHints.flags = InputHint | StateHint;
    wmHints.input = True;
    wmHints.initial_state = NormalState;
    XSetWMHints(display, window.window, &wmHints);

    // The close box sends a client message instead of destroying the window.
    XSetWMProtocols(display, window.window, &window.wmDeleteWindow, 1);
}

// Desktops on X11 say how much they scale everything through the Xft.dpi
// resource, 96 at the base scale (192 for twice the size), as toolkits read
// it from the screen's resource database. Our window scales by the same:
// never below the base size, and at most eight times it, so that a stray
// value cannot ask for a window that the server or OpenGL refuses.
static int sideFromResources(Display* display) {
    const char* resources = XResourceManagerString(display);
    if (!resources) {
        return windowSide;
    }
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    char* type = nullptr;
    XrmValue value = {0, nullptr};
    double dpi = 0;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr) {
        char* end = nullptr;
        dpi = strtod(value.addr, &end);
        dpi = end != value.addr ? dpi : 0;
    }
    XrmDestroyDatabase(database);
    const double scale = dpi / 96;
    return scale > 1 && scale <= 8 ? sideAtScale(scale) : windowSide;
}

// Destroys the window and closes the connection, which also ends any error
// trap (its handler belonged to the connection's requests only).
static void releaseWindowAndDisplay(X11Window& window) {
    if (window.window) {
        XDestroyWindow(window.display, window.window);
        window.window = 0;
    }
    if (window.colormap) {
        XFreeColormap(window.display, window.colormap);
        window.colormap = 0;
    }
    XSync(window.display, False);
    XSetErrorHandler(nullptr);
    XCloseDisplay(window.display);
    window.display = nullptr;
}

// Opens the window of our own: 600 by 600 at the desktop's scale, named,
// closable, shown once everything is in place.
static bool openOwnWindow(X11Window& window) {
    Display* display = window.display;
    window.side = sideFromResources(display);
    int screen = DefaultScreen(display);
    XVisualInfo* visual = chooseGlxVisual(display, screen, 0, 0, window.glx);
    if (!visual) {
        releaseWindowAndDisplay(window);
        return false;
    }

    Window root = RootWindow(display, screen);
    window.wmProtocols = XInternAtom(display, "WM_PROTOCOLS", False);
    window.wmDeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    trapXErrors(display);
    window.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    XSetWindowAttributes attributes;
    memset(&attributes, 0, sizeof attributes);
    attributes.colormap = window.colormap;
    // Pixel value 0 is black in the true-colour visual the configuration has.
    attributes.background_pixel = 0;
    attributes.border_pixel = 0;
    attributes.event_mask = KeyPressMask;
    window.window =
        XCreateWindow(display, root, 0, 0, window.side, window.side, 0, visual->depth, InputOutput,
                      visual->visual, CWBackPixel | CWBorderPixel | CWColormap | CWEventMask, &attributes);
    XFree(visual);
    int error = releaseXErrors(display);
    if (error != 0) {
        char reason[256];
        XGetErrorText(display, error, reason, sizeof reason);
        noteStartupFailure("cannot create the window (%s)", reason);
        trapXErrors(display);
        releaseWindowAndDisplay(window);
        return false;
    }
    setWindowProperties(window);

    if (!createGlxContext(window.window, window.side, window.side, false, window.glx)) {
        releaseWindowAndDisplay(window);
        return false;
    }
    // Shown only once everything is in place, so that a failed start leaves
    // nothing on the screen.
    XMapWindow(display, window.window);
    XFlush(display);
    return true;
}

// Draws on the target window with a configuration of its visual, the
// picture centred in it. Only its changes of size and its destruction are
// watched for: its input belongs to whoever made it.
static bool useTargetWindow(X11Window& window) {
    Display* display = window.display;
    XWindowAttributes attributes;
    trapXErrors(display);
    // Watched before its size is read, so that no change after the reading
    // goes unseen.
    XSelectInput(display, window.target, StructureNotifyMask);
    Status found = XGetWindowAttributes(display, window.target, &attributes);
    int error = releaseXErrors(display);
    if (!found || error != 0) {
        noteStartupFailure("the X server on %s has no window 0x%lx", DisplayString(display), window.target);
        releaseWindowAndDisplay(window);
        return false;
    }
    XVisualInfo* visual = chooseGlxVisual(display, XScreenNumberOfScreen(attributes.screen),
                                          XVisualIDFromVisual(attributes.visual), window.target, window.glx);
    if (!visual) {
        releaseWindowAndDisplay(window);
        return false;
    }
    XFree(visual);
    window.targetWidth = attributes.width;
    window.targetHeight = attributes.height;
    if (!createGlxContext(window.target, attributes.width, attributes.height, true, window.glx)) {
        releaseWindowAndDisplay(window);
        return false;
    }
    int eventBase = 0;
    glXQueryExtension(display, &glxErrorBase, &eventBase);
    otherErrors = XSetErrorHandler(noteLostDrawable);
    return true;
}

static bool openX11Window(PlatformWindow& platformWindow) {
    X11Window& window = platformWindow.x11;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        const char* name = XDisplayName(nullptr);
        if (name[0] == '\0') {
            noteStartupFailure("cannot open display: DISPLAY is not set");
        } else {
            noteStartupFailure("cannot open display %s", name);
        }
        return false;
    }
    XSetIOErrorHandler(lostServer);
    window.display = display;
    if (window.targetRoot) {
        window.target = DefaultRootWindow(display);
    }
    return window.target ? useTargetWindow(window) : openOwnWindow(window);
}

// The window procedure: Escape and the close request post the quit; a target
// window's new size re-places the picture; every other event needs nothing,
// since each frame is drawn whole anyway.
static void windowProc(X11Window& window, XEvent& event) {
    switch (event.type) {
    case KeyPress:
        // By symbol, not by key code, so Escape is Escape in every layout.
        if (XLookupKeysym(&event.xkey, 0) == XK_Escape) {
            window.quitRequest.post(0);
        }
        break;
    case ClientMessage:
        if (event.xclient.message_type == window.wmProtocols && event.xclient.format == 32 &&
            static_cast<Atom>(event.xclient.data.l[0]) == window.wmDeleteWindow) {
            window.quitRequest.post(0);
        }
        break;
    case ConfigureNotify:
        // A new size (not a move): the picture is centred in the new shape
        // from the next frame on.
        if (event.xconfigure.window == window.target && (event.xconfigure.width != window.targetWidth ||
                                                         event.xconfigure.height != window.targetHeight)) {
            window.targetWidth = event.xconfigure.width;
            window.targetHeight = event.xconfigure.height;
            window.glx.trails.reshape(window.targetWidth, window.targetHeight);
        }
        break;
    case DestroyNotify:
        targetLost = targetLost || event.xdestroywindow.window == window.target;
        break;
    case MappingNotify:
        // A changed layout: look key symbols up in the new one from now on.
        XRefreshKeyboardMapping(&event.xmapping);
        break;
    default:
        break;
    }
}

static bool takeX11Event(PlatformWindow& platformWindow, bool& quit, int& exitCode) {
    X11Window& window = platformWindow.x11;
    if (terminated) {
        window.quitRequest.post(0);
    } else if (targetLost) {
        // Nothing more is drawn: the quit is taken before the next frame.
        fprintf(stderr, "drifton: the window 0x%lx went away\n", window.target);
        window.quitRequest.post(1);
    }
    // Taken before any further event, so that no flood of events can hold
    // the end back.
    if (window.quitRequest.take(quit, exitCode)) {
        return true;
    }
    if (XPending(window.display) == 0) {
        return false;
    }
    XEvent event;
    XNextEvent(window.display, &event);
    windowProc(window, event);
    return true;
}

// A target window's picture is drawn at the side of its centred square, our
// own window's over the whole of it.
static int x11PictureSide(PlatformWindow& window) {
    return window.x11.target ? window.x11.glx.trails.pictureSide() : window.x11.side;
}

static void presentX11Frame(PlatformWindow& window) { presentGlxFrame(window.x11.glx); }

static void closeX11Window(PlatformWindow& platformWindow) {
    X11Window& window = platformWindow.x11;
    // A target window that has gone took its GLX surface along; releasing
    // that is refused, and nobody needs to hear of it.
    trapXErrors(window.display);
    destroyGlxContext(window.glx);
    releaseXErrors(window.display);
    releaseWindowAndDisplay(window);
}

const Platform x11Platform = {openX11Window,   takeX11Event,           x11PictureSide,
                              presentX11Frame, sleepMillisecondsPosix, closeX11Window};
