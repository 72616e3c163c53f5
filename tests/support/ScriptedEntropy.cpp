#include "support/ScriptedEntropy.h"

#include <random>

#include "random/RandomSource.h"
#include "random/SystemEntropy.h"

EntropyScript entropyScript = {false, 1, 1, 0, 0, 0};

void EntropyScript::reset() {
    deviceYieldsKey = false;
    nextKeySeed = 1;
    wallClock = 1;
    processorClock = 0;
    deviceReads = 0;
    clockReads = 0;
    RandomSource::seedDiffer = 0;
}

void scriptedKey(uint32_t keySeed, uint32_t key[624]) {
    std::mt19937 words(keySeed);
    for (int i = 0; i < 624; ++i) {
        key[i] = static_cast<uint32_t>(words());
    }
}

void seedAsNextGenerator(RandomSource& rng) {
    uint32_t key[624];
    scriptedKey(entropyScript.nextKeySeed, key);
    rng.seedFromWords(key);
}

bool readEntropyKey(uint32_t key[624]) {
    ++entropyScript.deviceReads;
    if (!entropyScript.deviceYieldsKey) {
        return false;
    }
    scriptedKey(entropyScript.nextKeySeed++, key);
    return true;
}

time_t readWallClock() {
    ++entropyScript.clockReads;
    return entropyScript.wallClock;
}

clock_t readProcessorClock() {
    ++entropyScript.clockReads;
    return entropyScript.processorClock;
}
