#include "app/Shell.h"

#include "app/Platform.h"
#include "app/WindowFacts.h"
#include "render/DrawingState.h"
#include "sim/Swarm.h"

static const int memberCount = 5;
static const int frameSleepMilliseconds = 5;

int runShell(const Platform* const platforms[], PlatformWindow& window) {
    const Platform* platform = openPlatformWindow(platforms, window);
    if (!platform) {
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
        if (platform->takeEvent(window, quit, exitCode)) {
            continue;
        }
        swarm.step();
        fadeFrame();
        swarm.draw(pictureScale(platform->pictureSide(window)));
        platform->presentFrame(window);
        platform->sleepMilliseconds(frameSleepMilliseconds);
    }
    platform->closeWindow(window);
    return exitCode;
}
