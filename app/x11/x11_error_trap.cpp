#include "app/x11/x11_error_trap.h"

static int trappedError = 0;
static XErrorHandler untrappedHandler = nullptr;

static int trapError(Display*, XErrorEvent* event) {
    if (trappedError == 0) {
        trappedError = event->error_code;
    }
    return 0;
}

void trapXErrors(Display* display) {
    XSync(display, False);
    trappedError = 0;
    untrappedHandler = XSetErrorHandler(trapError);
}

int releaseXErrors(Display* display) {
    XSync(display, False);
    XSetErrorHandler(untrappedHandler);
    return trappedError;
}
