#pragma once

#include <GL/glx.h>

class PresentedImage;

// How the image that the next frame fades from survives the buffer swap.
enum class TrailPath {
    // The swap copies the back buffer, or exchanges it and leaves the frame
    // before last: the next frame is drawn on the back buffer as it is.
    KeptBySwap,
    // The driver tells the back buffer's age after every swap; the image is
    // put back only when the buffer holds something older than the frame
    // before last.
    ByBufferAge,
    // Nothing tells what the back buffer holds after a swap: the image is
    // kept before every swap and put back after it.
    Restored
};

// The GLX side of the window: the framebuffer configuration, the drawing
// surface, the context and what keeps the trails across swaps.
struct GlxContext {
    GlxContext();
    GlxContext(const GlxContext&) = delete;
    GlxContext& operator=(const GlxContext&) = delete;

    GLXFBConfig config;
    GLXWindow surface;
    GLXContext context;
    // What the chosen configuration's swap does to the back buffer: true when
    // it promises to copy or exchange.
    bool swapKeepsImage;
    bool hasBufferAge;
    TrailPath trailPath;
    // On the buffer-age path: whether to keep the image before the next swap,
    // because the last swap left an older buffer behind (or none was seen yet).
    bool keepNextImage;
    // Obtained for the paths that may need to put the image back.
    PresentedImage* presented;
};

// Checks that the server offers GLX 1.3 or later and chooses a double-buffered
// RGBA configuration of 8 bits a colour and at least 16 depth bits, preferring
// one whose swap copies the back buffer. Returns the X visual for the window
// (to be freed with XFree), or prints one line naming what failed and returns
// null.
XVisualInfo* chooseGlxVisual(Display* display, int screen, GlxContext& glx);

// Creates the drawing surface on the window and a context for it, makes the
// context current and settles the trail path for a width by height view. On
// failure prints one line naming what failed, releases what it created and
// returns false.
bool createGlxContext(Display* display, Window window, int width, int height, GlxContext& glx);

// Takes the given trail path, obtaining the image keeper when the path needs
// it. Part of createGlxContext; callable on its own to force a path.
void useTrailPath(GlxContext& glx, TrailPath path, int width, int height);

// Swaps the buffers, keeping the image the next frame fades from.
void presentGlxFrame(Display* display, GlxContext& glx);

// Unbinds and deletes the context and destroys the drawing surface.
void destroyGlxContext(Display* display, GlxContext& glx);
