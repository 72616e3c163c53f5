#include "render/OffScreenImage.h"

OffScreenImage::OffScreenImage(const FramebufferCalls& calls, int width, int height)
    : calls(calls), width(width), height(height), framebuffer(0), renderbuffer(0), rowsTopFirst(false),
      ready(false) {
    calls.genFramebuffers(1, &framebuffer);
    calls.bindFramebuffer(framebufferTarget, framebuffer);
    // Before any storage is attached: the window's buffers are stored top
    // row first, and smooth points and lines cover their edge pixels a
    // little differently in a buffer stored the other way up.
    if (calls.framebufferParameteri) {
        calls.framebufferParameteri(framebufferTarget, framebufferFlipYMesa, GL_TRUE);
        rowsTopFirst = true;
    }
    calls.genRenderbuffers(1, &renderbuffer);
    calls.bindRenderbuffer(renderbufferTarget, renderbuffer);
    calls.renderbufferStorage(renderbufferTarget, GL_RGBA8, width, height);
    calls.bindRenderbuffer(renderbufferTarget, 0);
    calls.framebufferRenderbuffer(framebufferTarget, firstColourAttachment, renderbufferTarget, renderbuffer);
    ready = calls.checkFramebufferStatus(framebufferTarget) == framebufferComplete;
    if (!ready) {
        calls.bindFramebuffer(framebufferTarget, 0);
    }
}

void OffScreenImage::drawHere() const { calls.bindFramebuffer(framebufferTarget, framebuffer); }

void OffScreenImage::drawOnWindow() const { calls.bindFramebuffer(framebufferTarget, 0); }

void OffScreenImage::copyToWindow(const PictureSquare* squares, int squareCount) const {
    calls.bindFramebuffer(drawFramebufferTarget, 0);
    if (squareCount == 0) {
        // Same size and place: nearest copies every pixel as it is.
        calls.blitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    } else {
        // Whatever the swap left around the pictures is cleared to black;
        // linear filtering keeps the scaled lines smooth.
        glClear(GL_COLOR_BUFFER_BIT);
        for (int i = 0; i < squareCount; ++i) {
            const PictureSquare& square = squares[i];
            calls.blitFramebuffer(0, 0, width, height, square.x, square.y, square.x + square.side,
                                  square.y + square.side, GL_COLOR_BUFFER_BIT, GL_LINEAR);
        }
    }
    calls.bindFramebuffer(drawFramebufferTarget, framebuffer);
}
