#include "bench/WorkCount.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void takeSnapshot(GeneratorSnapshot& snapshot, const RandomSource& rng) {
    memcpy(snapshot.state, rng.state, sizeof snapshot.state);
    snapshot.next = rng.next;
    snapshot.remaining = rng.remaining;
}

static bool sameState(const RandomSource& a, const RandomSource& b) {
    return a.next == b.next && a.remaining == b.remaining && memcmp(a.state, b.state, sizeof a.state) == 0;
}

long countDraws(const GeneratorSnapshot& before, const RandomSource& after) {
    // Seeded once; its state is overwritten by every replay.
    static RandomSource replay;
    memcpy(replay.state, before.state, sizeof replay.state);
    replay.next = before.next;
    replay.remaining = before.remaining;
    const long limit = 100000000;
    for (long draws = 0; draws < limit; ++draws) {
        if (sameState(replay, after)) {
            return draws;
        }
        replay.nextWord();
    }
    fprintf(stderr, "countDraws: the generator is not a later state of the snapshot\n");
    abort();
}

double floorWork(RandomSource& rng, const WorkCount& work) {
    const long draws = std::lround(work.draws);
    const long roots = std::lround(work.roots);
    const long divisions = std::lround(work.divisions);
    double sum = 0;
    for (long i = 0; i < draws; ++i) {
        sum += rng.nextUnit();
    }
    // Operands that depend on the draws, so nothing can be computed ahead.
    double x = 1 + sum;
    for (long i = 0; i < roots; ++i) {
        sum += std::sqrt(x);
        x += 1;
    }
    for (long i = 0; i < divisions; ++i) {
        sum += 1 / x;
        x += 1;
    }
    return sum;
}
