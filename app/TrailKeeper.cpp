#include "app/TrailKeeper.h"

#include "render/OffScreenImage.h"
#include "render/OpenGL.h"
#include "render/PresentedImage.h"

#include <cstdlib>
#include <cstring>
#include <utility>

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
    : path(TrailPath::Restored), swap(SwapKeeps::Nothing), squares(nullptr), squareCount(0),
      reshapeSwapsLeft(0), keepNextImage(true), framebuffersOffered(false), presented(nullptr),
      offScreen(nullptr) {
    memset(&framebuffers, 0, sizeof framebuffers);
}

TrailKeeper::~TrailKeeper() {
    release();
    free(squares);
}

void TrailKeeper::settle(SwapKeeps swap, bool bufferAge, LookUpGlProcedure lookUp, int width, int height) {
    this->swap = swap;
    framebuffersOffered = offersFramebuffers(lookUp, framebuffers);
    use(chooseTrailPath(swap, framebuffersOffered, bufferAge), width, height);
    if (path == TrailPath::OffScreen && !offScreen->ready) {
        use(chooseTrailPath(swap, false, bufferAge), width, height);
    }
}

// The largest square centred in the area.
static PictureSquare centredSquare(const WindowArea& area) {
    int side = area.width < area.height ? area.width : area.height;
    return {area.x + (area.width - side) / 2, area.y + (area.height - side) / 2, side};
}

void TrailKeeper::settleCentred(SwapKeeps swap, bool bufferAge, LookUpGlProcedure lookUp, int windowWidth,
                                int windowHeight) {
    this->swap = swap;
    framebuffersOffered = offersFramebuffers(lookUp, framebuffers);
    if (framebuffersOffered) {
        const int side = centredSquare({0, 0, windowWidth, windowHeight}).side;
        use(TrailPath::OffScreen, side, side);
    }
    if (path != TrailPath::OffScreen || !offScreen->ready) {
        use(chooseTrailPath(swap, false, bufferAge), windowWidth, windowHeight);
    }
    reshape(windowWidth, windowHeight);
}

void TrailKeeper::reshape(int windowWidth, int windowHeight, const WindowArea* areas, int areaCount) {
    const WindowArea whole = {0, 0, windowWidth, windowHeight};
    if (areaCount == 0) {
        areas = &whole;
        areaCount = 1;
    }
    PictureSquare* placed = static_cast<PictureSquare*>(malloc(sizeof(PictureSquare) * areaCount));
    if (!placed) {
        return;
    }
    // The largest square first: on the window the frame is drawn there and
    // copied into the others, so that it is drawn at the largest side and
    // scaled down into the rest, as off the screen.
    for (int i = 0; i < areaCount; ++i) {
        placed[i] = centredSquare(areas[i]);
        if (placed[i].side > placed[0].side) {
            std::swap(placed[0], placed[i]);
        }
    }
    const int largest = placed[0].side;
    free(squares);
    squares = placed;
    squareCount = areaCount;
    if (path == TrailPath::OffScreen) {
        // Drawn at the largest square's side: sharp there, and scaled down
        // into any smaller one.
        resizeOffScreen(largest, largest);
        return;
    }
    startAgainOnWindow(windowWidth, windowHeight, squares[0]);
}

int TrailKeeper::pictureSide() const {
    if (path == TrailPath::OffScreen) {
        return offScreen->width;
    }
    return squareCount > 0 ? squares[0].side : 0;
}

void TrailKeeper::resize(int width, int height) {
    if (path == TrailPath::OffScreen) {
        resizeOffScreen(width, height);
        return;
    }
    startAgainOnWindow(width, height, {0, 0, width});
}

// The image takes the new size, its picture scaled into it, where the size
// changes and is not empty (a window shrunk to nothing keeps its picture);
// the view covers the image either way (the context began with the window's
// size as its viewport).
void TrailKeeper::resizeOffScreen(int width, int height) {
    if (width > 0 && height > 0 && (width != offScreen->width || height != offScreen->height)) {
        offScreen->resize(width, height);
    }
    glViewport(0, 0, offScreen->width, offScreen->height);
}

// Drawn on the window: the view moves to its new place, and everything
// starts again from black at the new size.
void TrailKeeper::startAgainOnWindow(int windowWidth, int windowHeight, const PictureSquare& view) {
    if (presented && (presented->width != windowWidth || presented->height != windowHeight)) {
        delete presented;
        presented = new PresentedImage(windowWidth, windowHeight);
    }
    glViewport(view.x, view.y, view.side, view.side);
    glClear(GL_COLOR_BUFFER_BIT);
    keepNextImage = true;
    reshapeSwapsLeft = 2;
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
        offScreen->copyToWindow(squares, squareCount);
        return;
    }
    for (int i = 1; i < squareCount; ++i) {
        copyPictureSquare(squares[0], squares[i]);
    }
    if (path == TrailPath::Restored || (path == TrailPath::ByBufferAge && keepNextImage)) {
        presented->keep();
    }
}

void TrailKeeper::afterSwap(unsigned int age) {
    // The first swap after a reshape may be the one at which the driver
    // takes the window's new size, leaving a back buffer of undefined
    // content: it is cleared, and the next frame kept. The second may leave
    // the other buffer of an exchanging swap, drawn at the old shape.
    bool firstAfterReshape = reshapeSwapsLeft == 2;
    bool secondAfterReshape = reshapeSwapsLeft == 1;
    if (reshapeSwapsLeft > 0) {
        --reshapeSwapsLeft;
    }
    if (firstAfterReshape) {
        glClear(GL_COLOR_BUFFER_BIT);
        keepNextImage = true;
        return;
    }
    switch (path) {
    case TrailPath::KeptBySwap:
        if (secondAfterReshape && swap == SwapKeeps::ImageBeforeLast) {
            glClear(GL_COLOR_BUFFER_BIT);
        }
        break;
    case TrailPath::OffScreen:
        break;
    case TrailPath::Restored:
        presented->restore();
        break;
    case TrailPath::ByBufferAge: {
        // The age after this swap is taken to be the age after the last one;
        // when it turns for the worse, that one frame fades from what the
        // buffer holds, and keeping starts again from the next.
        bool holdsRecentFrame = (age == 1 || age == 2) && !secondAfterReshape;
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
