#include "app/Shell.h"

#include "app/Platform.h"
#include "render/DrawingState.h"
#include "sim/Swarm.h"

static const int memberCount = 5;
static const int frameSleepMilliseconds = 5;

int runShell(PlatformWindow& window) {
    if (!openWindow(window)) {
        return 1;
    }
    setupDrawingState();
    // Outlives the context and the window: destroyed on the way out, after
    // closeWindow.
    Swarm swarm(memberCount);

    bool quit = false;
    int exitCode = 0;
    while (!quit) {
        // Every pending event is handled before the next frame is drawn.
        if (takeEvent(window, quit, exitCode)) {
            continue;
        }
        swarm.step();
        fadeFrame();
        swarm.draw();
        presentFrame(window);
        sleepMilliseconds(frameSleepMilliseconds);
    }
    closeWindow(window);
    return exitCode;
}
