#include "app/web/web_canvas.h"

#include "app/StartupFailure.h"
#include "app/web/web_gl_batch.h"
#include "app/web/web_gl_entry_points.h"

#include <emscripten/em_js.h>
#include <emscripten/html5.h>

#include <cstring>

// The canvas of index.html, as the window's drawing area.
static const char* canvasSelector = "#canvas";
static const int canvasSide = 600;

// The window of a page in a browser is gone with the program: the canvas
// goes out of sight, leaving the page's black.
EM_JS(void, hideWebCanvas, (), {
    var canvas = document.getElementById('canvas');
    if (canvas) {
        canvas.style.display = 'none';
    }
});

// The line that ends the program when the context is lost: in the console
// and, in place of the canvas, on the page.
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

// As on a display that goes away: one line and the end, with exit code 1.
// The drawing state is set once when the program starts, so a restored
// context would come back without it.
static EM_BOOL onContextLost(int, const void*, void* userData) {
    showContextLost();
    static_cast<WebCanvas*>(userData)->quitRequest.post(1);
    return EM_TRUE;
}

WebCanvas::WebCanvas() : context(0), batch(nullptr) {}

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
    emscripten_set_canvas_element_size(canvasSelector, canvasSide, canvasSide);
    batch = new WebGLBatch(canvasSide, canvasSide);
    if (!batch->ready) {
        noteStartupFailure("cannot set up drawing with WebGL");
        close();
        return false;
    }
    useWebGLBatch(batch);
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, onKeyDown);
    emscripten_set_beforeunload_callback(this, onBeforeUnload);
    emscripten_set_webglcontextlost_callback(canvasSelector, this, EM_TRUE, onContextLost);
    return true;
}

void WebCanvas::close() {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, nullptr);
    emscripten_set_beforeunload_callback(nullptr, nullptr);
    emscripten_set_webglcontextlost_callback(canvasSelector, nullptr, EM_TRUE, nullptr);
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
