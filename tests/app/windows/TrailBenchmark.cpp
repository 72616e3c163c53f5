// What putting the presented image back costs per frame: the program's own
// frame (step, fade, draw, present) without the sleep, timed with and without
// the kept image, and drawn off the screen where the context offers that;
// and the keeping and putting back alone.
// trail_benchmark [frames]
#include <cstdio>
#include <cstdlib>

#include "app/Platform.h"
#include "app/win32/win32_platform.h"
#include "render/DrawingState.h"
#include "render/OpenGL.h"
#include "render/PresentedImage.h"
#include "sim/Swarm.h"

static double nowMilliseconds() {
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0) {
        QueryPerformanceFrequency(&frequency);
    }
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

static void pumpMessages(PlatformWindow& window) {
    bool quit = false;
    int exitCode = 0;
    while (win32Platform.takeEvent(window, quit, exitCode)) {
    }
}

static double millisecondsPerFrame(PlatformWindow& window, Swarm& swarm, long frames) {
    double start = nowMilliseconds();
    for (long frame = 0; frame < frames; ++frame) {
        pumpMessages(window);
        swarm.step();
        fadeFrame();
        swarm.draw();
        win32Platform.presentFrame(window);
    }
    glFinish();
    return (nowMilliseconds() - start) / frames;
}

int main(int argc, char** argv) {
    long frames = argc > 1 ? strtol(argv[1], nullptr, 10) : 500;
    if (frames <= 0 || frames > 1000000) {
        frames = 500;
    }
    PlatformWindow window(GetModuleHandleA(nullptr));
    if (!win32Platform.openWindow(window)) {
        return 1;
    }
    RECT client;
    GetClientRect(window.window, &client);
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    const char* paths[] = {"kept by the swap", "drawn off the screen", "kept by buffer age", "put back"};
    printf("drawing area %d x %d, trails %s\n", width, height, paths[static_cast<int>(window.trails.path)]);
    // Obtains the kept image whatever the format, and leaves it to the swap
    // until a round asks for it.
    window.trails.use(TrailPath::Restored, width, height);
    PresentedImage* keeper = window.trails.presented;
    window.trails.use(TrailPath::KeptBySwap, width, height);

    setupDrawingState();
    Swarm swarm(5);
    millisecondsPerFrame(window, swarm, 50);

    for (int round = 0; round < 3; ++round) {
        window.trails.use(TrailPath::KeptBySwap, width, height);
        double plain = millisecondsPerFrame(window, swarm, frames);
        window.trails.use(TrailPath::Restored, width, height);
        double restoring = millisecondsPerFrame(window, swarm, frames);
        printf("round %d: %.3f ms per frame as the swap leaves it, %.3f ms putting the image back (+%.3f)",
               round + 1, plain, restoring, restoring - plain);
        if (window.trails.framebuffersOffered) {
            window.trails.use(TrailPath::OffScreen, width, height);
            double offScreen = millisecondsPerFrame(window, swarm, frames);
            printf(", %.3f ms off the screen (+%.3f)", offScreen, offScreen - plain);
        }
        printf("\n");
    }

    double start = nowMilliseconds();
    for (long i = 0; i < frames; ++i) {
        keeper->keep();
        keeper->restore();
    }
    glFinish();
    printf("keep and restore alone: %.3f ms per frame\n", (nowMilliseconds() - start) / frames);

    win32Platform.closeWindow(window);
    return 0;
}
