#pragma once

#include "render/PictureSquare.h"

// Keeps the image last presented and puts it back into the back buffer, for
// swaps after which the back buffer holds nothing the next frame can fade
// from. The pixel buffer is obtained once, at construction, so nothing is
// allocated per frame.
class PresentedImage {
public:
    // Obtains a buffer for width by height pixels of RGBA.
    PresentedImage(int width, int height);
    ~PresentedImage();
    PresentedImage(const PresentedImage&) = delete;
    PresentedImage& operator=(const PresentedImage&) = delete;

    // Reads the lower-left width by height pixels of the back buffer.
    void keep();

    // Writes the kept pixels back over the lower-left of the back buffer,
    // from the window's corner whatever the viewport, unchanged by blending
    // or any other fragment operation, and leaves every other piece of
    // OpenGL state as it found it.
    void restore() const;

    int width;
    int height;
    // Bottom row first, four bytes a pixel; null if it could not be obtained,
    // in which case keep and restore do nothing.
    unsigned char* pixels;
};

// Copies the picture in the back buffer's square `from` over its square `to`,
// scaled to fit, written as restore writes: unchanged by fragment operations,
// every other piece of OpenGL state left as it was. For showing one picture
// in several places where no off-screen image is offered.
void copyPictureSquare(const PictureSquare& from, const PictureSquare& to);
