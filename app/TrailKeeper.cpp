#include "app/TrailKeeper.h"

#include "render/OffScreenImage.h"
#include "render/OpenGL.h"
#include "render/PresentedImage.h"

#include <cstring>

// Cheapest first: a swap that keeps the last image costs nothing; drawing
// off the screen needs no read-back of the window; the buffer age and the
// frame before last serve contexts without framebuffer objects.
TrailPath chooseTrailPath(SwapKeeps swap, bool framebuffers, bool bufferAge) {
    if (swap == SwapKeeps::LastImage) {
        return TrailPath::KeptBySwap;
    }
    if (framebuffers) {
        return TrailPath::OffScreen;
    }
    if (bufferAge) {
        return TrailPath::ByBufferAge;
    }
    return swap == SwapKeeps::ImageBeforeLast ? TrailPath::KeptBySwap : TrailPath::Restored;
}

TrailKeeper::TrailKeeper()
    : path(TrailPath::Restored), keepNextImage(true), framebuffersOffered(false), presented(nullptr),
      offScreen(nullptr) {
    memset(&framebuffers, 0, sizeof framebuffers);
}

TrailKeeper::~TrailKeeper() { release(); }

void TrailKeeper::settle(SwapKeeps swap, bool bufferAge, LookUpGlProcedure lookUp, int width, int height) {
    framebuffersOffered = offersFramebuffers(lookUp, framebuffers);
    use(chooseTrailPath(swap, framebuffersOffered, bufferAge), width, height);
    if (path == TrailPath::OffScreen && !offScreen->ready) {
        use(chooseTrailPath(swap, false, bufferAge), width, height);
    }
}

void TrailKeeper::settleCentred(SwapKeeps swap, bool bufferAge, LookUpGlProcedure lookUp, int viewSide,
                                int windowWidth, int windowHeight) {
    int side = windowWidth < windowHeight ? windowWidth : windowHeight;
    int x = (windowWidth - side) / 2;
    int y = (windowHeight - side) / 2;
    framebuffersOffered = offersFramebuffers(lookUp, framebuffers);
    if (framebuffersOffered) {
        use(TrailPath::OffScreen, viewSide, viewSide);
        if (offScreen->ready) {
            // The context began with the window's size as its viewport.
            glViewport(0, 0, viewSide, viewSide);
            offScreen->showAt(x, y, side);
            return;
        }
    }
    use(chooseTrailPath(swap, false, bufferAge), windowWidth, windowHeight);
    glViewport(x, y, side, side);
}

void TrailKeeper::use(TrailPath newPath, int width, int height) {
    path = newPath;
    keepNextImage = true;
    if (path == TrailPath::OffScreen) {
        if (!offScreen) {
            offScreen = new OffScreenImage(framebuffers, width, height);
        } else {
            offScreen->drawHere();
        }
        return;
    }
    if (offScreen && offScreen->ready) {
        offScreen->drawOnWindow();
    }
    if (path != TrailPath::KeptBySwap && !presented) {
        presented = new PresentedImage(width, height);
    }
}

void TrailKeeper::beforeSwap() {
    if (path == TrailPath::OffScreen) {
        offScreen->copyToWindow();
    } else if (path == TrailPath::Restored || (path == TrailPath::ByBufferAge && keepNextImage)) {
        presented->keep();
    }
}

void TrailKeeper::afterSwap(unsigned int age) {
    switch (path) {
    case TrailPath::KeptBySwap:
    case TrailPath::OffScreen:
        break;
    case TrailPath::Restored:
        presented->restore();
        break;
    case TrailPath::ByBufferAge: {
        // The age after this swap is taken to be the age after the last one;
        // when it turns for the worse, that one frame fades from what the
        // buffer holds, and keeping starts again from the next.
        bool holdsRecentFrame = age == 1 || age == 2;
        if (!holdsRecentFrame && keepNextImage) {
            presented->restore();
        }
        keepNextImage = !holdsRecentFrame;
        break;
    }
    }
}

void TrailKeeper::release() {
    delete presented;
    presented = nullptr;
    delete offScreen;
    offScreen = nullptr;
}
