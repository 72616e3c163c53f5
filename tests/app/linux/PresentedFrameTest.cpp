// The trails on a real context, GLX on an X server or EGL on a Wayland
// compositor, whichever the environment names: what the back buffer (or the
// off-screen image) holds after presentFrame on each trail path, how the
// offers of the swap and the context settle the path, the off-screen image
// against the window pixel for pixel, and the image keeper on its own.
//
// A swap that leaves the back buffer undefined cannot be had on demand, so
// the test links stand-ins around the swaps (and the age queries) that do the
// real swap and then, when told to, spoil the back buffer the way such a
// swap may leave it. Stand-ins for EGL and OpenGL queries pretend to offers
// that this machine does not make (a preserved swap, the buffer age, a
// multisampled window) or hide those it makes (framebuffer objects), and
// record what the program asks of them.
// OpenGL 3.0's framebuffer calls, straight from libGL, to read and spoil the
// window's back buffer while the off-screen image is bound.
#define GL_GLEXT_PROTOTYPES
#include <gtest/gtest.h>

#include "app/ExtensionList.h"
#include "app/linux/linux_platform.h"
#include "render/DrawingState.h"
#include "render/OffScreenImage.h"
#include "render/PresentedImage.h"
#include "sim/Swarm.h"
#include "support/ScriptedEntropy.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glx.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

static bool spoilAfterSwap = false;
static unsigned int scriptedAge = 0;
static bool scriptAge = false;
// The window's back buffer as the swap found it, when asked for.
static bool captureAtSwap = false;
static std::vector<unsigned char> atSwap;

static const int side = 600;
static const size_t imageBytes = static_cast<size_t>(side) * side * 4;

// The window's back buffer, or what the frames are drawn on: the off-screen
// image where it is bound, otherwise the same back buffer.
static std::vector<unsigned char> readPixels(bool window) {
    GLint bound = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &bound);
    if (window || bound == 0) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glReadBuffer(GL_BACK);
    }
    std::vector<unsigned char> pixels(imageBytes);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, side, side, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(bound));
    return pixels;
}

static std::vector<unsigned char> readWindow() { return readPixels(true); }
static std::vector<unsigned char> readDrawing() { return readPixels(false); }

// How many colour bytes differ; alpha is left out, since the window's back
// buffer has none of its own and reads as opaque.
static size_t differingColours(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    size_t differing = 0;
    for (size_t i = 0; i < imageBytes; ++i) {
        differing += i % 4 != 3 && a[i] != b[i];
    }
    return differing;
}

// Green over the window's back buffer, even while the off-screen image is
// bound for drawing.
static void spoilBackBuffer() {
    GLint bound = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glPushAttrib(GL_COLOR_BUFFER_BIT);
    glDrawBuffer(GL_BACK);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glPopAttrib();
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(bound));
}

static void beforeRealSwap() {
    if (captureAtSwap) {
        atSwap = readWindow();
    }
}

// Framebuffer objects hidden (an OpenGL 2.1 context that lists no
// extensions), or a multisampled window.
static bool hideFramebuffers = false;
static bool pretendMultisampled = false;

extern "C" void __real_glXSwapBuffers(Display* display, GLXDrawable drawable);
extern "C" void __real_glXQueryDrawable(Display* display, GLXDrawable drawable, int attribute,
                                        unsigned int* value);
extern "C" const GLubyte* __real_glGetString(GLenum name);
extern "C" void __real_glGetIntegerv(GLenum name, GLint* values);

extern "C" void __wrap_glXSwapBuffers(Display* display, GLXDrawable drawable) {
    beforeRealSwap();
    __real_glXSwapBuffers(display, drawable);
    if (spoilAfterSwap) {
        spoilBackBuffer();
    }
}

extern "C" void __wrap_glXQueryDrawable(Display* display, GLXDrawable drawable, int attribute,
                                        unsigned int* value) {
    if (scriptAge && attribute == GLX_BACK_BUFFER_AGE_EXT) {
        *value = scriptedAge;
        return;
    }
    __real_glXQueryDrawable(display, drawable, attribute, value);
}

extern "C" const GLubyte* __wrap_glGetString(GLenum name) {
    if (hideFramebuffers && (name == GL_VERSION || name == GL_EXTENSIONS)) {
        return reinterpret_cast<const GLubyte*>(name == GL_VERSION ? "2.1" : "");
    }
    return __real_glGetString(name);
}

extern "C" void __wrap_glGetIntegerv(GLenum name, GLint* values) {
    __real_glGetIntegerv(name, values);
    if (pretendMultisampled && name == GL_SAMPLE_BUFFERS) {
        *values = 1;
    }
}

extern "C" EGLBoolean __real_eglSwapBuffers(EGLDisplay display, EGLSurface surface);
extern "C" EGLBoolean __real_eglQuerySurface(EGLDisplay display, EGLSurface surface, EGLint attribute,
                                             EGLint* value);
extern "C" EGLBoolean __real_eglGetConfigAttrib(EGLDisplay display, EGLConfig config, EGLint attribute,
                                                EGLint* value);
extern "C" EGLBoolean __real_eglSurfaceAttrib(EGLDisplay display, EGLSurface surface, EGLint attribute,
                                              EGLint value);
extern "C" const char* __real_eglQueryString(EGLDisplay display, EGLint name);

extern "C" EGLBoolean __wrap_eglSwapBuffers(EGLDisplay display, EGLSurface surface) {
    beforeRealSwap();
    EGLBoolean swapped = __real_eglSwapBuffers(display, surface);
    if (spoilAfterSwap) {
        spoilBackBuffer();
    }
    return swapped;
}

extern "C" EGLBoolean __wrap_eglQuerySurface(EGLDisplay display, EGLSurface surface, EGLint attribute,
                                             EGLint* value) {
    if (scriptAge && attribute == EGL_BUFFER_AGE_EXT) {
        *value = static_cast<EGLint>(scriptedAge);
        return EGL_TRUE;
    }
    return __real_eglQuerySurface(display, surface, attribute, value);
}

// What the stand-in EGL offers beyond the real one, and what the program
// asked of eglSurfaceAttrib.
static bool offerPreservedSwap = false;
static bool acceptPreservedSwap = false;
static bool scriptBufferAge = false;
static bool offerBufferAge = false;
static std::vector<EGLint> surfaceAttribCalls;

extern "C" EGLBoolean __wrap_eglGetConfigAttrib(EGLDisplay display, EGLConfig config, EGLint attribute,
                                                EGLint* value) {
    EGLBoolean known = __real_eglGetConfigAttrib(display, config, attribute, value);
    if (known && offerPreservedSwap && attribute == EGL_SURFACE_TYPE) {
        *value |= EGL_SWAP_BEHAVIOR_PRESERVED_BIT;
    }
    return known;
}

extern "C" EGLBoolean __wrap_eglSurfaceAttrib(EGLDisplay display, EGLSurface surface, EGLint attribute,
                                              EGLint value) {
    surfaceAttribCalls.push_back(attribute);
    surfaceAttribCalls.push_back(value);
    if (acceptPreservedSwap && attribute == EGL_SWAP_BEHAVIOR && value == EGL_BUFFER_PRESERVED) {
        return EGL_TRUE;
    }
    return __real_eglSurfaceAttrib(display, surface, attribute, value);
}

// Where the offer is scripted, the real list's buffer age (Debian 13's EGL
// has it) is taken out, and put back only when offered.
extern "C" const char* __wrap_eglQueryString(EGLDisplay display, EGLint name) {
    const char* real = __real_eglQueryString(display, name);
    if (!scriptBufferAge || name != EGL_EXTENSIONS || !real) {
        return real;
    }
    static std::string scripted;
    scripted.clear();
    std::istringstream names(real);
    std::string extension;
    while (names >> extension) {
        if (extension != "EGL_EXT_buffer_age") {
            scripted += extension + " ";
        }
    }
    if (offerBufferAge) {
        scripted += "EGL_EXT_buffer_age";
    }
    return scripted.c_str();
}

// Blended rectangles of several colours, and a frame count to tell frames apart.
static void drawPicture(int frame) {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1.0f, 0.5f, 0.25f, 0.75f);
    glRectf(-0.9f, -0.8f, 0.3f, 0.1f);
    glColor4f(0.2f, 0.4f, 1.0f, 0.5f);
    glRectf(-0.1f + 0.01f * static_cast<float>(frame), -0.3f, 0.95f, 0.99f);
}

static bool onWayland() {
    const char* display = getenv("WAYLAND_DISPLAY");
    return display && display[0] != '\0';
}

static void resetStandIns() {
    spoilAfterSwap = false;
    scriptAge = false;
    captureAtSwap = false;
    offerPreservedSwap = false;
    acceptPreservedSwap = false;
    scriptBufferAge = false;
    offerBufferAge = false;
    hideFramebuffers = false;
    pretendMultisampled = false;
    surfaceAttribCalls.clear();
}

class PresentedFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetStandIns();
        open();
    }
    void TearDown() override {
        close();
        resetStandIns();
    }
    void open() { ASSERT_TRUE(platform.openWindow(window)) << "on " << (onWayland() ? "Wayland" : "X11"); }
    void close() {
        if (window.x11.display || window.wayland.display) {
            platform.closeWindow(window);
        }
    }
    TrailKeeper& trails() { return onWayland() ? window.wayland.egl.trails : window.x11.glx.trails; }
    void useTrailPath(TrailPath path) { trails().use(path, side, side); }

    const Platform& platform = onWayland() ? waylandPlatform : x11Platform;
    PlatformWindow window;
};

// What this server and its context offer, read apart from the program, and
// so the path the program must settle. Servers differ in their offers
// (Debian 13's Xvfb gives the buffer age, Debian 12's a copying swap), so the
// test follows the offer rather than a server's name.
struct ServerOffer {
    TrailPath path;
    // Whether the swap leaves the frame before last in the back buffer.
    bool exchanges;
};

static bool contextListsFramebuffers() {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    bool listed = (version && version[0] >= '3' && version[0] <= '9') ||
                  listsExtension(extensions, "GL_ARB_framebuffer_object") ||
                  (listsExtension(extensions, "GL_EXT_framebuffer_object") &&
                   listsExtension(extensions, "GL_EXT_framebuffer_blit"));
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &samples);
    return listed && samples == 0;
}

// The offers are read here; their order is the program's own, which the
// EGL order table checks.
static ServerOffer offerOf(const PlatformWindow& window) {
    bool framebuffers = contextListsFramebuffers();
    if (onWayland()) {
        const EglContext& egl = window.wayland.egl;
        EGLint behaviour = 0;
        eglQuerySurface(egl.display, egl.surface, EGL_SWAP_BEHAVIOR, &behaviour);
        bool age = listsExtension(eglQueryString(egl.display, EGL_EXTENSIONS), "EGL_EXT_buffer_age");
        SwapKeeps swap = behaviour == EGL_BUFFER_PRESERVED ? SwapKeeps::LastImage : SwapKeeps::Nothing;
        return {chooseTrailPath(swap, framebuffers, age), false};
    }
    Display* display = window.x11.display;
    const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    // The configuration's own description of its swap; the frames surviving
    // the real swaps below show whether it holds.
    SwapKeeps swap = glxSwapKeeps(display, window.x11.glx.config);
    TrailPath path = chooseTrailPath(swap, framebuffers, listsExtension(extensions, "GLX_EXT_buffer_age"));
    return {path, path == TrailPath::KeptBySwap && swap == SwapKeeps::ImageBeforeLast};
}

static unsigned int realBufferAge(const PlatformWindow& window) {
    if (onWayland()) {
        EGLint age = 0;
        eglQuerySurface(window.wayland.egl.display, window.wayland.egl.surface, EGL_BUFFER_AGE_EXT, &age);
        return static_cast<unsigned int>(age);
    }
    unsigned int age = 0;
    glXQueryDrawable(window.x11.display, window.x11.glx.surface, GLX_BACK_BUFFER_AGE_EXT, &age);
    return age;
}

// Whichever path the server's offer settles, each frame survives real swaps:
// the back buffer holds it afterwards, or the frame before it where the swap
// exchanges buffers; off the screen, the image holds it and the window's back
// buffer had it at the swap.
TEST_F(PresentedFrameTest, OnThisServerThePathItOffersKeepsTheFrame) {
    ServerOffer offer = offerOf(window);
    const char* names[] = {"kept by the swap", "off the screen", "by buffer age", "kept and restored"};
    printf("%s takes the trails %s\n", onWayland() ? getenv("WAYLAND_DISPLAY") : "this X server",
           names[static_cast<int>(trails().path)]);
    EXPECT_EQ(trails().path, offer.path);
    EXPECT_EQ(trails().presented == nullptr,
              offer.path == TrailPath::KeptBySwap || offer.path == TrailPath::OffScreen);
    EXPECT_EQ(trails().offScreen != nullptr, offer.path == TrailPath::OffScreen);
    if (onWayland()) {
        EGLint surfaceTypes = 0;
        eglGetConfigAttrib(window.wayland.egl.display, window.wayland.egl.config, EGL_SURFACE_TYPE,
                           &surfaceTypes);
        EXPECT_EQ(surfaceAttribCalls.empty(), (surfaceTypes & EGL_SWAP_BEHAVIOR_PRESERVED_BIT) == 0)
            << "a preserved swap is asked for exactly when it is offered";
    }
    captureAtSwap = true;
    std::vector<std::vector<unsigned char>> drawn;
    for (int frame = 0; frame < 4; ++frame) {
        drawPicture(frame);
        drawn.push_back(readDrawing());
        platform.presentFrame(window);
        bool exchanged =
            offer.exchanges || (offer.path == TrailPath::ByBufferAge && realBufferAge(window) == 2);
        const std::vector<unsigned char>& expected = exchanged && frame > 0 ? drawn[frame - 1] : drawn[frame];
        EXPECT_TRUE(readDrawing() == expected) << "frame " << frame << (exchanged ? ", exchanged" : "");
        EXPECT_EQ(differingColours(atSwap, drawn[frame]), 0u) << "frame " << frame << " as the swap found it";
    }
}

// After swaps that spoil the back buffer, the frame is put back, or was never
// on it: off the screen it reached the window before each swap.
TEST_F(PresentedFrameTest, RestoredAndOffScreenPathsKeepTheFrameOverSpoilingSwaps) {
    useTrailPath(TrailPath::KeptBySwap);
    drawPicture(0);
    std::vector<unsigned char> drawn = readDrawing();
    spoilAfterSwap = true;
    platform.presentFrame(window);
    ASSERT_FALSE(readDrawing() == drawn) << "the stand-in swap must spoil the back buffer";

    ASSERT_TRUE(trails().framebuffersOffered) << "this context lists no framebuffer objects";
    captureAtSwap = true;
    for (TrailPath path : {TrailPath::Restored, TrailPath::OffScreen}) {
        useTrailPath(path);
        for (int frame = 1; frame < 4; ++frame) {
            drawPicture(frame);
            drawn = readDrawing();
            platform.presentFrame(window);
            EXPECT_TRUE(readDrawing() == drawn) << "path " << static_cast<int>(path) << ", frame " << frame;
            EXPECT_EQ(differingColours(atSwap, drawn), 0u) << "as the swap found frame " << frame;
        }
    }
    EXPECT_TRUE(trails().offScreen->ready);
}

// Two areas, on a path that draws on the window: the frame drawn in the
// larger one's square (400 pixels at 200,100), at its side, reaches the
// first's (200 at 0,200) scaled before the swap. The first swap after the
// reshape leaves black; from then on the whole window is put back from its
// corner, whatever the viewport.
TEST_F(PresentedFrameTest, OnTheWindowTheLargestSquareIsCopiedIntoTheOthers) {
    useTrailPath(TrailPath::Restored);
    const WindowArea areas[] = {{0, 0, 200, side}, {200, 0, 400, side}};
    trails().reshape(side, side, areas, 2);
    EXPECT_EQ(trails().pictureSide(), 400);
    spoilAfterSwap = true;
    captureAtSwap = true;
    auto lit = [](const std::vector<unsigned char>& pixels, int x, int y) {
        return pixels[(static_cast<size_t>(y) * side + x) * 4] == 255;
    };
    for (int frame = 0; frame < 2; ++frame) {
        // The left half of the view white.
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glRectf(-1.0f, -1.0f, 0.0f, 1.0f);
        platform.presentFrame(window);
        std::vector<unsigned char> after = readWindow();
        for (const std::vector<unsigned char>* pixels : {&atSwap, &after}) {
            bool expected = pixels == &atSwap || frame > 0;
            EXPECT_EQ(lit(*pixels, 50, 300), expected) << "frame " << frame;
            EXPECT_EQ(lit(*pixels, 250, 300) && lit(*pixels, 390, 110), expected) << "frame " << frame;
            EXPECT_FALSE(lit(*pixels, 150, 300) || lit(*pixels, 50, 450) || lit(*pixels, 410, 300) ||
                         lit(*pixels, 250, 50))
                << "frame " << frame;
        }
    }
}

// Off the screen the picture is drawn at the side of the largest square it
// is shown in; a new side carries the old picture over, scaled into it.
TEST_F(PresentedFrameTest, OffTheScreenANewSideCarriesThePictureOverScaled) {
    useTrailPath(TrailPath::OffScreen);
    ASSERT_TRUE(trails().offScreen->ready);
    // The left half of the view white.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glRectf(-1.0f, -1.0f, 0.0f, 1.0f);
    auto lit = [](int x, int y) {
        unsigned char pixel[4] = {};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        return pixel[0] == 255;
    };
    const WindowArea areas[] = {{0, 0, 200, side}, {200, 0, 400, side}};
    trails().reshape(side, side, areas, 2);
    EXPECT_EQ(trails().pictureSide(), 400);
    EXPECT_TRUE(lit(20, 200) && lit(180, 20) && !lit(220, 200) && !lit(380, 380));
    trails().resize(1000, 1000);
    EXPECT_EQ(trails().offScreen->width, 1000);
    EXPECT_TRUE(lit(20, 500) && lit(480, 980) && !lit(520, 500) && !lit(980, 20));
}

TEST_F(PresentedFrameTest, BufferAgePathKeepsOnlyWhileTheAgeIsNotRecent) {
    useTrailPath(TrailPath::ByBufferAge);
    scriptAge = true;
    // The age each swap leaves, whether the frame must survive it, and
    // whether the next frame is to be kept. After a recent age the next frame
    // is not kept, so a sudden old buffer (age 5) costs that one frame.
    struct Step {
        unsigned int age;
        bool survives;
        bool keepsNext;
    };
    const Step steps[] = {
        {0, true, true},  {1, true, false}, {2, true, false},
        {5, false, true}, {5, true, true},  {1, true, false},
    };
    int frame = 0;
    for (const Step& step : steps) {
        scriptedAge = step.age;
        spoilAfterSwap = step.age != 1 && step.age != 2;
        drawPicture(frame);
        std::vector<unsigned char> drawn = readDrawing();
        platform.presentFrame(window);
        EXPECT_EQ(readDrawing() == drawn, step.survives) << "frame " << frame;
        EXPECT_EQ(trails().keepNextImage, step.keepsNext) << "frame " << frame;
        ++frame;
    }
}

TEST_F(PresentedFrameTest, RestoreReplacesThePixelsAndLeavesTheStateAlone) {
    useTrailPath(TrailPath::KeptBySwap);
    drawPicture(0);
    std::vector<unsigned char> drawn = readDrawing();
    PresentedImage image(side, side);
    ASSERT_NE(image.pixels, nullptr);
    image.keep();
    ASSERT_TRUE(std::vector<unsigned char>(image.pixels, image.pixels + imageBytes) == drawn);
    // Kept alpha below one: a restore that blended would not give back the
    // colours (this buffer has no alpha of its own, so reads give 255).
    for (size_t i = 3; i < imageBytes; i += 4) {
        image.pixels[i] = 64;
    }

    glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    // State a careless restore would change.
    glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
    glRasterPos2f(0.25f, 0.5f);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 7);
    glPixelZoom(2.0f, 3.0f);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(0.5f, 0.0f, 0.0f);
    glMatrixMode(GL_PROJECTION);

    image.restore();

    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.1f);
    EXPECT_FLOAT_EQ(colour[3], 0.4f);
    GLfloat raster[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
    EXPECT_FLOAT_EQ(raster[0], 375.0f);
    EXPECT_FLOAT_EQ(raster[1], 450.0f);
    GLint value = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
    EXPECT_EQ(value, 1);
    glGetIntegerv(GL_UNPACK_ROW_LENGTH, &value);
    EXPECT_EQ(value, 7);
    GLfloat zoom = 0.0f;
    glGetFloatv(GL_ZOOM_Y, &zoom);
    EXPECT_FLOAT_EQ(zoom, 3.0f);
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(value, GL_PROJECTION);
    GLfloat modelView[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    EXPECT_FLOAT_EQ(modelView[12], 0.5f);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    EXPECT_TRUE(readDrawing() == drawn);
}

// The EGL configuration: exactly 8 bits of red, green and blue and no alpha,
// though deeper and translucent ones come first in the list; and the order
// of the paths, with offers made or hidden by the stand-ins: a preserved
// swap, asked for and trusted once granted; then the off-screen image, which
// a multisampled window or a context without framebuffer objects rules out;
// then the buffer age; then keep and restore.
TEST_F(PresentedFrameTest, EglChoosesAnOpaqueEightBitConfigurationAndSettlesThePathByItsOffers) {
    if (!onWayland()) {
        GTEST_SKIP() << "EGL is the Wayland platform's";
    }
    EGLint bits[4] = {};
    const EGLint sizes[4] = {EGL_RED_SIZE, EGL_GREEN_SIZE, EGL_BLUE_SIZE, EGL_ALPHA_SIZE};
    for (int i = 0; i < 4; ++i) {
        eglGetConfigAttrib(window.wayland.egl.display, window.wayland.egl.config, sizes[i], &bits[i]);
    }
    EXPECT_EQ(bits[0], 8);
    EXPECT_EQ(bits[1], 8);
    EXPECT_EQ(bits[2], 8);
    EXPECT_EQ(bits[3], 0);
    EXPECT_EQ(eglQueryAPI(), static_cast<EGLenum>(EGL_OPENGL_API));

    struct Offer {
        bool preserved;
        bool accepted;
        bool framebuffers;
        bool multisampled;
        bool age;
        TrailPath path;
    };
    const Offer offers[] = {
        {true, true, true, false, true, TrailPath::KeptBySwap},
        {true, false, true, false, true, TrailPath::OffScreen},
        {false, false, true, true, true, TrailPath::ByBufferAge},
        {false, false, false, false, true, TrailPath::ByBufferAge},
        {true, false, false, false, false, TrailPath::Restored},
    };
    for (const Offer& offer : offers) {
        close();
        resetStandIns();
        offerPreservedSwap = offer.preserved;
        acceptPreservedSwap = offer.accepted;
        scriptBufferAge = true;
        hideFramebuffers = !offer.framebuffers;
        pretendMultisampled = offer.multisampled;
        offerBufferAge = offer.age;
        open();
        SCOPED_TRACE(testing::Message() << "preserved " << offer.preserved << ", accepted " << offer.accepted
                                        << ", framebuffers " << offer.framebuffers << ", multisampled "
                                        << offer.multisampled << ", age " << offer.age);
        EXPECT_EQ(trails().path, offer.path);
        GLint drawingOn = 0;
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawingOn);
        EXPECT_EQ(drawingOn != 0, offer.path == TrailPath::OffScreen);
        std::vector<EGLint> expectedCalls;
        if (offer.preserved) {
            expectedCalls = {EGL_SWAP_BEHAVIOR, EGL_BUFFER_PRESERVED};
        }
        EXPECT_EQ(surfaceAttribCalls, expectedCalls);
    }
}

// The off-screen image holds, byte for byte, what the same frames from the
// same seeds leave on the window.
TEST_F(PresentedFrameTest, OffScreenImageEqualsTheWindowsByteForByte) {
    ASSERT_TRUE(trails().framebuffersOffered) << "this context lists no framebuffer objects";
    const int checkedFrames[] = {300, 1000};
    std::vector<unsigned char> images[2][2];
    const TrailPath paths[2] = {TrailPath::KeptBySwap, TrailPath::OffScreen};
    for (int p = 0; p < 2; ++p) {
        useTrailPath(paths[p]);
        ASSERT_EQ(trails().path, paths[p]);
        entropyScript.reset();
        entropyScript.deviceYieldsKey = true;
        setupDrawingState();
        Swarm swarm(5);
        int checked = 0;
        for (int frame = 1; frame <= checkedFrames[1]; ++frame) {
            swarm.step();
            fadeFrame();
            swarm.draw();
            if (frame == checkedFrames[checked]) {
                images[p][checked++] = readDrawing();
            }
        }
    }
    printf("off-screen rows stored top first: %s\n", trails().offScreen->rowsTopFirst ? "yes" : "no");
    for (int c = 0; c < 2; ++c) {
        std::vector<unsigned char> black(imageBytes, 0);
        EXPECT_GT(differingColours(images[0][c], black), imageBytes / 100)
            << "the trails must show at frame " << checkedFrames[c];
        EXPECT_EQ(differingColours(images[0][c], images[1][c]), 0u)
            << "colour bytes differing at frame " << checkedFrames[c];
    }
}

// A request the compositor refuses (buffer scale 0) comes back as a protocol
// error: the pump reports it in one line and asks the loop to end with 1,
// and the window still closes in order.
TEST_F(PresentedFrameTest, AWaylandProtocolErrorEndsTheLoopWithOneLineAndExitCodeOne) {
    if (!onWayland()) {
        GTEST_SKIP() << "a Wayland compositor's error";
    }
    wl_surface_set_buffer_scale(window.wayland.surface, 0);
    testing::internal::CaptureStderr();
    bool quit = false;
    int exitCode = 0;
    for (int i = 0; i < 2000 && !quit; ++i) {
        if (!platform.takeEvent(window, quit, exitCode)) {
            platform.sleepMilliseconds(5);
        }
    }
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(quit);
    EXPECT_EQ(exitCode, 1);
    // One line: the program's words, then the refused object's interface and
    // the compositor's own text (libwayland's way of joining them varies).
    std::string start = std::string("drifton: Wayland protocol error from the compositor ") +
                        getenv("WAYLAND_DISPLAY") + ": ";
    EXPECT_EQ(said.rfind(start, 0), 0u) << said;
    EXPECT_NE(said.find("wl_surface"), std::string::npos) << said;
    EXPECT_NE(said.find("scale"), std::string::npos) << "the compositor's reason: " << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
}
