// The floor of the program's frame rate: the program's frame loop without the
// simulation step. It draws one fixed swarm every frame (fade, the swarm's
// draw, swap, 5 ms sleep), a swarm stepped a few thousand times first so that
// its tentacles are spread as in a running program.
#include "app/Platform.h"
#include "app/linux_platform.h"
#include "render/DrawingState.h"
#include "sim/Swarm.h"

int main() {
    PlatformWindow window;
    const Platform* platform = openPlatformWindow(linuxPlatforms(), window);
    if (!platform) {
        return 1;
    }
    setupDrawingState();
    Swarm swarm(5);
    for (int i = 0; i < 3000; ++i) {
        swarm.step();
    }
    bool quit = false;
    int exitCode = 0;
    while (!quit) {
        if (platform->takeEvent(window, quit, exitCode)) {
            continue;
        }
        fadeFrame();
        swarm.draw();
        platform->presentFrame(window);
        platform->sleepMilliseconds(5);
    }
    platform->closeWindow(window);
    return exitCode;
}
