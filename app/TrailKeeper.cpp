#include "app/TrailKeeper.h"

#include "render/PresentedImage.h"

TrailKeeper::TrailKeeper() : path(TrailPath::Restored), keepNextImage(true), presented(nullptr) {}

TrailKeeper::~TrailKeeper() { release(); }

void TrailKeeper::use(TrailPath newPath, int width, int height) {
    path = newPath;
    keepNextImage = true;
    if (path != TrailPath::KeptBySwap && !presented) {
        presented = new PresentedImage(width, height);
    }
}

void TrailKeeper::beforeSwap() {
    if (path == TrailPath::Restored || (path == TrailPath::ByBufferAge && keepNextImage)) {
        presented->keep();
    }
}

void TrailKeeper::afterSwap(unsigned int age) {
    switch (path) {
    case TrailPath::KeptBySwap:
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
}
