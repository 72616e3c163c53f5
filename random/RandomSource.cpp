#include "random/RandomSource.h"

#include "random/SystemEntropy.h"

uint32_t RandomSource::seedDiffer = 0;

// Hashes the four bytes of a reading, least significant first.
static uint32_t hashBytes(uint32_t value) {
    uint32_t h = 0;
    for (int i = 0; i < 4; ++i) {
        h = h * 257u + ((value >> (8 * i)) & 0xffu);
    }
    return h;
}

static void fillFromValue(uint32_t* state, uint32_t value) {
    state[0] = value;
    for (uint32_t i = 1; i < RandomSource::stateSize; ++i) {
        state[i] = 1812433253u * (state[i - 1] ^ (state[i - 1] >> 30)) + i;
    }
}

RandomSource::RandomSource() { seed(); }

void RandomSource::seed() {
    uint32_t key[stateSize];
    if (readEntropyKey(key)) {
        seedFromWords(key);
    } else {
        seedFromValue(fallbackSeed());
    }
}

void RandomSource::seedFromValue(uint32_t value) {
    fillFromValue(state, value);
    regenerate();
}

void RandomSource::seedFromWords(const uint32_t key[stateSize]) {
    fillFromValue(state, 19650218u);
    uint32_t i = 1;
    uint32_t j = 0;
    for (int pass = 0; pass < stateSize; ++pass) {
        state[i] = (state[i] ^ ((state[i - 1] ^ (state[i - 1] >> 30)) * 1664525u)) + key[j] + j;
        if (++i == stateSize) {
            state[0] = state[stateSize - 1];
            i = 1;
        }
        if (++j == stateSize) {
            j = 0;
        }
    }
    for (int pass = 0; pass < stateSize - 1; ++pass) {
        state[i] = (state[i] ^ ((state[i - 1] ^ (state[i - 1] >> 30)) * 1566083941u)) - i;
        if (++i == stateSize) {
            state[0] = state[stateSize - 1];
            i = 1;
        }
    }
    state[0] = 0x80000000u;
    regenerate();
}

uint32_t RandomSource::fallbackSeed() {
    // Only the low 32 bits of each reading count, error values included.
    uint32_t hTime = hashBytes(static_cast<uint32_t>(readWallClock()));
    uint32_t hClock = hashBytes(static_cast<uint32_t>(readProcessorClock()));
    uint32_t result = (hTime + seedDiffer) ^ hClock;
    ++seedDiffer;
    return result;
}

void RandomSource::regenerate() {
    // In place and in order: from k = 227 on, state[k + 397] wraps to a word
    // that already holds its new value.
    for (int k = 0; k < stateSize; ++k) {
        uint32_t m = (state[k] & 0x80000000u) | (state[(k + 1) % stateSize] & 0x7fffffffu);
        state[k] = state[(k + 397) % stateSize] ^ (m >> 1) ^ ((m & 1u) ? 0x9908b0dfu : 0u);
    }
    next = 0;
    remaining = stateSize;
}

uint32_t RandomSource::nextWord() {
    if (remaining == 0) {
        regenerate();
    }
    --remaining;
    uint32_t w = state[next++];
    w ^= w >> 11;
    w ^= (w << 7) & 0x9d2c5680u;
    w ^= (w << 15) & 0xefc60000u;
    w ^= w >> 18;
    return w;
}

double RandomSource::nextUnit() {
    // The double nearest 1 / (2^32 - 1): word 0 gives 0.0 and the largest word 1.0.
    return static_cast<double>(nextWord()) * 2.3283064370807974e-10;
}
