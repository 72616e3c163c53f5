#pragma once

#include "app/Platform.h"
#include "app/web/web_canvas.h"

// The page's window record: the canvas is its only window.
struct PlatformWindow {
    WebCanvas canvas;
};

// The browser's platform: the canvas with a WebGL context, presenting on
// the browser's animation frames. Its present and sleep give control back
// to the browser (through Asyncify) until the frame or the time comes.
extern const Platform webPlatform;

// The one platform a page has, ending in a null entry.
const Platform* const* webPlatforms();
