#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench/WorkCount.h"
#include "sim/Creature.h"
#include "sim/Swarm.h"

// A swarm stepped a few thousand times, as in a program that has been
// running, with the work its step takes counted over the last of those
// steps. Built once per member count and kept for every benchmark on it.
struct SwarmCase {
    Swarm swarm;
    WorkCount work;

    // `bare` replaces every creature by one without tentacles, leaving the
    // swarm's own part of the step.
    SwarmCase(int32_t count, bool bare);
    SwarmCase(const SwarmCase&) = delete;
    SwarmCase& operator=(const SwarmCase&) = delete;
};

SwarmCase& swarmCase(int32_t count, bool bare);

// One creature of three tentacles whose anchor goes round a circle.
struct CreatureCase {
    static const int pathLength = 600;

    Creature creature;
    float path[pathLength][2];
    int pathIndex;
    WorkCount work;

    explicit CreatureCase(int32_t nodesPerTentacle);
    CreatureCase(const CreatureCase&) = delete;
    CreatureCase& operator=(const CreatureCase&) = delete;

    // Moves the anchor one point along the circle and steps the creature.
    void advance();
};

CreatureCase& creatureCase(int32_t nodesPerTentacle);

// Shows the counted work beside a benchmark's time.
void reportWork(benchmark::State& state, const WorkCount& work);

void registerSimulationBenchmarks();
