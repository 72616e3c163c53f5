#include "render/OffScreenImage.h"

#include <utility>

OffScreenImage::OffScreenImage(const FramebufferCalls& calls, int width, int height)
    : calls(calls), width(width), height(height), framebuffer(0), renderbuffer(0), rowsTopFirst(false),
      ready(false) {
    ready = make(width, height);
    if (!ready) {
        calls.bindFramebuffer(framebufferTarget, 0);
    }
}

bool OffScreenImage::make(int newWidth, int newHeight) {
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
    calls.renderbufferStorage(renderbufferTarget, GL_RGBA8, newWidth, newHeight);
    calls.bindRenderbuffer(renderbufferTarget, 0);
    calls.framebufferRenderbuffer(framebufferTarget, firstColourAttachment, renderbufferTarget, renderbuffer);
    return calls.checkFramebufferStatus(framebufferTarget) == framebufferComplete;
}

void OffScreenImage::resize(int newWidth, int newHeight) {
    GLuint old[] = {framebuffer, renderbuffer};
    if (make(newWidth, newHeight)) {
        // Linear filtering keeps the scaled trails smooth; both images are
        // stored the same way up.
        calls.bindFramebuffer(readFramebufferTarget, old[0]);
        calls.blitFramebuffer(0, 0, width, height, 0, 0, newWidth, newHeight, GL_COLOR_BUFFER_BIT, GL_LINEAR);
        width = newWidth;
        height = newHeight;
    } else {
        std::swap(framebuffer, old[0]);
        std::swap(renderbuffer, old[1]);
    }
    // The pair not kept goes.
    calls.deleteFramebuffers(1, &old[0]);
    calls.deleteRenderbuffers(1, &old[1]);
    drawHere();
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
