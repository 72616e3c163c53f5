#include "GLTestWindow.h"

#include <cstdlib>

#include <unistd.h>

// The signature is the one XIfEvent expects.
static Bool isMapNotify(Display*, XEvent* event,
                        XPointer window) {  // NOLINT(readability-non-const-parameter)
    return event->type == MapNotify && event->xmap.window == *reinterpret_cast<Window*>(window);
}

GLTestWindow::GLTestWindow(int width, int height)
    : display(nullptr), window(0), context(nullptr), colormap(0), width(width), height(height) {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || name[0] == '\0') {
        failure = "DISPLAY is not set: the OpenGL tests need an X server (scripts/test starts an Xvfb)";
        return;
    }
    // A server that resets when its last client leaves (Xvfb does by
    // default) refuses connections for a moment, as after an earlier test.
    for (int attempt = 0; attempt < 100 && display == nullptr; ++attempt) {
        display = XOpenDisplay(name);
        if (display == nullptr) {
            usleep(50000);
        }
    }
    if (display == nullptr) {
        failure = std::string("cannot open X display ") + name;
        return;
    }
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8,   GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE,
                        8,        GLX_DEPTH_SIZE,   16,           None};
    const int screen = DefaultScreen(display);
    XVisualInfo* visual = glXChooseVisual(display, screen, attributes);
    if (visual == nullptr) {
        failure = "no double-buffered 24-bit RGBA visual with a depth buffer";
        return;
    }
    const Window root = RootWindow(display, screen);
    colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    XSetWindowAttributes windowAttributes = {};
    windowAttributes.colormap = colormap;
    windowAttributes.event_mask = StructureNotifyMask;
    window = XCreateWindow(display, root, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                           0, visual->depth, InputOutput, visual->visual, CWColormap | CWEventMask,
                           &windowAttributes);
    context = glXCreateContext(display, visual, nullptr, True);
    XFree(visual);
    if (context == nullptr) {
        failure = "cannot create a GLX context";
        return;
    }
    XMapWindow(display, window);
    XEvent event;
    XIfEvent(display, &event, isMapNotify, reinterpret_cast<XPointer>(&window));
    if (!glXMakeCurrent(display, window, context)) {
        failure = "cannot make the GLX context current";
    }
}

GLTestWindow::~GLTestWindow() {
    if (display == nullptr) {
        return;
    }
    if (context != nullptr) {
        glXMakeCurrent(display, None, nullptr);
        glXDestroyContext(display, context);
    }
    if (window != 0) {
        XDestroyWindow(display, window);
    }
    if (colormap != 0) {
        XFreeColormap(display, colormap);
    }
    XCloseDisplay(display);
}
