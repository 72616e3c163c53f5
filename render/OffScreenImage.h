#pragma once

#include "render/FramebufferCalls.h"
#include "render/PictureSquare.h"

// One persistent colour buffer of the view's size that every frame is drawn
// into, copied whole into the window's back buffer before each swap: the
// image the next frame fades from never depends on what a swap leaves.
//
// Its framebuffer and renderbuffer belong to the context and go with it;
// the object itself deletes them only when it is resized, so it may be
// destroyed after the context without calling OpenGL.
class OffScreenImage {
public:
    // Makes the framebuffer with one RGBA8 renderbuffer of width by height
    // pixels, rows stored top first where `calls` can ask for that, and binds
    // it for drawing and reading. `ready` tells whether it is complete; when
    // not, the window is bound again.
    OffScreenImage(const FramebufferCalls& calls, int width, int height);
    OffScreenImage(const OffScreenImage&) = delete;
    OffScreenImage& operator=(const OffScreenImage&) = delete;

    // Gives the image a new size, with the old picture scaled into it, and
    // binds it for drawing and reading. Where a framebuffer of the new size
    // cannot be had, the image keeps its old one.
    void resize(int newWidth, int newHeight);

    // Binds the framebuffer for drawing and reading.
    void drawHere() const;

    // Binds the window again for drawing and reading.
    void drawOnWindow() const;

    // Copies the image into the window's back buffer and binds the
    // framebuffer again for the next frame: with no squares, pixel for pixel
    // at its own size and place; given squares, scaled into each of them,
    // with the rest of the window black.
    void copyToWindow(const PictureSquare* squares, int squareCount) const;

    FramebufferCalls calls;
    int width;
    int height;
    GLuint framebuffer;
    GLuint renderbuffer;
    bool rowsTopFirst;
    bool ready;

private:
    // Makes and binds a framebuffer with one width by height RGBA8
    // renderbuffer; whether it is complete.
    bool make(int width, int height);
};
