// The program's frame loop without its simulation step, for scripts/fps to
// measure the program against, built twice:
//   drifton_floor_loop draws one fixed swarm every frame (fade, the swarm's
//     draw, swap, 5 ms sleep), a swarm stepped a few thousand times first so
//     that its tentacles are spread as in a running program: the floor of the
//     program's frame rate;
//   drifton_bare_loop (DRAW_SWARM 0) draws nothing but the fade: what the
//     window, the swap and the sleep cost on their own, for scale.
#include "app/Platform.h"
#include "app/linux/linux_platform.h"
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
        if (DRAW_SWARM) {
            swarm.draw();
        }
        platform->presentFrame(window);
        platform->sleepMilliseconds(5);
    }
    platform->closeWindow(window);
    return exitCode;
}
