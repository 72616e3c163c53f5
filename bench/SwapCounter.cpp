// Counts presented frames from outside the program under measurement:
// preloaded (LD_PRELOAD), it puts itself in front of glXSwapBuffers and
// eglSwapBuffers, counts every call and passes it on. On SIGUSR1 it appends one line to the file
// named by DRIFTON_SWAP_LOG: the swaps so far, the monotonic clock and the
// process's CPU time (all threads), both in nanoseconds. Two such lines a
// known time apart give the frame rate and the CPU use between them.
#include <EGL/egl.h>
#include <GL/glx.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
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

extern "C" void glXSwapBuffers(Display* dpy, GLXDrawable drawable) {
    if (!realSwap) {
        realSwap = reinterpret_cast<SwapFunction>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    }
    realSwap(dpy, drawable);
    swapCount.fetch_add(1, std::memory_order_relaxed);
}

// Only swaps that succeed count: a failed one presented nothing.
extern "C" EGLBoolean eglSwapBuffers(EGLDisplay dpy, EGLSurface surface) {
    if (!realEglSwap) {
        realEglSwap = reinterpret_cast<EglSwapFunction>(dlsym(RTLD_NEXT, "eglSwapBuffers"));
    }
    const EGLBoolean swapped = realEglSwap(dpy, surface);
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
    struct sigaction action = {};
    action.sa_handler = writeSnapshot;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGUSR1, &action, nullptr);
}
