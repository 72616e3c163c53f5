#pragma once

#include <cstdint>
#include <ctime>

// What the scripted entropy device and clocks hand to the generators. When
// the device yields a key, the k-th key read is 624 words of std::mt19937
// seeded with firstKeySeed + k, so a test can rebuild any generator's seed.
struct EntropyScript {
    bool deviceYieldsKey;
    uint32_t nextKeySeed;
    time_t wallClock;
    clock_t processorClock;
    int deviceReads;
    int clockReads;

    // Device absent, clocks at time 1 and clock 0, counters at zero and the
    // process-wide seedDiffer back at 0.
    void reset();
};

extern EntropyScript entropyScript;

// The key the scripted device yields for a given key seed.
void scriptedKey(uint32_t keySeed, uint32_t key[624]);

class RandomSource;

// Seeds `rng` as the scripted device will seed the next generator made,
// without consuming that key.
void seedAsNextGenerator(RandomSource& rng);
