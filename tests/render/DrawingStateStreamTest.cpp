#include <gtest/gtest.h>

#include "render/DrawingState.h"
#include "support/GLRecorder.h"

TEST(DrawingStateStream, SetupTurnsOnSmoothingAndBlendingThenClearsOnce) {
    clearRecordedCalls();
    setupDrawingState();
    const std::vector<GLCall> expected = {
        enableCall(GL_LINE_SMOOTH),
        enableCall(GL_POINT_SMOOTH),
        enableCall(GL_BLEND),
        blendFuncCall(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA),
        clearColorCall(0.0f, 0.0f, 0.0f, 0.0f),
        clearCall(GL_COLOR_BUFFER_BIT),
    };
    EXPECT_EQ("", firstDifference(expected, recordedCalls));
}

TEST(DrawingStateStream, FadeIsOneTranslucentBlackRectangleOverTheView) {
    clearRecordedCalls();
    fadeFrame();
    const std::vector<GLCall> expected = {
        colorCall(0.0f, 0.0f, 0.0f, 0.05f),
        rectCall(-1.0f, -1.0f, 1.0f, 1.0f),
    };
    EXPECT_EQ("", firstDifference(expected, recordedCalls));
}
