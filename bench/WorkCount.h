#pragma once

#include <cstdint>

#include "random/RandomSource.h"

// The arithmetic a piece of work cannot do without: its random draws, square
// roots and divisions, averaged per call. A floor does exactly these in a
// plain loop, so a benchmark's time divided by its floor's shows what the
// code costs beyond its bare arithmetic (calls, loads and stores, branches,
// cache misses).
struct WorkCount {
    double draws;
    double roots;
    double divisions;
};

// A generator's position, kept aside so that the draws taken from it since
// can be counted.
struct GeneratorSnapshot {
    uint32_t state[RandomSource::stateSize];
    int32_t next;
    int32_t remaining;
};

void takeSnapshot(GeneratorSnapshot& snapshot, const RandomSource& rng);

// How many draws take a generator from the snapshot to its state now: the
// snapshot is replayed word by word until the states meet.
long countDraws(const GeneratorSnapshot& before, const RandomSource& after);

// The floor: the counted draws (from `rng`), square roots and divisions,
// rounded to whole numbers, in plain loops. Returns a sum of the results so
// that none can be left out.
double floorWork(RandomSource& rng, const WorkCount& work);
