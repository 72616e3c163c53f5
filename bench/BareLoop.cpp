// The program's frame loop with nothing drawn but the fade: what the window,
// the swap and the 5 ms sleep cost on their own, for scale.
#include "app/Platform.h"
#include "app/x11_window.h"
#include "render/DrawingState.h"

int main() {
    PlatformWindow window;
    if (!openWindow(window)) {
        return 1;
    }
    setupDrawingState();
    bool quit = false;
    int exitCode = 0;
    while (!quit) {
        if (takeEvent(window, quit, exitCode)) {
            continue;
        }
        fadeFrame();
        presentFrame(window);
        sleepMilliseconds(5);
    }
    closeWindow(window);
    return exitCode;
}
