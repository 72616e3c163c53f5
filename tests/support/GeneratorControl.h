#pragma once

#include <cstdint>

#include "random/RandomSource.h"

// Test-side control of a generator's output: the tempering is a bijection,
// so writing untempered words into the state makes the next draws return
// chosen words.

uint32_t untemper(uint32_t word);

// Makes the next `count` draws of `rng` return `words`, regenerating first
// if fewer than `count` words are left in the state.
void forceNextWords(RandomSource& rng, const uint32_t* words, int count);

// Makes `to` an exact copy of `from`, so it yields the same draws.
void copyGenerator(RandomSource& to, const RandomSource& from);

// How many draws take `before` to the state of `after`; -1 if none up to `limit`.
int drawsBetween(const RandomSource& before, const RandomSource& after, int limit = 5000);

// Whether two generators are in the same state.
bool sameGenerator(const RandomSource& a, const RandomSource& b);
