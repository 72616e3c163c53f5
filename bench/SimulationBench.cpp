// The simulation's step: the real workload (a swarm of five members with
// their creatures), the same at 50 and 500 members, the swarm's own part of
// the step (its pairs) at 5, 50 and 500 members, and one creature's step at
// 75 and 750 nodes a tentacle. Each has its floor beside it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "bench/BenchCase.h"
#include "bench/SimulationCases.h"
#include "bench/WorkCount.h"
#include "sim/Creature.h"
#include "sim/Swarm.h"

// Enough steps for the tentacles to stream out behind their anchors and the
// members to spread, as in a program that has run for a while.
static const int warmUpSteps = 3000;
// Of those, the last ones are counted for the floor.
static const int countedSteps = 200;

static double nodeCount(const Creature& creature) {
    if (creature.tentacleCount <= 0 || creature.nodesPerTentacle <= 0) {
        return 0;
    }
    return static_cast<double>(creature.tentacleCount) * creature.nodesPerTentacle;
}

// A creature's step takes one square root per node and, for each node not
// on its leader, two draws and two divisions (the direction's components).
static void addCreatureWork(WorkCount& work, const GeneratorSnapshot& before, const Creature& creature) {
    const long draws = countDraws(before, creature.rng);
    work.draws += static_cast<double>(draws);
    work.roots += nodeCount(creature);
    work.divisions += static_cast<double>(draws);
}

static void averageOver(WorkCount& work, int steps) {
    work.draws /= steps;
    work.roots /= steps;
    work.divisions /= steps;
}

SwarmCase::SwarmCase(int32_t count, bool bare) : swarm(count), work() {
    if (bare) {
        for (int32_t i = 0; i < count; ++i) {
            delete swarm.members[i].creature;
            swarm.members[i].creature = new Creature(0, 0);
        }
    }
    for (int s = 0; s < warmUpSteps - countedSteps; ++s) {
        swarm.step();
    }
    // The swarm's draws are one pair test per pair, two more per interacting
    // pair and the damping draw; an interacting pair takes one square root
    // and three divisions (direction and strength), and the step one more
    // division for the interaction probability.
    const double pairs = static_cast<double>(count) * (count - 1) / 2;
    GeneratorSnapshot swarmBefore;
    std::vector<GeneratorSnapshot> creaturesBefore(static_cast<size_t>(count));
    for (int s = 0; s < countedSteps; ++s) {
        takeSnapshot(swarmBefore, swarm.rng);
        for (int32_t i = 0; i < count; ++i) {
            takeSnapshot(creaturesBefore[static_cast<size_t>(i)], swarm.members[i].creature->rng);
        }
        swarm.step();
        const double swarmDraws = static_cast<double>(countDraws(swarmBefore, swarm.rng));
        const double interacting = (swarmDraws - pairs - 1) / 2;
        work.draws += swarmDraws;
        work.roots += interacting;
        work.divisions += 3 * interacting + (count >= 2 ? 1 : 0);
        for (int32_t i = 0; i < count; ++i) {
            addCreatureWork(work, creaturesBefore[static_cast<size_t>(i)], *swarm.members[i].creature);
        }
    }
    averageOver(work, countedSteps);
}

SwarmCase& swarmCase(int32_t count, bool bare) {
    static std::map<std::pair<int32_t, bool>, std::unique_ptr<SwarmCase>> cases;
    std::unique_ptr<SwarmCase>& entry = cases[std::make_pair(count, bare)];
    if (!entry) {
        entry = std::make_unique<SwarmCase>(count, bare);
    }
    return *entry;
}

CreatureCase::CreatureCase(int32_t nodesPerTentacle)
    : creature(3, nodesPerTentacle), path(), pathIndex(0), work() {
    // Round a circle of radius 0.6 in 600 steps: faster than the tentacles
    // can follow, so they stream out and every node keeps moving.
    for (int i = 0; i < pathLength; ++i) {
        const double angle = 2 * 3.141592653589793 * i / pathLength;
        path[i][0] = static_cast<float>(0.6 * std::cos(angle));
        path[i][1] = static_cast<float>(0.6 * std::sin(angle));
    }
    for (int s = 0; s < warmUpSteps - countedSteps; ++s) {
        advance();
    }
    GeneratorSnapshot before;
    for (int s = 0; s < countedSteps; ++s) {
        takeSnapshot(before, creature.rng);
        advance();
        addCreatureWork(work, before, creature);
    }
    averageOver(work, countedSteps);
}

void CreatureCase::advance() {
    creature.setAnchor(path[pathIndex][0], path[pathIndex][1]);
    creature.step();
    pathIndex = pathIndex + 1 == pathLength ? 0 : pathIndex + 1;
}

CreatureCase& creatureCase(int32_t nodesPerTentacle) {
    static std::map<int32_t, std::unique_ptr<CreatureCase>> cases;
    std::unique_ptr<CreatureCase>& entry = cases[nodesPerTentacle];
    if (!entry) {
        entry = std::make_unique<CreatureCase>(nodesPerTentacle);
    }
    return *entry;
}

// The generator the floors draw from, seeded like every other.
static RandomSource& floorGenerator() {
    static RandomSource rng;
    return rng;
}

void reportWork(benchmark::State& state, const WorkCount& work) {
    state.counters["draws"] = work.draws;
    state.counters["roots"] = work.roots;
    state.counters["divisions"] = work.divisions;
}

static void runFloor(benchmark::State& state, const WorkCount& work) {
    RandomSource& rng = floorGenerator();
    for (auto _ : state) {
        benchmark::DoNotOptimize(floorWork(rng, work));
    }
    reportWork(state, work);
}

static void swarmStep(benchmark::State& state, int32_t count, bool bare) {
    SwarmCase& c = swarmCase(count, bare);
    for (auto _ : state) {
        c.swarm.step();
        benchmark::ClobberMemory();
    }
    reportWork(state, c.work);
}

static void swarmStepFloor(benchmark::State& state, int32_t count, bool bare) {
    runFloor(state, swarmCase(count, bare).work);
}

static void creatureStep(benchmark::State& state, int32_t nodesPerTentacle) {
    CreatureCase& c = creatureCase(nodesPerTentacle);
    for (auto _ : state) {
        c.advance();
        benchmark::ClobberMemory();
    }
    reportWork(state, c.work);
}

static void creatureStepFloor(benchmark::State& state, int32_t nodesPerTentacle) {
    runFloor(state, creatureCase(nodesPerTentacle).work);
}

void registerSimulationBenchmarks() {
    // The real workload first, then the same at more members: the creatures'
    // share grows with the members, the pairs' with their square.
    for (int32_t count : {5, 50, 500}) {
        BenchCase c = {"SwarmStep", count, static_cast<double>(count), "member", false};
        addBenchCase(c);
        benchmark::RegisterBenchmark(caseName(c).c_str(), swarmStep, count, false)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(floorName(c).c_str(), swarmStepFloor, count, false)
            ->Unit(benchmark::kMicrosecond);
    }
    // The swarm's own part, its creatures replaced by ones without
    // tentacles: pair tests and forces, movement and damping.
    for (int32_t count : {5, 50, 500}) {
        BenchCase c = {"SwarmPairs", count, static_cast<double>(count) * (count - 1) / 2, "pair", true};
        addBenchCase(c);
        benchmark::RegisterBenchmark(caseName(c).c_str(), swarmStep, count, true)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(floorName(c).c_str(), swarmStepFloor, count, true)
            ->Unit(benchmark::kMicrosecond);
    }
    for (int32_t nodes : {75, 750}) {
        BenchCase c = {"CreatureStep", nodes, 3.0 * nodes, "node", true};
        addBenchCase(c);
        benchmark::RegisterBenchmark(caseName(c).c_str(), creatureStep, nodes)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(floorName(c).c_str(), creatureStepFloor, nodes)
            ->Unit(benchmark::kMicrosecond);
    }
}
