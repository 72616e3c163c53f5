#pragma once

#include <cstdint>

// An MT19937 generator held by value in every object that draws random
// numbers. It seeds itself on construction, from the entropy device when that
// yields a full key and otherwise from the clocks; its owners only call
// nextUnit. Every seeding ends with a regeneration, so the first 624 draws
// after it need none.
class RandomSource {
public:
    static constexpr int stateSize = 624;

    uint32_t state[stateSize];
    int32_t next;       // index of the word the next draw tempers
    int32_t remaining;  // words left before a regeneration; next + remaining == 624

    // Read and advanced by every clock-based seeding, so that generators
    // seeded within the same clock tick still get different seeds.
    static uint32_t seedDiffer;

    RandomSource();
    RandomSource(const RandomSource&) = delete;
    RandomSource& operator=(const RandomSource&) = delete;

    void seed();
    void seedFromWords(const uint32_t key[stateSize]);
    void seedFromValue(uint32_t value);
    static uint32_t fallbackSeed();
    void regenerate();
    uint32_t nextWord();
    // A word scaled to the closed interval [0, 1].
    double nextUnit();
};
