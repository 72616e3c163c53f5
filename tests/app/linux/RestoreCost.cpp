// Measures, not tested: what putting the presented image back costs a frame.
// Presents the same picture a few hundred times on the path that trusts the
// swap and on the path that keeps and restores, and prints the mean time of
// a presented frame on each and of keep and restore alone.
#include "app/Platform.h"
#include "app/linux/linux_platform.h"
#include "render/DrawingState.h"
#include "render/PresentedImage.h"
#include "sim/Swarm.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>

static const int frames = 400;

static double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

static double meanFrameMilliseconds(PlatformWindow& window, Swarm& swarm) {
    glFinish();
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
        fadeFrame();
        swarm.draw();
        x11Platform.presentFrame(window);
    }
    glFinish();
    return seconds(start) * 1000.0 / frames;
}

int main() {
    PlatformWindow window;
    if (!x11Platform.openWindow(window)) {
        return 1;
    }
    setupDrawingState();
    Swarm swarm(5);
    for (int i = 0; i < 300; ++i) {
        swarm.step();
        fadeFrame();
        swarm.draw();
        x11Platform.presentFrame(window);
    }
    window.x11.glx.trails.use(TrailPath::KeptBySwap, 600, 600);
    double trusted = meanFrameMilliseconds(window, swarm);
    window.x11.glx.trails.use(TrailPath::Restored, 600, 600);
    double restored = meanFrameMilliseconds(window, swarm);

    PresentedImage& image = *window.x11.glx.trails.presented;
    glFinish();
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
        image.keep();
    }
    double keep = seconds(start) * 1000.0 / frames;
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
        image.restore();
        glFinish();
    }
    double restore = seconds(start) * 1000.0 / frames;

    printf("frame, swap trusted:       %.3f ms\n", trusted);
    printf("frame, kept and restored:  %.3f ms\n", restored);
    printf("keep alone:                %.3f ms\n", keep);
    printf("restore alone (finished):  %.3f ms\n", restore);
    x11Platform.closeWindow(window);
    return 0;
}
