#pragma once

#include <string>

#include <GL/glx.h>
#include <X11/Xlib.h>

// A small mapped X window with a current GLX context of the kind the program
// asks for: double-buffered RGBA with 8 bits per colour and a 16-bit depth
// buffer. Opens on the display named by DISPLAY; when something is missing,
// ready() is false and failure says what.
class GLTestWindow {
public:
    Display* display;
    Window window;
    GLXContext context;
    Colormap colormap;
    int width;
    int height;
    std::string failure;

    GLTestWindow(int width, int height);
    ~GLTestWindow();
    GLTestWindow(const GLTestWindow&) = delete;
    GLTestWindow& operator=(const GLTestWindow&) = delete;

    bool ready() const { return failure.empty(); }
};
