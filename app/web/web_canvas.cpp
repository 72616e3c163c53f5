#include "app/web/web_canvas.h"

#include "app/StartupFailure.h"
#include "app/web/web_gl_batch.h"
#include "app/web/web_gl_entry_points.h"

#include <emscripten/em_js.h>
#include <emscripten/html5.h>

#include <cstring>

// The canvas of index.html, as the window's drawing area.
static const char* canvasSelector = "#canvas";

// Keeps the side of the square the canvas shows up to date for the frames to
// read: the shorter side of its box (in full screen the box is the screen,
// and object-fit: contain centres the square in it). Where the browser tells
// the box in device pixels, as the display shows it, that side is exact;
// elsewhere the side in CSS pixels is kept, and multiplied by the pixel ratio
// when read, so that a new ratio alone (the window moved to another monitor,
// the browser's zoom) is followed too. The observer reports from the
// browser's rendering, never in the middle of a frame.
EM_JS(void, watchShownSide, (), {
    var canvas = document.getElementById('canvas');
    var box = canvas.getBoundingClientRect();
    var shown = Module.shownSide = {css: Math.min(box.width, box.height), device: 0};
    shown.observer = new ResizeObserver(function(entries) {
        var entry = entries[entries.length - 1];
        var pixels = entry.devicePixelContentBoxSize;
        shown.css = Math.min(entry.contentRect.width, entry.contentRect.height);
        shown.device = pixels ? Math.min(pixels[0].inlineSize, pixels[0].blockSize) : 0;
    });
    try {
        shown.observer.observe(canvas, {box: 'device-pixel-content-box'});
    } catch (unknownBox) {
        shown.observer.observe(canvas);
    }
});

// The side in device pixels, at least 1.
EM_JS(int, shownSide, (), {
    var shown = Module.shownSide;
    return Math.max(1, shown.device || Math.round(shown.css * devicePixelRatio));
});

EM_JS(void, unwatchShownSide, (), {
    if (Module.shownSide) {
        Module.shownSide.observer.disconnect();
        delete Module.shownSide;
    }
});

// The window of a page in a browser is gone with the program: the canvas
// goes out of sight, leaving the page's black.
EM_JS(void, hideWebCanvas, (), {
    var canvas = document.getElementById('canvas');
    if (canvas) {
        canvas.style.display = 'none';
    }
});

EM_JS(void, tellContextLost, (), {
    console.warn('drifton: lost the WebGL context; waiting for it to come back');
});

EM_JS(void, tellContextBack, (), { console.info('drifton: the WebGL context is back'); });

// The line that ends the program when a restored context cannot be drawn
// with: in the console and, in place of the canvas, on the page.
EM_JS(void, showContextLost, (), {
    var line = 'drifton: lost the WebGL context';
    console.error(line);
    document.body.textContent = line;
});

static EM_BOOL onKeyDown(int, const EmscriptenKeyboardEvent* event, void* userData) {
    if (strcmp(event->key, "Escape") != 0) {
        return EM_FALSE;
    }
    static_cast<WebCanvas*>(userData)->quitRequest.post(0);
    return EM_TRUE;
}

// Closing the tab is the close request; nothing of what follows is seen.
static const char* onBeforeUnload(int, const void*, void* userData) {
    static_cast<WebCanvas*>(userData)->quitRequest.post(0);
    return nullptr;
}

// Taken as handled, so that the browser may give the context back; until it
// does, the program waits.
static EM_BOOL onContextLost(int, const void*, void* userData) {
    tellContextLost();
    static_cast<WebCanvas*>(userData)->contextLost = true;
    return EM_TRUE;
}

static EM_BOOL onContextRestored(int, const void*, void* userData) {
    static_cast<WebCanvas*>(userData)->contextRestored = true;
    return EM_TRUE;
}

WebCanvas::WebCanvas()
    : context(0), canvasSide(0), pictureSide(0), batch(nullptr), contextLost(false), contextRestored(false) {}

bool WebCanvas::open() {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    // Every frame fades the one before: the canvas keeps its image between
    // frames, and without alpha the page behind never shows through.
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_FALSE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_TRUE;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    context = emscripten_webgl_create_context(canvasSelector, &attributes);
    if (context <= 0) {
        context = 0;
        noteStartupFailure("this browser offers no WebGL");
        return false;
    }
    emscripten_webgl_make_context_current(context);
    int width = 0;
    int height = 0;
    emscripten_webgl_get_drawing_buffer_size(context, &width, &height);
    batch = new WebGLBatch(width, height);
    if (!batch->ready) {
        noteStartupFailure("cannot set up drawing with WebGL");
        close();
        return false;
    }
    useWebGLBatch(batch);
    watchShownSide();
    followShownSide();
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, onKeyDown);
    emscripten_set_beforeunload_callback(this, onBeforeUnload);
    emscripten_set_webglcontextlost_callback(canvasSelector, this, EM_TRUE, onContextLost);
    emscripten_set_webglcontextrestored_callback(canvasSelector, this, EM_TRUE, onContextRestored);
    return true;
}

void WebCanvas::comeBack() {
    // Not given back yet, or lost again since: the waiting goes on.
    const bool back = contextRestored && !emscripten_is_webgl_context_lost(context);
    contextRestored = false;
    if (!back) {
        return;
    }
    if (!batch->restore()) {
        showContextLost();
        quitRequest.post(1);
        return;
    }
    contextLost = false;
    tellContextBack();
    // The buffer's size is taken again as for a new shown side.
    canvasSide = 0;
    followShownSide();
}

void WebCanvas::followShownSide() {
    const int side = shownSide();
    if (side == canvasSide) {
        return;
    }
    canvasSide = side;
    emscripten_set_canvas_element_size(canvasSelector, side, side);
    // A browser may give a buffer smaller than asked for, in proportion.
    int width = 0;
    int height = 0;
    emscripten_webgl_get_drawing_buffer_size(context, &width, &height);
    pictureSide = width < height ? width : height;
    batch->setView(width, height);
}

void WebCanvas::close() {
    unwatchShownSide();
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, nullptr);
    emscripten_set_beforeunload_callback(nullptr, nullptr);
    emscripten_set_webglcontextlost_callback(canvasSelector, nullptr, EM_TRUE, nullptr);
    emscripten_set_webglcontextrestored_callback(canvasSelector, nullptr, EM_TRUE, nullptr);
    useWebGLBatch(nullptr);
    delete batch;
    batch = nullptr;
    if (context) {
        emscripten_webgl_make_context_current(0);
        emscripten_webgl_destroy_context(context);
        context = 0;
    }
    hideWebCanvas();
}
