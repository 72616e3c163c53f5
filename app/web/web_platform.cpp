#include "app/web/web_platform.h"

#include "app/StartupFailure.h"

#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

// Waits for the browser's next animation frame, the display's pace: until
// then the browser composites what was drawn. A page that is not shown
// draws nothing: some browsers still give it a frame now and then (one a
// second), so a frame that comes while the page is hidden is let go, and the
// program waits where it is for the page to be shown and then for a frame.
// The frame clock is looked up at every wait, not kept.
EM_ASYNC_JS(void, waitForAnimationFrame, (), {
    await new Promise(function(resolve) {
        function frame() {
            if (!document.hidden) {
                resolve();
                return;
            }
            document.addEventListener('visibilitychange', function shown() {
                if (!document.hidden) {
                    document.removeEventListener('visibilitychange', shown);
                    requestAnimationFrame(frame);
                }
            });
        }
        requestAnimationFrame(frame);
    });
});

// The start-up failure line in the console and as the page's only text.
EM_JS(void, showWebFailureLine, (const char* line), {
    var text = UTF8ToString(line);
    console.error(text);
    document.body.textContent = text;
});

void showStartupFailure(const char* line) { showWebFailureLine(line); }

static bool openWebWindow(PlatformWindow& window) { return window.canvas.open(); }

// The page's events post their requests as they come, while the program
// waits for a frame or sleeps; between frames the quit request is taken
// first, and the canvas takes the size at which it is now shown. While the
// context is lost the loop is held here, with no frame drawn and no step
// taken, looking every tenth of a second for the context to be back: it
// sleeps rather than asks the browser for animation frames it would not
// draw.
static bool takeWebEvent(PlatformWindow& window, bool& quit, int& exitCode) {
    WebCanvas& canvas = window.canvas;
    if (canvas.quitRequest.take(quit, exitCode)) {
        return true;
    }
    if (canvas.contextLost) {
        emscripten_sleep(100);
        canvas.comeBack();
        return true;
    }
    canvas.followShownSide();
    return false;
}

// The canvas keeps its drawing buffer, which the browser shows once control
// returns to it.
static void presentWebFrame(PlatformWindow&) { waitForAnimationFrame(); }

static void sleepWeb(int milliseconds) { emscripten_sleep(static_cast<unsigned int>(milliseconds)); }

// The canvas's drawing buffer, at the side at which it is shown.
static int webPictureSide(PlatformWindow& window) { return window.canvas.pictureSide; }

static void closeWebWindow(PlatformWindow& window) { window.canvas.close(); }

const Platform webPlatform = {openWebWindow,   takeWebEvent, webPictureSide,
                              presentWebFrame, sleepWeb,     closeWebWindow};

const Platform* const* webPlatforms() {
    static const Platform* const webOnly[] = {&webPlatform, nullptr};
    return webOnly;
}
