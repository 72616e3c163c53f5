// One frame's drawing (the fade and the swarm's draw) at 5, 50 and 500
// members, and one creature's draw at 75 and 750 nodes a tentacle, against
// OpenGL entry points that do nothing. The floor makes the same number of
// calls of each entry point with constant arguments and the same divisions,
// so the ratio shows what reading the simulation's data in place costs.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include "bench/BenchCase.h"
#include "bench/SimulationCases.h"
#include "bench/WorkCount.h"
#include "render/DrawingState.h"
#include "sim/Creature.h"
#include "sim/Swarm.h"

// The calls one frame's drawing makes, counted from the drawing's structure.
struct DrawCalls {
    long rects;
    long pointSizes;
    long lineWidths;
    long batches;  // begin/end pairs
    long colours;
    long vertices;
    long divisions;
};

static void addCreatureCalls(DrawCalls& calls, const Creature& creature) {
    const long n = creature.nodesPerTentacle;
    const long tentacles = creature.tentacleCount;
    const long quarter = n / 4;
    const long thick = tentacles * (quarter > 1 ? quarter - 1 : 0);
    const long thin = tentacles * (n > 1 ? n - 1 : 0);
    calls.pointSizes += 1;
    calls.lineWidths += 2;
    calls.batches += 3;
    calls.colours += 1 + thick + thin;
    calls.vertices += 1 + 2 * (thick + thin);
    calls.divisions += thick + thin;
}

static DrawCalls frameCalls(const Swarm& swarm) {
    DrawCalls calls = {1, 0, 0, 0, 1, 0, 0};
    for (int32_t i = 0; i < swarm.count; ++i) {
        addCreatureCalls(calls, *swarm.members[i].creature);
    }
    return calls;
}

static DrawCalls creatureCalls(const Creature& creature) {
    DrawCalls calls = {0, 0, 0, 0, 0, 0, 0};
    addCreatureCalls(calls, creature);
    return calls;
}

// The same calls in the order the drawing makes them, a division, a colour
// and two vertices per segment, but with constant arguments: no data read.
static void drawFloor(const DrawCalls& calls) {
    for (long i = 0; i < calls.rects; ++i) {
        glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
    }
    for (long i = 0; i < calls.pointSizes; ++i) {
        glPointSize(8.0f);
    }
    for (long i = 0; i < calls.lineWidths; ++i) {
        glLineWidth(2.0f);
    }
    for (long i = 0; i < calls.batches; ++i) {
        glBegin(GL_LINES);
        glEnd();
    }
    // Every segment has one division, one colour and two vertices; the head
    // points (and the fade) have a colour and a vertex of their own.
    const long segments = calls.divisions;
    const long divisor = segments + 1;
    for (long i = 0; i < segments; ++i) {
        const double along = static_cast<double>(i) / static_cast<double>(divisor);
        glColor4f(1.0f, 1.0f, 1.0f, static_cast<float>(along));
        glVertex2f(0.25f, 0.5f);
        glVertex2f(0.5f, 0.25f);
    }
    for (long i = segments; i < calls.colours; ++i) {
        glColor4f(1.0f, 1.0f, 1.0f, 0.8f);
    }
    for (long i = 2 * segments; i < calls.vertices; ++i) {
        glVertex2f(0.5f, 0.5f);
    }
}

static void reportCalls(benchmark::State& state, const DrawCalls& calls) {
    state.counters["vertices"] = static_cast<double>(calls.vertices);
    state.counters["colours"] = static_cast<double>(calls.colours);
    state.counters["divisions"] = static_cast<double>(calls.divisions);
}

static void swarmDraw(benchmark::State& state, int32_t count) {
    const Swarm& swarm = swarmCase(count, false).swarm;
    for (auto _ : state) {
        fadeFrame();
        swarm.draw();
    }
    reportCalls(state, frameCalls(swarm));
}

static void swarmDrawFloor(benchmark::State& state, int32_t count) {
    const DrawCalls calls = frameCalls(swarmCase(count, false).swarm);
    for (auto _ : state) {
        drawFloor(calls);
    }
    reportCalls(state, calls);
}

static void creatureDraw(benchmark::State& state, int32_t nodesPerTentacle) {
    const Creature& creature = creatureCase(nodesPerTentacle).creature;
    for (auto _ : state) {
        creature.draw();
    }
    reportCalls(state, creatureCalls(creature));
}

static void creatureDrawFloor(benchmark::State& state, int32_t nodesPerTentacle) {
    const DrawCalls calls = creatureCalls(creatureCase(nodesPerTentacle).creature);
    for (auto _ : state) {
        drawFloor(calls);
    }
    reportCalls(state, calls);
}

void registerDrawingBenchmarks() {
    for (int32_t count : {5, 50, 500}) {
        BenchCase c = {"FrameDraw", count, static_cast<double>(count), "member", true};
        addBenchCase(c);
        benchmark::RegisterBenchmark(caseName(c).c_str(), swarmDraw, count)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(floorName(c).c_str(), swarmDrawFloor, count)
            ->Unit(benchmark::kMicrosecond);
    }
    for (int32_t nodes : {75, 750}) {
        BenchCase c = {"CreatureDraw", nodes, 3.0 * nodes, "node", true};
        addBenchCase(c);
        benchmark::RegisterBenchmark(caseName(c).c_str(), creatureDraw, nodes)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(floorName(c).c_str(), creatureDrawFloor, nodes)
            ->Unit(benchmark::kMicrosecond);
    }
}
