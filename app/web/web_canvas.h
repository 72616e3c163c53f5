#pragma once

#include "app/PostedQuit.h"

class WebGLBatch;

// The page's canvas as the program's window: its WebGL context, the drawing
// layer over it and the quit requests that the page's events post.
struct WebCanvas {
    WebCanvas();
    WebCanvas(const WebCanvas&) = delete;
    WebCanvas& operator=(const WebCanvas&) = delete;

    // Makes a WebGL 1 context on the page's canvas current, with the
    // drawing layer over it, and listens for Escape, the tab's closing and
    // the context's loss. On failure notes why and releases what it got.
    bool open();
    // Stops listening, lets go of the drawing layer and the context, and
    // hides the canvas: the page is black from then on.
    void close();

    // The context's handle, 0 while none is open.
    int context;
    WebGLBatch* batch;
    PostedQuit quitRequest;
};
