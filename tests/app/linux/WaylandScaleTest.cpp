// The buffer the Wayland window takes from what the compositor reported,
// including reports that the compositors of these tests never make (the
// surface's preferred buffer scale, the surface on two outputs at once).
#include <gtest/gtest.h>

#include "app/wayland/wl_scale.h"

// Two outputs, at scales 1 and 3, which the surface is on or not; a
// preferred buffer scale and a fractional scale, 0 where not sent; whether
// the fractional scale is in use (a viewport made); the buffer's side and
// scale.
struct Report {
    bool onFirst;
    bool onSecond;
    int32_t preferredBufferScale;
    uint32_t preferredScale120;
    bool throughViewport;
    int side;
    int32_t bufferScale;
};

TEST(WaylandScale, TheFractionalScaleThenThePreferredScaleThenTheOutputsDecide) {
    const Report reports[] = {
        // Before the surface is on an output: the largest of all.
        {false, false, 0, 0, false, 1800, 3},
        {true, false, 0, 0, false, 600, 1},
        {true, true, 0, 0, false, 1800, 3},
        {true, true, 2, 0, false, 1200, 2},
        // A fractional scale only counts through the viewport.
        {true, true, 2, 180, false, 1200, 2},
        {true, true, 2, 180, true, 900, 1},
        {true, false, 0, 0, true, 600, 1},
        {true, false, 0, 150, true, 750, 1},
    };
    int viewportStandIn = 0;
    for (const Report& report : reports) {
        WaylandScale scale;
        scale.outputs[0] = {nullptr, 1, 1, report.onFirst};
        scale.outputs[1] = {nullptr, 2, 3, report.onSecond};
        scale.outputCount = 2;
        scale.preferredBufferScale = report.preferredBufferScale;
        scale.preferredScale120 = report.preferredScale120;
        scale.viewport = report.throughViewport ? reinterpret_cast<wp_viewport*>(&viewportStandIn) : nullptr;
        SCOPED_TRACE(testing::Message() << "report " << &report - reports);
        EXPECT_EQ(wantedBufferSide(scale), report.side);
        EXPECT_EQ(wantedBufferScale(scale), report.bufferScale);
    }
}
