#include "render/PresentedImage.h"

#include "render/OpenGL.h"

#include <cstdlib>

PresentedImage::PresentedImage(int width, int height)
    : width(width), height(height),
      pixels(static_cast<unsigned char*>(malloc(static_cast<size_t>(width) * height * 4))) {}

PresentedImage::~PresentedImage() { free(pixels); }

// Tightly packed rows of four bytes a pixel, starting at the first byte.
static void setPixelStore(GLenum alignment, GLenum rowLength, GLenum skipRows, GLenum skipPixels,
                          GLenum swapBytes, GLenum lsbFirst) {
    glPixelStorei(alignment, 4);
    glPixelStorei(rowLength, 0);
    glPixelStorei(skipRows, 0);
    glPixelStorei(skipPixels, 0);
    glPixelStorei(swapBytes, GL_FALSE);
    glPixelStorei(lsbFirst, GL_FALSE);
}

// Colours pass through reading and drawing unscaled, unbiased and unmapped.
static void setIdentityPixelTransfer() {
    glPixelTransferi(GL_MAP_COLOR, GL_FALSE);
    glPixelTransferf(GL_RED_SCALE, 1.0f);
    glPixelTransferf(GL_GREEN_SCALE, 1.0f);
    glPixelTransferf(GL_BLUE_SCALE, 1.0f);
    glPixelTransferf(GL_ALPHA_SCALE, 1.0f);
    glPixelTransferf(GL_RED_BIAS, 0.0f);
    glPixelTransferf(GL_GREEN_BIAS, 0.0f);
    glPixelTransferf(GL_BLUE_BIAS, 0.0f);
    glPixelTransferf(GL_ALPHA_BIAS, 0.0f);
}

void PresentedImage::keep() {
    if (!pixels) {
        return;
    }
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPushAttrib(GL_PIXEL_MODE_BIT);
    setPixelStore(GL_PACK_ALIGNMENT, GL_PACK_ROW_LENGTH, GL_PACK_SKIP_ROWS, GL_PACK_SKIP_PIXELS,
                  GL_PACK_SWAP_BYTES, GL_PACK_LSB_FIRST);
    setIdentityPixelTransfer();
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glPopAttrib();
    glPopClientAttrib();
}

// Sets up for writing pixels into the back buffer as they are, their
// lower-left corner at x, y in the window: no test, blend or logic op
// between, whatever the matrices and the viewport hold. Saves what it
// changes for endPlainWrite to put back.
static void beginPlainWrite(int x, int y) {
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    // Colour buffer (blending, draw buffer, masks, logic op), current raster
    // position and colour, enables, pixel modes, the matrix mode and the
    // viewport.
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_ENABLE_BIT | GL_PIXEL_MODE_BIT | GL_TRANSFORM_BIT |
                 GL_VIEWPORT_BIT);
    setPixelStore(GL_UNPACK_ALIGNMENT, GL_UNPACK_ROW_LENGTH, GL_UNPACK_SKIP_ROWS, GL_UNPACK_SKIP_PIXELS,
                  GL_UNPACK_SWAP_BYTES, GL_UNPACK_LSB_FIRST);
    setIdentityPixelTransfer();
    glPixelZoom(1.0f, 1.0f);

    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_DITHER);
    glDisable(GL_COLOR_LOGIC_OP);
    glDisable(GL_FOG);
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_2D);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDrawBuffer(GL_BACK);

    // The viewport's lower-left corner, put at x, y: OpenGL 1.1 has no
    // window position call.
    glViewport(x, y, 1, 1);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRasterPos2f(-1.0f, -1.0f);
}

static void endPlainWrite() {
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
    glPopClientAttrib();
}

void PresentedImage::restore() const {
    if (!pixels) {
        return;
    }
    beginPlainWrite(0, 0);
    glDrawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    endPlainWrite();
}

void copyPictureSquare(const PictureSquare& from, const PictureSquare& to) {
    if (from.side <= 0) {
        return;
    }
    beginPlainWrite(to.x, to.y);
    const float zoom = static_cast<float>(static_cast<double>(to.side) / from.side);
    glPixelZoom(zoom, zoom);
    glReadBuffer(GL_BACK);
    glCopyPixels(from.x, from.y, from.side, from.side, GL_COLOR);
    endPlainWrite();
}
