// Looks at and drives the program's window from outside, as a window manager
// or a screenshot tool would:
//   xprobe wait-window SECONDS   prints the id of the viewable "drifton" window
//   xprobe properties ID         prints its name, class, size hints, protocols, geometry
//   xprobe close ID              sends it WM_DELETE_WINDOW, as a close box does
//   xprobe frames ID MILLISECONDS
//                                reads its pixels twice, that far apart, and prints
//                                the lit pixels of each and the pixels that changed
//   xprobe move-escape           moves Escape to a free key code and gives its old
//                                key code the symbol "section"; prints both codes
//   xprobe hold-window WIDTH HEIGHT [directcolor|depthless]
//                                makes a window in a 24-bit TrueColor or DirectColor
//                                visual, or in the TrueColor visual of a double-buffered
//                                RGBA configuration without a depth buffer, prints its
//                                and the visual's ids, keeps it until killed
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

static Display* display = nullptr;

static Window parseWindow(const char* text) { return static_cast<Window>(strtoul(text, nullptr, 0)); }

static bool isProgramWindow(Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable) {
        return false;
    }
    XClassHint hint;
    if (!XGetClassHint(display, window, &hint)) {
        return false;
    }
    bool matches = strcmp(hint.res_name, "drifton") == 0;
    XFree(hint.res_name);
    XFree(hint.res_class);
    return matches;
}

static int waitWindow(int seconds) {
    for (int tries = 0; tries < seconds * 20; ++tries) {
        Window root = DefaultRootWindow(display);
        Window rootReturn;
        Window parent;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display, root, &rootReturn, &parent, &children, &count)) {
            for (unsigned int i = 0; i < count; ++i) {
                if (isProgramWindow(children[i])) {
                    printf("0x%lx\n", children[i]);
                    XFree(children);
                    return 0;
                }
            }
            if (children) {
                XFree(children);
            }
        }
        usleep(50000);
    }
    fprintf(stderr, "xprobe: no viewable drifton window\n");
    return 1;
}

// A text property with its type, e.g. "UTF8_STRING drifton".
static std::string textProperty(Window window, const char* name) {
    Atom property = XInternAtom(display, name, False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 1024, False, AnyPropertyType, &type, &format, &count,
                           &after, &data) != Success ||
        type == None) {
        return "absent";
    }
    char* typeName = XGetAtomName(display, type);
    std::string text =
        std::string(typeName) + " " + std::string(reinterpret_cast<char*>(data), count * (format / 8));
    XFree(typeName);
    XFree(data);
    return text;
}

static int properties(Window window) {
    printf("WM_NAME %s\n", textProperty(window, "WM_NAME").c_str());
    printf("_NET_WM_NAME %s\n", textProperty(window, "_NET_WM_NAME").c_str());

    XClassHint hint;
    if (XGetClassHint(display, window, &hint)) {
        printf("WM_CLASS %s %s\n", hint.res_name, hint.res_class);
        XFree(hint.res_name);
        XFree(hint.res_class);
    } else {
        printf("WM_CLASS absent\n");
    }

    XSizeHints* hints = XAllocSizeHints();
    long supplied = 0;
    if (XGetWMNormalHints(display, window, hints, &supplied)) {
        if (hints->flags & (USPosition | PPosition)) {
            printf("position %d %d\n", hints->x, hints->y);
        }
        if (hints->flags & PMinSize) {
            printf("minimum size %d %d\n", hints->min_width, hints->min_height);
        }
        if (hints->flags & PMaxSize) {
            printf("maximum size %d %d\n", hints->max_width, hints->max_height);
        }
    } else {
        printf("WM_NORMAL_HINTS absent\n");
    }
    XFree(hints);

    Atom* protocols = nullptr;
    int count = 0;
    printf("WM_PROTOCOLS");
    if (XGetWMProtocols(display, window, &protocols, &count)) {
        for (int i = 0; i < count; ++i) {
            char* name = XGetAtomName(display, protocols[i]);
            printf(" %s", name);
            XFree(name);
        }
        XFree(protocols);
    }
    printf("\n");

    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    printf("geometry %d %d %d %d\n", attributes.x, attributes.y, attributes.width, attributes.height);
    return 0;
}

static int closeWindow(Window window) {
    XEvent event;
    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return 0;
}

static XImage* grab(Window window) {
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    return XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
}

static int frames(Window window, int milliseconds) {
    XImage* first = grab(window);
    usleep(milliseconds * 1000);
    XImage* second = grab(window);
    if (!first || !second) {
        fprintf(stderr, "xprobe: cannot read the window's pixels\n");
        return 1;
    }
    long litFirst = 0;
    long litSecond = 0;
    long changed = 0;
    for (int y = 0; y < first->height; ++y) {
        for (int x = 0; x < first->width; ++x) {
            unsigned long a = XGetPixel(first, x, y) & 0xffffff;
            unsigned long b = XGetPixel(second, x, y) & 0xffffff;
            litFirst += a != 0;
            litSecond += b != 0;
            changed += a != b;
        }
    }
    printf("%ld %ld %ld\n", litFirst, litSecond, changed);
    XDestroyImage(first);
    XDestroyImage(second);
    return 0;
}

static int moveEscape() {
    int lowest = 0;
    int highest = 0;
    XDisplayKeycodes(display, &lowest, &highest);
    int perCode = 0;
    KeySym* map = XGetKeyboardMapping(display, lowest, highest - lowest + 1, &perCode);
    int escapeCode = 0;
    int freeCode = 0;
    for (int code = lowest; code <= highest; ++code) {
        KeySym* symbols = map + static_cast<ptrdiff_t>(code - lowest) * perCode;
        bool empty = true;
        for (int i = 0; i < perCode; ++i) {
            empty = empty && symbols[i] == NoSymbol;
        }
        if (symbols[0] == XK_Escape && escapeCode == 0) {
            escapeCode = code;
        }
        if (empty && freeCode == 0) {
            freeCode = code;
        }
    }
    XFree(map);
    if (escapeCode == 0 || freeCode == 0) {
        fprintf(stderr, "xprobe: no Escape key or no free key code\n");
        return 1;
    }
    KeySym escape = XK_Escape;
    KeySym section = XK_section;
    XChangeKeyboardMapping(display, freeCode, 1, &escape, 1);
    XChangeKeyboardMapping(display, escapeCode, 1, &section, 1);
    XSync(display, False);
    printf("%d %d\n", escapeCode, freeCode);
    return 0;
}

static int quietEnd(Display*) { _exit(0); }

// The 24-bit visual of a double-buffered RGBA TrueColor configuration
// without a depth buffer, as XScreenSaver's settings preview is given.
static bool depthlessVisual(XVisualInfo& chosen) {
    const int wanted[] = {GLX_DOUBLEBUFFER, True, GLX_X_VISUAL_TYPE, GLX_TRUE_COLOR, None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), wanted, &count);
    bool found = false;
    for (int i = 0; i < count && !found; ++i) {
        int depth = 1;
        glXGetFBConfigAttrib(display, configs[i], GLX_DEPTH_SIZE, &depth);
        XVisualInfo* visual = depth == 0 ? glXGetVisualFromFBConfig(display, configs[i]) : nullptr;
        found = visual && visual->depth == 24;
        chosen = found ? *visual : chosen;
        XFree(visual);
    }
    XFree(configs);
    return found;
}

static int holdWindow(int width, int height, const std::string& kind) {
    XVisualInfo visual;
    bool chosen = kind == "depthless"
                      ? depthlessVisual(visual)
                      : XMatchVisualInfo(display, DefaultScreen(display), 24,
                                         kind == "directcolor" ? DirectColor : TrueColor, &visual);
    if (!chosen) {
        fprintf(stderr, "xprobe: no such visual\n");
        return 1;
    }
    Window root = DefaultRootWindow(display);
    XSetWindowAttributes attributes = {};
    attributes.colormap = XCreateColormap(display, root, visual.visual, AllocNone);
    Window window = XCreateWindow(display, root, 0, 0, width, height, 0, visual.depth, InputOutput,
                                  visual.visual, CWBorderPixel | CWColormap, &attributes);
    XMapWindow(display, window);
    XSync(display, False);
    printf("0x%lx 0x%lx\n", window, XVisualIDFromVisual(visual.visual));
    fflush(stdout);
    XSetIOErrorHandler(quietEnd);  // reading, it ends with the server
    for (XEvent event;;) {
        XNextEvent(display, &event);
    }
}

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: xprobe wait-window|properties|close|frames|move-escape|hold-window ...\n");
        return 2;
    }
    display = XOpenDisplay(nullptr);
    if (!display) {
        fprintf(stderr, "xprobe: cannot open display\n");
        return 2;
    }
    std::string command = argv[1];
    int result = 2;
    if (command == "wait-window" && argc == 3) {
        result = waitWindow(static_cast<int>(strtol(argv[2], nullptr, 10)));
    } else if (command == "properties" && argc == 3) {
        result = properties(parseWindow(argv[2]));
    } else if (command == "close" && argc == 3) {
        result = closeWindow(parseWindow(argv[2]));
    } else if (command == "frames" && argc == 4) {
        result = frames(parseWindow(argv[2]), static_cast<int>(strtol(argv[3], nullptr, 10)));
    } else if (command == "hold-window" &&
               (argc == 4 ||
                (argc == 5 && (strcmp(argv[4], "directcolor") == 0 || strcmp(argv[4], "depthless") == 0)))) {
        result = holdWindow(atoi(argv[2]), atoi(argv[3]), argc == 5 ? argv[4] : "truecolor");
    } else if (command == "move-escape" && argc == 2) {
        result = moveEscape();
    } else {
        fprintf(stderr, "xprobe: bad arguments\n");
    }
    XCloseDisplay(display);
    return result;
}
