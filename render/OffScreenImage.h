#pragma once

#include "render/FramebufferCalls.h"

// One persistent colour buffer of the view's size that every frame is drawn
// into, copied whole into the window's back buffer before each swap: the
// image the next frame fades from never depends on what a swap leaves.
//
// Its framebuffer and renderbuffer belong to the context and go with it;
// the object itself never deletes them, so it may be destroyed after the
// context without calling OpenGL.
class OffScreenImage {
public:
    // Makes the framebuffer with one RGBA8 renderbuffer of width by height
    // pixels, rows stored top first where `calls` can ask for that, and binds
    // it for drawing and reading. `ready` tells whether it is complete; when
    // not, the window is bound again.
    OffScreenImage(const FramebufferCalls& calls, int width, int height);
    OffScreenImage(const OffScreenImage&) = delete;
    OffScreenImage& operator=(const OffScreenImage&) = delete;

    // Binds the framebuffer for drawing and reading.
    void drawHere() const;

    // Binds the window again for drawing and reading.
    void drawOnWindow() const;

    // Shows the image from now on as a square of `side` pixels whose lower
    // left corner is at x, y in the window, scaled to fill it, with the
    // rest of the window black.
    void showAt(int x, int y, int side);

    // Copies the image into the window's back buffer, pixel for pixel or
    // scaled where showAt placed it, and binds the framebuffer again for the
    // next frame.
    void copyToWindow() const;

    FramebufferCalls calls;
    int width;
    int height;
    // Where the image goes in the window; the image's own size and place
    // unless showAt moved it.
    int shownX;
    int shownY;
    int shownSide;
    bool scaled;
    GLuint framebuffer;
    GLuint renderbuffer;
    bool rowsTopFirst;
    bool ready;
};
