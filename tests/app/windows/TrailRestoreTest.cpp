// The trails across buffer swaps when the presented image has to be put back.
// The real window and context are used; the swap is the real one followed by
// scribbling over the back buffer, which is what a platform that keeps
// nothing across a swap may leave there.
#include <cstdio>

#include "app/Platform.h"
#include "app/wgl_context.h"
#include "app/win32_platform.h"
#include "render/DrawingState.h"
#include "render/OpenGL.h"
#include "render/PresentedImage.h"
#include "support/Check.h"

static bool scribbleAfterSwap = true;
static int swaps = 0;

static BOOL WINAPI swapStandIn(HDC context) {
    using Swap = decltype(&SwapBuffers);
    static Swap realSwap = reinterpret_cast<Swap>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("gdi32.dll"), "SwapBuffers")));
    BOOL swapped = realSwap(context);
    ++swaps;
    if (scribbleAfterSwap) {
        GLfloat clearColour[4];
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
        glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    }
    return swapped;
}

extern "C" {
decltype(&SwapBuffers) __imp_SwapBuffers = swapStandIn;
}

struct Pixel {
    int red;
    int green;
    int blue;
};

static Pixel backBufferPixel(int x, int y) {
    unsigned char rgba[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return Pixel{rgba[0], rgba[1], rgba[2]};
}

static bool isGrey(Pixel pixel, int value) {
    return pixel.red == value && pixel.green == value && pixel.blue == value;
}

// A white square over the middle of the black view, opaque.
static void drawSquare() {
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glRectf(-0.5f, -0.5f, 0.5f, 0.5f);
}

int main() {
    PlatformWindow window(GetModuleHandleA(nullptr));
    if (!CHECK(openWindow(window))) {
        return checkSummary("trail_restore_test");
    }
    bool keeps = swapKeepsBackBuffer(window.deviceContext);
    printf("the pixel format %s; the presented image is %s\n",
           keeps ? "reports copying or exchanging on swap" : "reports neither copying nor exchanging on swap",
           window.trails.path == TrailPath::Restored ? "put back after each swap" : "left to the swap");
    CHECK(keeps == (window.trails.path == TrailPath::KeptBySwap));
    CHECK(keeps == (window.trails.presented == nullptr));

    RECT client;
    GetClientRect(window.window, &client);
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    window.trails.use(TrailPath::Restored, width, height);
    CHECK(window.trails.presented->width == width && window.trails.presented->height == height);
    CHECK(window.trails.presented->pixels != nullptr);

    setupDrawingState();
    drawSquare();
    presentFrame(window);
    CHECK(swaps == 1);
    // The image survives the scribbled swap, and nothing else comes back.
    CHECK(isGrey(backBufferPixel(width / 2, height / 2), 255));
    CHECK(isGrey(backBufferPixel(2, 2), 0));
    CHECK(isGrey(backBufferPixel(width - 3, height - 3), 0));

    // Frame after frame the fade works on the image before it: the square
    // darkens by about 0.95 per frame, 0.95^10 of 255 is 153.
    int previous = 255;
    bool darkensEveryFrame = true;
    for (int frame = 0; frame < 10; ++frame) {
        fadeFrame();
        presentFrame(window);
        int now = backBufferPixel(width / 2, height / 2).red;
        darkensEveryFrame = darkensEveryFrame && now < previous && now > 0;
        previous = now;
    }
    Pixel faded = backBufferPixel(width / 2, height / 2);
    printf("after 10 fades the square is (%d, %d, %d)\n", faded.red, faded.green, faded.blue);
    CHECK(darkensEveryFrame);
    CHECK(faded.red >= 145 && faded.red <= 160 && faded.green == faded.red && faded.blue == faded.red);
    CHECK(isGrey(backBufferPixel(2, 2), 0));

    // Without the kept image the same swap loses the frame: what the check
    // above guards against.
    window.trails.use(TrailPath::KeptBySwap, width, height);
    drawSquare();
    presentFrame(window);
    Pixel lost = backBufferPixel(width / 2, height / 2);
    CHECK(lost.red == 255 && lost.green == 0 && lost.blue == 255);

    scribbleAfterSwap = false;
    closeWindow(window);
    CHECK(wglGetCurrentContext() == nullptr);
    CHECK(!IsWindow(FindWindowA("drifton", "drifton")));
    return checkSummary("trail_restore_test");
}
