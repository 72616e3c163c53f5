// The trails on a real GLX context: what the back buffer holds after
// presentFrame on each trail path, and the image keeper on its own.
//
// A swap that leaves the back buffer undefined cannot be had from this
// server, so the test links a stand-in around glXSwapBuffers (and the age
// query) that does the real swap and then, when told to, spoils the back
// buffer the way such a swap may leave it.
#include <gtest/gtest.h>

#include "app/Platform.h"
#include "app/x11_window.h"
#include "render/PresentedImage.h"

#include <GL/gl.h>
#include <GL/glx.h>

#include <vector>

static bool spoilAfterSwap = false;
static unsigned int scriptedAge = 0;
static bool scriptAge = false;

extern "C" void __real_glXSwapBuffers(Display* display, GLXDrawable drawable);
extern "C" void __real_glXQueryDrawable(Display* display, GLXDrawable drawable, int attribute,
                                        unsigned int* value);

extern "C" void __wrap_glXSwapBuffers(Display* display, GLXDrawable drawable) {
    __real_glXSwapBuffers(display, drawable);
    if (spoilAfterSwap) {
        glPushAttrib(GL_COLOR_BUFFER_BIT);
        glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glPopAttrib();
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

static const int side = 600;
static const size_t imageBytes = static_cast<size_t>(side) * side * 4;

static std::vector<unsigned char> readBackBuffer() {
    std::vector<unsigned char> pixels(imageBytes);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, side, side, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
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

class PresentedFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        spoilAfterSwap = false;
        scriptAge = false;
        ASSERT_TRUE(openWindow(window));
    }
    void TearDown() override {
        spoilAfterSwap = false;
        scriptAge = false;
        if (window.display) {
            closeWindow(window);
        }
    }
    PlatformWindow window;
};

TEST_F(PresentedFrameTest, OnThisServerTheSwapCopiesAndTheBackBufferKeepsTheFrame) {
    EXPECT_EQ(window.glx.trailPath, TrailPath::KeptBySwap);
    EXPECT_EQ(window.glx.presented, nullptr);
    for (int frame = 0; frame < 3; ++frame) {
        drawPicture(frame);
        std::vector<unsigned char> drawn = readBackBuffer();
        presentFrame(window);
        EXPECT_TRUE(readBackBuffer() == drawn) << "frame " << frame;
    }
}

TEST_F(PresentedFrameTest, RestoredPathPutsTheFrameBackAfterASpoilingSwap) {
    drawPicture(0);
    std::vector<unsigned char> drawn = readBackBuffer();
    spoilAfterSwap = true;
    presentFrame(window);
    ASSERT_FALSE(readBackBuffer() == drawn) << "the stand-in swap must spoil the back buffer";

    useTrailPath(window.glx, TrailPath::Restored, side, side);
    ASSERT_NE(window.glx.presented, nullptr);
    for (int frame = 1; frame < 4; ++frame) {
        drawPicture(frame);
        drawn = readBackBuffer();
        presentFrame(window);
        EXPECT_TRUE(readBackBuffer() == drawn) << "frame " << frame;
    }
}

TEST_F(PresentedFrameTest, BufferAgePathKeepsOnlyWhileTheAgeIsNotRecent) {
    useTrailPath(window.glx, TrailPath::ByBufferAge, side, side);
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
        std::vector<unsigned char> drawn = readBackBuffer();
        presentFrame(window);
        EXPECT_EQ(readBackBuffer() == drawn, step.survives) << "frame " << frame;
        EXPECT_EQ(window.glx.keepNextImage, step.keepsNext) << "frame " << frame;
        ++frame;
    }
}

TEST_F(PresentedFrameTest, RestoreReplacesThePixelsAndLeavesTheStateAlone) {
    drawPicture(0);
    std::vector<unsigned char> drawn = readBackBuffer();
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
    EXPECT_TRUE(readBackBuffer() == drawn);
}
