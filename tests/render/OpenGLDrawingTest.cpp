#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "render/DrawingState.h"
#include "render/OpenGL.h"
#include "sim/Creature.h"
#include "support/GLTestWindow.h"
#include "support/ScriptedEntropy.h"

// The drawing on the real OpenGL, read back from the back buffer without a
// swap. The glClearColor, glClear, glReadBuffer and glReadPixels calls made
// here are the test's own, not the drawing's.
class OpenGLDrawing : public ::testing::Test {
protected:
    GLTestWindow window{128, 128};

    void SetUp() override {
        ASSERT_TRUE(window.ready()) << window.failure;
        entropyScript.reset();
    }

    // RGBA bytes, bottom row first, as the view's y axis points up.
    std::vector<unsigned char> readBack() {
        std::vector<unsigned char> pixels(static_cast<size_t>(window.width * window.height * 4));
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, window.width, window.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    static void paintWhite() {
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    // How many colour channels, over all pixels, lie outside [low, high].
    static int channelsOutside(const std::vector<unsigned char>& pixels, double low, double high) {
        int outside = 0;
        for (size_t i = 0; i < pixels.size(); i += 4) {
            for (size_t c = 0; c < 3; ++c) {
                outside += pixels[i + c] < low || pixels[i + c] > high ? 1 : 0;
            }
        }
        return outside;
    }
};

TEST_F(OpenGLDrawing, SetupClearsTheBufferToBlack) {
    paintWhite();
    ASSERT_EQ(255, readBack()[0]);
    setupDrawingState();
    const std::vector<unsigned char> pixels = readBack();
    EXPECT_EQ(0, channelsOutside(pixels, 0, 0));
    GLint redBits = 0;
    glGetIntegerv(GL_RED_BITS, &redBits);
    std::printf("renderer %s, %d bits of red\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                redBits);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_POINT_SMOOTH));
}

TEST_F(OpenGLDrawing, OneFadeLeavesNinetyFivePercentOfWhiteEverywhere) {
    setupDrawingState();
    paintWhite();
    fadeFrame();
    const std::vector<unsigned char> pixels = readBack();
    EXPECT_EQ(0, channelsOutside(pixels, 0.95 * 255 - 1, 0.95 * 255 + 1))
        << "first pixel red " << int(pixels[0]);
}

// The 8-bit buffer rounds after every fade, so the error may grow by up to a
// step per fade.
TEST_F(OpenGLDrawing, RepeatedFadesFollowTheirPowerOfNinetyFivePercent) {
    setupDrawingState();
    paintWhite();
    std::string levels;
    for (int m = 1; m <= 20; ++m) {
        fadeFrame();
        const std::vector<unsigned char> pixels = readBack();
        const double expected = std::pow(0.95, m) * 255;
        EXPECT_EQ(0, channelsOutside(pixels, expected - m, expected + m))
            << "after " << m << " fades, first pixel red " << int(pixels[0]) << ", expected about "
            << expected;
        levels += (m > 1 ? " " : "") + std::to_string(pixels[0]);
    }
    std::printf("red after 1..20 fades: %s\n", levels.c_str());
}

// Pixel coordinates of a view point; pixel centres lie at half-integers.
static double toPixels(float ndc, int size) { return (static_cast<double>(ndc) + 1) / 2 * size; }

static double distanceToSegment(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax;
    const double dy = by - ay;
    const double lengthSquared = dx * dx + dy * dy;
    double s = lengthSquared > 0 ? ((px - ax) * dx + (py - ay) * dy) / lengthSquared : 0;
    s = s < 0 ? 0 : (s > 1 ? 1 : s);
    return std::hypot(px - (ax + s * dx), py - (ay + s * dy));
}

TEST_F(OpenGLDrawing, CreatureLightsItsHeadAndNothingFarFromItsNodes) {
    setupDrawingState();
    Creature creature(3, 75);
    // The head on a pixel centre; the tentacles stream out to the right, one
    // from the head and one a little above and below it, about a pixel per
    // node, so that left of the head only the head point can light a pixel.
    const float headX = 32.5f / 64 - 1;
    const float headY = 48.5f / 64 - 1;
    for (int t = 0; t < 3; ++t) {
        for (int i = 0; i < 75; ++i) {
            creature.tentacles[t][i].x = headX + 0.015f * static_cast<float>(i);
            creature.tentacles[t][i].y = headY + 0.25f * static_cast<float>(t == 0 ? 0 : 3 - 2 * t);
        }
    }
    creature.draw();
    const std::vector<unsigned char> pixels = readBack();
    const int w = window.width;
    auto at = [&](int px, int py) { return &pixels[(static_cast<size_t>(py) * w + px) * 4]; };

    const int headPx = static_cast<int>(toPixels(headX, w));
    const int headPy = static_cast<int>(toPixels(headY, window.height));
    EXPECT_GT(at(headPx, headPy)[0], 150) << "head pixel red";
    // Three pixels left of the head, within the point's radius of 4 and
    // beyond the reach of the lines: the white point at alpha 0.8 alone.
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(0.8 * 255, at(headPx - 3, headPy)[c], 8) << "channel " << c << " left of the head";
    }
    EXPECT_EQ(0, at(headPx - 6, headPy)[0]) << "beyond the head point";
    // Thin lines carry the nodes' own colours out along the tentacles; red
    // fades along a tentacle but is still there at node 40.
    for (int t = 0; t < 3; ++t) {
        const TentacleNode& node = creature.tentacles[t][40];
        EXPECT_GT(
            at(static_cast<int>(toPixels(node.x, w)), static_cast<int>(toPixels(node.y, window.height)))[0],
            20)
            << "tentacle " << t << " node 40";
    }

    // Half the thick width, the smoothing's extra pixel and a pixel of slack;
    // the head point's radius of 4 fits within it too.
    const double reach = 5.0;
    double farthest = 0;
    int farthestPx = -1;
    int farthestPy = -1;
    int lit = 0;
    for (int py = 0; py < window.height; ++py) {
        for (int px = 0; px < w; ++px) {
            const unsigned char* pixel = at(px, py);
            if (pixel[0] == 0 && pixel[1] == 0 && pixel[2] == 0) {
                continue;
            }
            ++lit;
            double nearest = 1e9;
            for (int t = 0; t < 3; ++t) {
                for (int i = 1; i < 75; ++i) {
                    const TentacleNode& a = creature.tentacles[t][i - 1];
                    const TentacleNode& b = creature.tentacles[t][i];
                    nearest =
                        std::min(nearest, distanceToSegment(px + 0.5, py + 0.5, toPixels(a.x, w),
                                                            toPixels(a.y, window.height), toPixels(b.x, w),
                                                            toPixels(b.y, window.height)));
                }
            }
            if (nearest > farthest) {
                farthest = nearest;
                farthestPx = px;
                farthestPy = py;
            }
        }
    }
    EXPECT_LE(farthest, reach) << "lit pixel " << farthestPx << ", " << farthestPy;
    EXPECT_GT(lit, 100);
    std::printf("lit pixels %d, farthest %.2f pixels from a segment\n", lit, farthest);
}
