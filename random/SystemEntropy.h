#pragma once

#include <cstdint>
#include <ctime>

// The only place that touches the entropy device and the clocks. Tests link a
// scripted replacement of SystemEntropy.cpp to get fixed seeds.

// Reads a 624-word seeding key from "/dev/urandom", one 4-byte item per read,
// closing the device whatever happened. True only when every word was read.
bool readEntropyKey(uint32_t key[624]);

// time(nullptr) and clock(), unchecked: an error value is used like any other.
time_t readWallClock();
clock_t readProcessorClock();
