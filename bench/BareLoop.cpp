// The program's frame loop with nothing drawn but the fade: what the window,
// the swap and the 5 ms sleep cost on their own, for scale.
#include "app/Platform.h"
#include "app/linux_platform.h"
#include "render/DrawingState.h"

int main() {
    PlatformWindow window;
    const Platform* platform = openPlatformWindow(linuxPlatforms(), window);
    if (!platform) {
        return 1;
    }
    setupDrawingState();
    bool quit = false;
    int exitCode = 0;
    while (!quit) {
        if (platform->takeEvent(window, quit, exitCode)) {
            continue;
        }
        fadeFrame();
        platform->presentFrame(window);
        platform->sleepMilliseconds(5);
    }
    platform->closeWindow(window);
    return exitCode;
}
