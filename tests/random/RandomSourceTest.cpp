#include <gtest/gtest.h>

#include "random/RandomSource.h"
#include "support/ScriptedEntropy.h"

TEST(RandomSource, ReferenceValueSeeding) {
    entropyScript.reset();
    RandomSource rng;
    rng.seedFromValue(5489);
    EXPECT_EQ(rng.nextWord(), 3499211612u);
}
