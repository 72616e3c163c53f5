// Tells from outside the program at which size it draws: preloaded
// (LD_PRELOAD), it puts itself in front of glPointSize, glLineWidth and the
// swaps of EGL and GLX, and passes every call on. At each swap it reads the
// drawing surface's size (eglQuerySurface, glXQueryDrawable) and appends a
// line to the file named by DRIFTON_SIZE_LOG whenever that line differs from
// the last one written:
//   surface WIDTHxHEIGHT sizes POINT THICK THIN
// with the frame's largest point size, largest and smallest line width (0
// where the frame set none). A program that draws every frame at one size
// writes one line.
#include <EGL/egl.h>
#include <GL/glx.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

static int logFile = -1;
static char lastLine[128];
static float pointSize = 0.0f;
static float thickWidth = 0.0f;
static float thinWidth = 0.0f;

// The next definition of `name` after this module's, as the program would
// have reached it without the probe.
template <typename Function>
static Function next(Function& cached, const char* name) {
    if (!cached) {
        cached = reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
    }
    return cached;
}

extern "C" void glPointSize(GLfloat size) {
    static void (*real)(GLfloat) = nullptr;
    pointSize = size > pointSize ? size : pointSize;
    next(real, "glPointSize")(size);
}

extern "C" void glLineWidth(GLfloat width) {
    static void (*real)(GLfloat) = nullptr;
    thickWidth = width > thickWidth ? width : thickWidth;
    thinWidth = thinWidth == 0.0f || width < thinWidth ? width : thinWidth;
    next(real, "glLineWidth")(width);
}

// Writes the frame's line if it differs from the last, and starts the next
// frame's sizes.
static void endFrame(long width, long height) {
    char line[sizeof lastLine];
    snprintf(line, sizeof line, "surface %ldx%ld sizes %g %g %g\n", width, height, pointSize, thickWidth,
             thinWidth);
    pointSize = thickWidth = thinWidth = 0.0f;
    if (logFile < 0 || strcmp(line, lastLine) == 0) {
        return;
    }
    strcpy(lastLine, line);
    ssize_t written = write(logFile, line, strlen(line));
    (void)written;
}

extern "C" EGLBoolean eglSwapBuffers(EGLDisplay display, EGLSurface surface) {
    static EGLBoolean (*real)(EGLDisplay, EGLSurface) = nullptr;
    static EGLBoolean (*query)(EGLDisplay, EGLSurface, EGLint, EGLint*) = nullptr;
    EGLint width = 0;
    EGLint height = 0;
    next(query, "eglQuerySurface")(display, surface, EGL_WIDTH, &width);
    next(query, "eglQuerySurface")(display, surface, EGL_HEIGHT, &height);
    endFrame(width, height);
    return next(real, "eglSwapBuffers")(display, surface);
}

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static void (*real)(Display*, GLXDrawable) = nullptr;
    static void (*query)(Display*, GLXDrawable, int, unsigned int*) = nullptr;
    unsigned int width = 0;
    unsigned int height = 0;
    next(query, "glXQueryDrawable")(display, drawable, GLX_WIDTH, &width);
    next(query, "glXQueryDrawable")(display, drawable, GLX_HEIGHT, &height);
    endFrame(width, height);
    next(real, "glXSwapBuffers")(display, drawable);
}

__attribute__((constructor)) static void openLog() {
    const char* path = getenv("DRIFTON_SIZE_LOG");
    if (path && path[0] != '\0') {
        logFile = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    }
}
