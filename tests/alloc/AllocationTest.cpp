#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "AllocationCounter.h"
#include "NullOpenGL.h"
#include "render/DrawingState.h"
#include "sim/Creature.h"
#include "sim/Swarm.h"

// Reached through volatile pointers, so the compiler can neither see the
// calls nor drop an allocation whose result is never used.
static void* (*volatile callMalloc)(size_t) = malloc;
static void* (*volatile callCalloc)(size_t, size_t) = calloc;
static void* (*volatile callRealloc)(void*, size_t) = realloc;
static void (*volatile callFree)(void*) = free;
static void* volatile kept = nullptr;

static unsigned long allocationsSince(const AllocationCount& before) {
    return allocationCount().allocations - before.allocations;
}

static unsigned long releasesSince(const AllocationCount& before) {
    return allocationCount().releases - before.releases;
}

TEST(AllocationCounter, CountsEveryKindOfAllocationOnceAndItsRelease) {
    AllocationCount before = allocationCount();
    kept = callMalloc(24);
    EXPECT_EQ(allocationsSince(before), 1u) << "malloc";
    kept = callRealloc(kept, 4096);
    EXPECT_EQ(allocationsSince(before), 2u) << "realloc";
    callFree(kept);
    EXPECT_EQ(releasesSince(before), 1u) << "free";

    before = allocationCount();
    kept = callCalloc(3, 8);
    EXPECT_EQ(allocationsSince(before), 1u) << "calloc";
    callFree(kept);

    before = allocationCount();
    kept = new int(7);
    EXPECT_EQ(allocationsSince(before), 1u) << "operator new";
    delete static_cast<int*>(kept);
    EXPECT_EQ(releasesSince(before), 1u) << "operator delete";

    before = allocationCount();
    kept = new double[16];
    EXPECT_EQ(allocationsSince(before), 1u) << "operator new[]";
    delete[] static_cast<double*>(kept);
    EXPECT_EQ(releasesSince(before), 1u) << "operator delete[]";

    // Calls from the simulation's library are counted as well: a creature
    // takes the object, its tentacle array and three node arrays (seeding
    // its generator may add the entropy device's stream), and returns all.
    before = allocationCount();
    Creature* creature = new Creature(3, 75);
    const unsigned long constructed = allocationsSince(before);
    delete creature;
    const unsigned long released = releasesSince(before);
    EXPECT_GE(constructed, 5u);
    EXPECT_EQ(released, constructed);
}

TEST(NoAllocationAfterStartUp, ThousandStepsAndDrawsOfFiveMembers) {
    // Start-up: the drawing state, then the swarm, as the program does.
    setupDrawingState();
    Swarm swarm(5);
    const float startX = swarm.members[0].x;
    const float startY = swarm.members[0].y;
    const unsigned long verticesBefore = vertexCalls;

    const AllocationCount before = allocationCount();
    for (int frame = 0; frame < 1000; ++frame) {
        swarm.step();
        fadeFrame();
        swarm.draw();
    }
    const AllocationCount after = allocationCount();

    EXPECT_EQ(after.allocations - before.allocations, 0u);
    EXPECT_EQ(after.releases - before.releases, 0u);
    // The frames really ran: every frame drew five creatures of 547 vertices
    // (a head point, 51 thick and 222 thin segments), and the swarm moved.
    EXPECT_EQ(vertexCalls - verticesBefore, 1000u * 5u * 547u);
    EXPECT_TRUE(swarm.members[0].x != startX || swarm.members[0].y != startY);
}
