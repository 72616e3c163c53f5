#include "random/SystemEntropy.h"

#include <cstdio>

bool readEntropyKey(uint32_t key[624]) {
    FILE* device = fopen("/dev/urandom", "rb");
    if (device == nullptr) {
        return false;
    }
    int read = 0;
    while (read < 624 && fread(&key[read], 4, 1, device) == 1) {
        ++read;
    }
    fclose(device);
    return read == 624;
}

time_t readWallClock() { return time(nullptr); }

clock_t readProcessorClock() { return clock(); }
