#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>

#include "random/RandomSource.h"
#include "support/GeneratorControl.h"
#include "support/ScriptedEntropy.h"

class RandomSourceTest : public ::testing::Test {
protected:
    void SetUp() override { entropyScript.reset(); }
};

TEST_F(RandomSourceTest, ValueSeedingMatchesTheReferenceGenerator) {
    RandomSource rng;
    rng.seedFromValue(5489);
    EXPECT_EQ(rng.nextWord(), 3499211612u);
    for (int i = 2; i < 10000; ++i) {
        rng.nextWord();
    }
    EXPECT_EQ(rng.nextWord(), 4123659995u);

    for (uint32_t seed : {0u, 1u, 42u, 19650218u, 0xffffffffu}) {
        rng.seedFromValue(seed);
        std::mt19937 reference(seed);
        for (int i = 0; i < 2000; ++i) {
            ASSERT_EQ(rng.nextWord(), reference()) << "seed " << seed << ", word " << i;
        }
    }
}

TEST_F(RandomSourceTest, ArraySeedingMatchesAnIndependentImplementation) {
    // Golden words from CPython 3.11, whose random module seeds an integer
    // with the reference array initialisation, one 32-bit word of the integer
    // per key word, least significant first:
    //   key = [(i * 2654435761 + 12345) % 2**32 for i in range(624)]
    //   r = random.Random(sum(k << (32 * i) for i, k in enumerate(key)))
    //   words = [r.getrandbits(32) for _ in range(1300)]
    uint32_t key[624];
    for (uint32_t i = 0; i < 624; ++i) {
        key[i] = i * 2654435761u + 12345u;
    }
    const struct {
        int index;
        uint32_t word;
    } golden[] = {{0, 2785158684u},   {1, 1763753035u},    {2, 1595823907u},   {623, 3000428885u},
                  {624, 3978410356u}, {1247, 3197514551u}, {1299, 1360657004u}};
    RandomSource rng;
    rng.seedFromWords(key);
    int drawn = 0;
    for (const auto& expected : golden) {
        uint32_t word = 0;
        while (drawn <= expected.index) {
            word = rng.nextWord();
            ++drawn;
        }
        EXPECT_EQ(word, expected.word) << "word " << expected.index;
    }
}

TEST_F(RandomSourceTest, RegeneratesAtThe625thDrawWithoutGapOrRepeat) {
    RandomSource rng;
    rng.seedFromValue(2024);
    EXPECT_EQ(rng.next, 0);
    EXPECT_EQ(rng.remaining, 624);
    uint32_t before[624];
    std::memcpy(before, rng.state, sizeof before);
    std::mt19937 reference(2024);
    for (int i = 0; i < 624; ++i) {
        ASSERT_EQ(rng.nextWord(), reference());
        ASSERT_EQ(rng.next + rng.remaining, 624);
    }
    EXPECT_EQ(std::memcmp(before, rng.state, sizeof before), 0) << "regenerated before the 625th draw";
    EXPECT_EQ(rng.remaining, 0);
    EXPECT_EQ(rng.nextWord(), reference());
    EXPECT_NE(std::memcmp(before, rng.state, sizeof before), 0);
    EXPECT_EQ(rng.next, 1);
    EXPECT_EQ(rng.remaining, 623);
    for (int i = 0; i < 1500; ++i) {
        ASSERT_EQ(rng.nextWord(), reference());
    }
}

TEST_F(RandomSourceTest, UnitValuesCoverTheClosedInterval) {
    RandomSource rng;
    const uint32_t words[] = {0u, 4294967295u, 1u, 2147483648u};
    forceNextWords(rng, words, 4);
    EXPECT_EQ(rng.nextUnit(), 0.0);
    EXPECT_EQ(rng.nextUnit(), 1.0);
    // Word 1 gives the scale itself, the double nearest 1 / (2^32 - 1).
    const double scale = rng.nextUnit();
    uint64_t bits = 0;
    std::memcpy(&bits, &scale, sizeof bits);
    EXPECT_EQ(bits, 0x3DF0000000100000u);
    EXPECT_EQ(rng.nextUnit(), 2147483648.0 * scale);
}

TEST_F(RandomSourceTest, FallbackSeedHashesTheClocksAndAdvancesTheCounter) {
    entropyScript.wallClock = 1;
    entropyScript.processorClock = 0;
    EXPECT_EQ(RandomSource::fallbackSeed(), 16974593u);
    EXPECT_EQ(RandomSource::seedDiffer, 1u);
    EXPECT_EQ(RandomSource::fallbackSeed(), 16974594u);
    EXPECT_EQ(RandomSource::seedDiffer, 2u);
    EXPECT_EQ(entropyScript.clockReads, 4);

    // Bytes are hashed least significant first.
    RandomSource::seedDiffer = 0;
    entropyScript.wallClock = 0x01020304;
    EXPECT_EQ(RandomSource::fallbackSeed(), 68097034u);
    RandomSource::seedDiffer = 0;
    entropyScript.wallClock = 0;
    entropyScript.processorClock = 1000;
    EXPECT_EQ(RandomSource::fallbackSeed(), 3938303723u);

    // Error values are hashed like any reading: both -1 hash to 50462204,
    // so with the counter at 7 the seed is (50462204 + 7) ^ 50462204.
    RandomSource::seedDiffer = 7;
    entropyScript.wallClock = static_cast<time_t>(-1);
    entropyScript.processorClock = static_cast<clock_t>(-1);
    EXPECT_EQ(RandomSource::fallbackSeed(), (50462204u + 7u) ^ 50462204u);

    // The counter wraps.
    RandomSource::seedDiffer = 0xffffffffu;
    RandomSource::fallbackSeed();
    EXPECT_EQ(RandomSource::seedDiffer, 0u);
}

TEST_F(RandomSourceTest, ConstructionSeedsFromTheDeviceKeyWhenOneIsRead) {
    entropyScript.deviceYieldsKey = true;
    entropyScript.nextKeySeed = 99;
    RandomSource rng;
    EXPECT_EQ(RandomSource::seedDiffer, 0u);
    EXPECT_EQ(entropyScript.clockReads, 0);
    EXPECT_EQ(entropyScript.deviceReads, 1);

    uint32_t key[624];
    scriptedKey(99, key);
    RandomSource expected;
    expected.seedFromWords(key);
    EXPECT_TRUE(sameGenerator(rng, expected));
}

TEST_F(RandomSourceTest, ConstructionFallsBackToTheClocksWithoutTheDevice) {
    entropyScript.wallClock = 1;
    entropyScript.processorClock = 0;
    RandomSource first;
    RandomSource second;
    EXPECT_EQ(RandomSource::seedDiffer, 2u);
    EXPECT_EQ(entropyScript.deviceReads, 2);

    RandomSource expected;
    expected.seedFromValue(16974593u);
    EXPECT_TRUE(sameGenerator(first, expected));
    expected.seedFromValue(16974594u);
    EXPECT_TRUE(sameGenerator(second, expected));
    EXPECT_NE(first.nextWord(), second.nextWord());
}
