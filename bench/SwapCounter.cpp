// Counts presented frames from outside the program under measurement:
// preloaded (LD_PRELOAD), it puts itself in front of glXSwapBuffers and
// eglSwapBuffers, counts every call and passes it on. On SIGUSR1 it appends one line to the file
// named by DRIFTON_SWAP_LOG: the swaps so far, the monotonic clock and the
// process's CPU time (all threads), both in nanoseconds. Two such lines a
// known time apart give the frame rate and the CPU use between them.
//
// It also tells at which size the program draws, for the tests: where
// DRIFTON_SIZE_LOG names a file, it reads the drawing surface's size at each
// swap (glXQueryDrawable, eglQuerySurface) and keeps the frame's largest
// point size and largest and smallest line width (glPointSize and
// glLineWidth, passed on too), and appends
//   surface WIDTHxHEIGHT sizes POINT THICK THIN
// whenever that line differs from the last one written (0 where the frame
// set none). A program that draws every frame at one size writes one line.
#include <EGL/egl.h>
#include <GL/glx.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

using SwapFunction = void (*)(Display*, GLXDrawable);
using EglSwapFunction = EGLBoolean (*)(EGLDisplay, EGLSurface);

static std::atomic<unsigned long> swapCount(0);
static SwapFunction realSwap = nullptr;
static EglSwapFunction realEglSwap = nullptr;
static int logFile = -1;
static int sizeLog = -1;
static char lastSizes[128];
static float pointSize = 0.0f;
static float thickWidth = 0.0f;
static float thinWidth = 0.0f;

// The next definition of `name` after this module's, as the program would
// have reached it without the counter.
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

// Writes the frame's sizes if they differ from the last written, and
// starts the next frame's.
static void logSizes(long width, long height) {
    char line[sizeof lastSizes];
    snprintf(line, sizeof line, "surface %ldx%ld sizes %g %g %g\n", width, height, pointSize, thickWidth,
             thinWidth);
    pointSize = thickWidth = thinWidth = 0.0f;
    if (strcmp(line, lastSizes) == 0) {
        return;
    }
    strcpy(lastSizes, line);
    ssize_t written = write(sizeLog, line, strlen(line));
    (void)written;
}

extern "C" void glXSwapBuffers(Display* dpy, GLXDrawable drawable) {
    if (sizeLog >= 0) {
        static void (*query)(Display*, GLXDrawable, int, unsigned int*) = nullptr;
        unsigned int width = 0;
        unsigned int height = 0;
        next(query, "glXQueryDrawable")(dpy, drawable, GLX_WIDTH, &width);
        next(query, "glXQueryDrawable")(dpy, drawable, GLX_HEIGHT, &height);
        logSizes(width, height);
    }
    next(realSwap, "glXSwapBuffers")(dpy, drawable);
    swapCount.fetch_add(1, std::memory_order_relaxed);
}

// Only swaps that succeed count: a failed one presented nothing.
extern "C" EGLBoolean eglSwapBuffers(EGLDisplay dpy, EGLSurface surface) {
    if (sizeLog >= 0) {
        static EGLBoolean (*query)(EGLDisplay, EGLSurface, EGLint, EGLint*) = nullptr;
        EGLint width = 0;
        EGLint height = 0;
        next(query, "eglQuerySurface")(dpy, surface, EGL_WIDTH, &width);
        next(query, "eglQuerySurface")(dpy, surface, EGL_HEIGHT, &height);
        logSizes(width, height);
    }
    const EGLBoolean swapped = next(realEglSwap, "eglSwapBuffers")(dpy, surface);
    if (swapped) {
        swapCount.fetch_add(1, std::memory_order_relaxed);
    }
    return swapped;
}

// Decimal digits of `value` at `out`; returns the position after them.
static char* putNumber(char* out, unsigned long long value) {
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n > 0) {
        *out++ = digits[--n];
    }
    return out;
}

static unsigned long long nanoseconds(clockid_t clock) {
    timespec now;
    clock_gettime(clock, &now);
    return static_cast<unsigned long long>(now.tv_sec) * 1000000000ull +
           static_cast<unsigned long long>(now.tv_nsec);
}

// Only async-signal-safe calls: clock_gettime and write.
static void writeSnapshot(int) {
    if (logFile < 0) {
        return;
    }
    const int savedErrno = errno;
    char line[96];
    char* at = putNumber(line, swapCount.load(std::memory_order_relaxed));
    *at++ = ' ';
    at = putNumber(at, nanoseconds(CLOCK_MONOTONIC));
    *at++ = ' ';
    at = putNumber(at, nanoseconds(CLOCK_PROCESS_CPUTIME_ID));
    *at++ = '\n';
    ssize_t written = write(logFile, line, static_cast<size_t>(at - line));
    (void)written;
    errno = savedErrno;
}

__attribute__((constructor)) static void startCounting() {
    realSwap = reinterpret_cast<SwapFunction>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    realEglSwap = reinterpret_cast<EglSwapFunction>(dlsym(RTLD_NEXT, "eglSwapBuffers"));
    const char* path = getenv("DRIFTON_SWAP_LOG");
    if (path && path[0] != '\0') {
        logFile = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    }
    const char* sizePath = getenv("DRIFTON_SIZE_LOG");
    if (sizePath && sizePath[0] != '\0') {
        sizeLog = open(sizePath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    }
    struct sigaction action = {};
    action.sa_handler = writeSnapshot;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGUSR1, &action, nullptr);
}
