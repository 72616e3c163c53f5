#pragma once

#include <GL/glx.h>

#include "app/TrailKeeper.h"

// The GLX side of the window: the framebuffer configuration, the drawing
// surface, the context and what keeps the trails across swaps.
struct GlxContext {
    GlxContext();
    GlxContext(const GlxContext&) = delete;
    GlxContext& operator=(const GlxContext&) = delete;

    Display* display;
    GLXFBConfig config;
    // What the chosen configuration's swap leaves in the back buffer.
    SwapKeeps swap;
    GLXWindow surface;
    GLXContext context;
    TrailKeeper trails;
};

// What a configuration's swap leaves in the back buffer, as the server
// describes it where it lists GLX_OML_swap_method; nothing where it does not.
SwapKeeps glxSwapKeeps(Display* display, GLXFBConfig config);

// Checks that the server offers GLX 1.3 or later and chooses a double-buffered
// RGBA configuration of 8 bits a colour and at least 16 depth bits, preferring
// one whose swap copies the back buffer; when `visualId` is not 0, for a
// window that has its visual already (named as `window` in the failure), any
// double-buffered RGBA configuration of that visual, ranked the same way.
// Returns the X visual for the window (to be freed with XFree), or notes what
// failed and returns null.
XVisualInfo* chooseGlxVisual(Display* display, int screen, VisualID visualId, Window window, GlxContext& glx);

// Creates the drawing surface on the window and a context for it, makes the
// context current and settles the trail path for a width by height view, or
// with `centred` for the square view shown in the centre of a width by
// height window. On failure notes what failed, releases what it created and
// returns false.
bool createGlxContext(Window window, int width, int height, bool centred, GlxContext& glx);

// Swaps the buffers, keeping the image the next frame fades from.
void presentGlxFrame(GlxContext& glx);

// Unbinds and deletes the context and destroys the drawing surface.
void destroyGlxContext(GlxContext& glx);
