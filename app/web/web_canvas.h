#pragma once

#include "app/PostedQuit.h"

class WebGLBatch;

// The page's canvas as the program's window: its WebGL context, the drawing
// layer over it and the quit requests that the page's events post. Its
// drawing buffer has as many pixels as the display shows it with.
struct WebCanvas {
    WebCanvas();
    WebCanvas(const WebCanvas&) = delete;
    WebCanvas& operator=(const WebCanvas&) = delete;

    // Makes a WebGL 1 context on the page's canvas current, with the
    // drawing layer over it, sizes its drawing buffer as the canvas is
    // shown, and listens for Escape, the tab's closing, the context's loss
    // and restoring, and the canvas's size. On failure notes why and
    // releases what it got.
    bool open();
    // Between frames: where the side in device pixels at which the canvas
    // is shown has changed (the window's size, full screen, a new pixel
    // ratio), gives the drawing buffer that side. The buffer then starts
    // again from black, and the drawing layer draws at the new size.
    void followShownSide();
    // Between frames while the context is lost: once the browser has given
    // it back, the drawing layer makes its objects and state again and the
    // picture starts again from black at the shown side, the loss over.
    // Where the context given back cannot be drawn with, shows the line
    // that ends the page and posts the quit request.
    void comeBack();
    // Stops listening, lets go of the drawing layer and the context, and
    // hides the canvas: the page is black from then on.
    void close();

    // The context's handle, 0 while none is open.
    int context;
    // The canvas's size as last set, square, 0 before the first.
    int canvasSide;
    // The drawing buffer's side, at which the picture is drawn: the
    // canvas's, or less where the browser gives less.
    int pictureSide;
    WebGLBatch* batch;
    PostedQuit quitRequest;
    // From the context's loss until it is drawn with again: no frames.
    bool contextLost;
    // Set when the browser gives the context back, for comeBack.
    bool contextRestored;
};
