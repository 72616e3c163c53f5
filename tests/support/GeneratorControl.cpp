#include "support/GeneratorControl.h"

#include <cstring>

#include "support/ScriptedEntropy.h"

static uint32_t undoRightShift(uint32_t value, int shift) {
    uint32_t result = value;
    for (int i = 0; i < 32; ++i) {
        result = value ^ (result >> shift);
    }
    return result;
}

static uint32_t undoLeftShift(uint32_t value, int shift, uint32_t mask) {
    uint32_t result = value;
    for (int i = 0; i < 32; ++i) {
        result = value ^ ((result << shift) & mask);
    }
    return result;
}

uint32_t untemper(uint32_t word) {
    uint32_t w = undoRightShift(word, 18);
    w = undoLeftShift(w, 15, 0xefc60000u);
    w = undoLeftShift(w, 7, 0x9d2c5680u);
    return undoRightShift(w, 11);
}

void forceNextWords(RandomSource& rng, const uint32_t* words, int count) {
    if (rng.remaining < count) {
        rng.regenerate();
    }
    for (int i = 0; i < count; ++i) {
        rng.state[rng.next + i] = untemper(words[i]);
    }
}

void copyGenerator(RandomSource& to, const RandomSource& from) {
    std::memcpy(to.state, from.state, sizeof to.state);
    to.next = from.next;
    to.remaining = from.remaining;
}

bool sameGenerator(const RandomSource& a, const RandomSource& b) {
    return a.next == b.next && a.remaining == b.remaining &&
           std::memcmp(a.state, b.state, sizeof a.state) == 0;
}

int drawsBetween(const RandomSource& before, const RandomSource& after, int limit) {
    // Seeding the walker must not disturb what the test has scripted.
    const EntropyScript script = entropyScript;
    const uint32_t differ = RandomSource::seedDiffer;
    RandomSource walker;
    entropyScript = script;
    RandomSource::seedDiffer = differ;
    copyGenerator(walker, before);
    for (int draws = 0; draws <= limit; ++draws) {
        if (sameGenerator(walker, after)) {
            return draws;
        }
        walker.nextWord();
    }
    return -1;
}
