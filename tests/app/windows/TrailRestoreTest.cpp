// The trails across buffer swaps that keep nothing: the path the format and
// the context settle, then the image put back after each swap and the image
// drawn off the screen, there at the saver's size. The real window and
// context are used; the swap is the real one followed by scribbling over the
// back buffer, which is what a platform that keeps nothing across a swap may
// leave there.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/Platform.h"
#include "app/WindowFacts.h"
#include "app/win32/wgl_context.h"
#include "app/win32/win32_platform.h"
#include "render/DrawingState.h"
#include "render/OpenGL.h"
#include "render/OffScreenImage.h"
#include "render/PresentedImage.h"
#include "sim/Creature.h"

static bool scribbleAfterSwap = true;
static int swaps = 0;
// The trails of the window under test, for the framebuffer calls; and the
// middle of the window's back buffer as the swap found it.
static TrailKeeper* trails = nullptr;
static int middleX = 0;
static int middleY = 0;
static unsigned char middleAtSwap[4];
// And a pixel left of the middle, at the middle's height.
static int besideX = 2;
static unsigned char besideAtSwap[4];

// Binds the window for drawing and reading, or the framebuffer again.
static void bindWindow(bool window) {
    if (trails && trails->offScreen) {
        trails->framebuffers.bindFramebuffer(framebufferTarget, window ? 0 : trails->offScreen->framebuffer);
    }
}

static BOOL WINAPI swapStandIn(HDC context) {
    using Swap = decltype(&SwapBuffers);
    static Swap realSwap = reinterpret_cast<Swap>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("gdi32.dll"), "SwapBuffers")));
    bool offScreen = trails && trails->path == TrailPath::OffScreen;
    bindWindow(true);
    glReadBuffer(GL_BACK);
    glReadPixels(middleX, middleY, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, middleAtSwap);
    glReadPixels(besideX, middleY, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, besideAtSwap);
    BOOL swapped = realSwap(context);
    ++swaps;
    if (scribbleAfterSwap) {
        GLfloat clearColour[4];
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
        glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    }
    if (offScreen) {
        bindWindow(false);
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

// A pixel of what the frames are drawn on: the off-screen image where it is
// bound, otherwise the back buffer.
static Pixel backBufferPixel(int x, int y) {
    unsigned char rgba[4] = {};
    if (trails->path != TrailPath::OffScreen) {
        glReadBuffer(GL_BACK);
    }
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

// Frame after frame on the keeper's path, over scribbled swaps: the square
// reaches the window at every swap, survives it, and the fade works on the
// image before it: about 0.95 a frame, 0.95^10 of 255 is 153.
static void checkTrailsSurvive(PlatformWindow& window, int width, int height) {
    setupDrawingState();
    drawSquare();
    int swapsBefore = swaps;
    win32Platform.presentFrame(window);
    EXPECT_TRUE(swaps == swapsBefore + 1);
    EXPECT_TRUE(middleAtSwap[0] == 255 && middleAtSwap[1] == 255 && middleAtSwap[2] == 255);
    // The image survives the scribbled swap, and nothing else comes back.
    EXPECT_TRUE(isGrey(backBufferPixel(width / 2, height / 2), 255));
    EXPECT_TRUE(isGrey(backBufferPixel(2, 2), 0));
    EXPECT_TRUE(isGrey(backBufferPixel(width - 3, height - 3), 0));

    int previous = 255;
    bool darkensEveryFrame = true;
    for (int frame = 0; frame < 10; ++frame) {
        fadeFrame();
        win32Platform.presentFrame(window);
        int now = backBufferPixel(width / 2, height / 2).red;
        darkensEveryFrame = darkensEveryFrame && now < previous && now > 0 && middleAtSwap[0] == now;
        previous = now;
    }
    Pixel faded = backBufferPixel(width / 2, height / 2);
    printf("after 10 fades the square is (%d, %d, %d)\n", faded.red, faded.green, faded.blue);
    EXPECT_TRUE(darkensEveryFrame);
    EXPECT_TRUE(faded.red >= 145 && faded.red <= 160 && faded.green == faded.red && faded.blue == faded.red);
    EXPECT_TRUE(isGrey(backBufferPixel(2, 2), 0));
}

TEST(TrailRestore, TrailsSurviveSwapsThatKeepNothing) {
    PlatformWindow window(GetModuleHandleA(nullptr));
    ASSERT_TRUE(win32Platform.openWindow(window));
    trails = &window.trails;
    SwapKeeps keeps = swapKeepsOfFormat(window.deviceContext);
    TrailPath expected = keeps == SwapKeeps::LastImage         ? TrailPath::KeptBySwap
                         : window.trails.framebuffersOffered   ? TrailPath::OffScreen
                         : keeps == SwapKeeps::ImageBeforeLast ? TrailPath::KeptBySwap
                                                               : TrailPath::Restored;
    printf(
        "OpenGL %s; swap keeps %d (0 last image, 1 the one before, 2 nothing); framebuffers %s; path %d "
        "(0 kept by the swap, 1 off the screen, 3 restored)\n",
        reinterpret_cast<const char*>(glGetString(GL_VERSION)), static_cast<int>(keeps),
        window.trails.framebuffersOffered ? "offered" : "not offered", static_cast<int>(window.trails.path));
    EXPECT_TRUE(window.trails.path == expected);
    EXPECT_TRUE((window.trails.presented == nullptr) == (expected != TrailPath::Restored));

    RECT client;
    GetClientRect(window.window, &client);
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    middleX = width / 2;
    middleY = height / 2;
    window.trails.use(TrailPath::Restored, width, height);
    EXPECT_TRUE(window.trails.presented->width == width && window.trails.presented->height == height);
    EXPECT_TRUE(window.trails.presented->pixels != nullptr);
    checkTrailsSurvive(window, width, height);

    if (window.trails.framebuffersOffered) {
        window.trails.use(TrailPath::OffScreen, width, height);
        EXPECT_TRUE(window.trails.offScreen != nullptr && window.trails.offScreen->ready);
        printf("off-screen rows stored top first: %s\n",
               window.trails.offScreen->rowsTopFirst ? "yes" : "no");
        checkTrailsSurvive(window, width, height);
    }

    // Without the kept image the same swap loses the frame: what the checks
    // above guard against.
    window.trails.use(TrailPath::KeptBySwap, width, height);
    drawSquare();
    win32Platform.presentFrame(window);
    Pixel lost = backBufferPixel(width / 2, height / 2);
    EXPECT_TRUE(lost.red == 255 && lost.green == 0 && lost.blue == 255);

    scribbleAfterSwap = false;
    win32Platform.closeWindow(window);
    EXPECT_TRUE(window.trails.offScreen == nullptr && window.trails.presented == nullptr);
    EXPECT_TRUE(wglGetCurrentContext() == nullptr);
    EXPECT_TRUE(!IsWindow(FindWindowA("drifton", "drifton")));
}

// The screen saver's preview, in a window of this process: Wine shows no
// drawing of a child window whose parent belongs to another process. The
// view fills the parent's shorter side in its middle, undistorted: the
// square drawn in it is as wide as it is high, black beside it, where a view
// stretched over the whole parent would have it white. The preview follows
// its parent's new size, and ends when the parent goes.
TEST(TrailRestore, PreviewFillsTheMiddleOfItsParent) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND parent = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                                  nullptr, nullptr, instance, nullptr);
    RECT area;
    GetClientRect(parent, &area);
    PlatformWindow window(instance, WindowKind::Preview, parent);
    ASSERT_TRUE(win32Platform.openWindow(window));
    trails = &window.trails;
    middleX = area.right / 2;
    middleY = area.bottom / 2;
    besideX = middleX - area.bottom / 4 - 10;
    setupDrawingState();
    drawSquare();
    win32Platform.presentFrame(window);
    EXPECT_TRUE(middleAtSwap[0] == 255 && middleAtSwap[1] == 255 && middleAtSwap[2] == 255);
    EXPECT_TRUE(besideAtSwap[0] == 0 && besideAtSwap[1] == 0 && besideAtSwap[2] == 0);

    // A wider parent: before the next frame the preview takes its new client
    // area and the picture is centred there, where the old place is black.
    SetWindowPos(parent, nullptr, 0, 0, 700, 300, SWP_NOZORDER | SWP_NOMOVE);
    GetClientRect(parent, &area);
    bool quit = false;
    int exitCode = -1;
    while (win32Platform.takeEvent(window, quit, exitCode)) {
    }
    RECT own;
    GetClientRect(window.window, &own);
    EXPECT_TRUE(own.right == area.right && own.bottom == area.bottom);
    middleX = area.right / 2;
    besideX = middleX - area.bottom / 4 - 10;
    drawSquare();
    win32Platform.presentFrame(window);
    EXPECT_TRUE(middleAtSwap[0] == 255 && middleAtSwap[1] == 255 && middleAtSwap[2] == 255);
    EXPECT_TRUE(besideAtSwap[0] == 0 && besideAtSwap[1] == 0 && besideAtSwap[2] == 0);

    DestroyWindow(parent);
    while (!quit && win32Platform.takeEvent(window, quit, exitCode)) {
    }
    EXPECT_TRUE(quit && exitCode == 0);
    win32Platform.closeWindow(window);
}

// The saver over one monitor draws at the side of the monitor's centred
// square: its head point, 8 pixels across at 600, is 8 * side / 600 across in
// the image drawn (on a 1920x1080 screen: 1080, and 14.4).
TEST(TrailRestore, FullScreenPictureAtTheMonitorsSide) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int side = width < GetSystemMetrics(SM_CYSCREEN) ? width : GetSystemMetrics(SM_CYSCREEN);
    PlatformWindow window(GetModuleHandleA(nullptr), WindowKind::FullScreen);
    ASSERT_TRUE(GetSystemMetrics(SM_CMONITORS) == 1 && win32Platform.openWindow(window));
    trails = &window.trails;
    ASSERT_TRUE(window.trails.path == TrailPath::OffScreen);
    setupDrawingState();
    Creature head(1, 1);
    head.placeAt(0.0f, 0.0f);
    head.draw(pictureScale(win32Platform.pictureSide(window)));
    int across = 0;
    for (int x = 0; x < side; ++x) {
        across += backBufferPixel(x, side / 2).red > 0 ? 1 : 0;
    }
    printf("picture side %d, head point %d pixels across\n", win32Platform.pictureSide(window), across);
    EXPECT_EQ(win32Platform.pictureSide(window), side);
    EXPECT_NEAR(across, 8.0 * side / 600, 1.5);
    win32Platform.closeWindow(window);
}
