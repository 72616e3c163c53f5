#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "sim/Creature.h"
#include "sim/Swarm.h"
#include "support/GeneratorControl.h"
#include "support/ScriptedEntropy.h"

// Words on either side of the thresholds, whose exact values no word hits:
// p = 0.32f for five members, and the damping chance 0.1.
static const uint32_t interacts = 1374389503u;
static const uint32_t staysApart = 1374389504u;
static const uint32_t damps = 429496729u;
static const uint32_t keepsSpeed = 429496730u;
static const uint32_t one = 0xffffffffu;

static const double forceScale = 0.0001f;

class SwarmTest : public ::testing::Test {
protected:
    void SetUp() override {
        entropyScript.reset();
        entropyScript.deviceYieldsKey = true;
        entropyScript.nextKeySeed = 700;
    }

    static void placeAtRest(Swarm& swarm, const float (*positions)[2]) {
        for (int i = 0; i < swarm.count; ++i) {
            swarm.members[i].x = positions[i][0];
            swarm.members[i].y = positions[i][1];
            swarm.members[i].vx = 0;
            swarm.members[i].vy = 0;
        }
    }

    // Steps with the given swarm draws and checks that exactly they were used.
    static void stepWith(Swarm& swarm, const std::vector<uint32_t>& words) {
        RandomSource before;
        forceNextWords(swarm.rng, words.data(), static_cast<int>(words.size()));
        copyGenerator(before, swarm.rng);
        swarm.step();
        EXPECT_EQ(drawsBetween(before, swarm.rng), static_cast<int>(words.size()));
    }
};

TEST_F(SwarmTest, ConstructionSpreadsMembersAtRestWithTwoDrawsEach) {
    RandomSource expected;
    seedAsNextGenerator(expected);
    Swarm swarm(5);
    ASSERT_EQ(swarm.count, 5);
    for (int i = 0; i < 5; ++i) {
        const SwarmMember& member = swarm.members[i];
        EXPECT_EQ(member.x, static_cast<float>(expected.nextUnit() - 0.5));
        EXPECT_EQ(member.y, static_cast<float>(expected.nextUnit() - 0.5));
        EXPECT_EQ(member.vx, 0.0f);
        EXPECT_EQ(member.vy, 0.0f);
        ASSERT_NE(member.creature, nullptr);
        EXPECT_EQ(member.creature->tentacleCount, 3);
        EXPECT_EQ(member.creature->nodesPerTentacle, 75);
    }
    EXPECT_TRUE(sameGenerator(expected, swarm.rng));
}

TEST_F(SwarmTest, FiveMembersDrawOncePerPairTwiceMorePerInteractionAndOnceToDamp) {
    Swarm swarm(5);
    RandomSource before;
    int most = 0;
    for (int s = 0; s < 300; ++s) {
        copyGenerator(before, swarm.rng);
        swarm.step();
        const int draws = drawsBetween(before, swarm.rng);
        ASSERT_GE(draws, 11);
        ASSERT_LE(draws, 31);
        ASSERT_EQ(draws % 2, 1);
        most = draws > most ? draws : most;
    }
    EXPECT_GT(most, 11) << "no pair interacted in 300 steps";
}

TEST_F(SwarmTest, SmallSwarmsOnlyDrawForDamping) {
    for (int count : {1, 0, -4}) {
        RandomSource expected;
        seedAsNextGenerator(expected);
        Swarm swarm(count);
        EXPECT_EQ(drawsBetween(expected, swarm.rng), count == 1 ? 2 : 0);
        if (count <= 0) {
            EXPECT_EQ(swarm.members, nullptr);
        }
        for (int s = 0; s < 3; ++s) {
            stepWith(swarm, {keepsSpeed});
        }
        if (count == 1) {
            // The lone creature still follows its member.
            const Creature& creature = *swarm.members[0].creature;
            EXPECT_EQ(creature.anchor.x, swarm.members[0].x);
            EXPECT_EQ(creature.anchor.y, swarm.members[0].y);
            EXPECT_NE(creature.tentacles[0][0].x, 0.0f);
        }
    }
}

TEST_F(SwarmTest, PairsAreTestedInIndexOrderAndOnlyInteractingOnesMove) {
    const int pairs[10][2] = {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, 2}, {1, 3}, {1, 4}, {2, 3}, {2, 4}, {3, 4}};
    const float positions[5][2] = {
        {-0.4f, -0.3f}, {0.35f, -0.2f}, {0.1f, 0.45f}, {-0.25f, 0.2f}, {0.4f, 0.3f}};
    for (int chosen = 0; chosen < 10; ++chosen) {
        Swarm swarm(5);
        placeAtRest(swarm, positions);
        std::vector<uint32_t> words;
        for (int k = 0; k < 10; ++k) {
            words.push_back(k == chosen ? interacts : staysApart);
            if (k == chosen) {
                words.push_back(one);          // u1
                words.push_back(0x80000000u);  // u2, about a half
            }
        }
        words.push_back(keepsSpeed);
        stepWith(swarm, words);

        const int i = pairs[chosen][0];
        const int j = pairs[chosen][1];
        for (int m = 0; m < 5; ++m) {
            const bool inPair = m == i || m == j;
            EXPECT_EQ(swarm.members[m].vx != 0.0f, inPair) << "pair " << chosen << ", member " << m;
            EXPECT_EQ(swarm.members[m].x, static_cast<float>(positions[m][0] + swarm.members[m].vx));
        }
        // Member i's share is scaled by the draws (here 1 and about a half),
        // member j always takes the full, opposite change.
        const double dx = static_cast<double>(positions[j][0]) - positions[i][0];
        const double dy = static_cast<double>(positions[j][1]) - positions[i][1];
        const double d = std::sqrt(dx * dx + dy * dy);
        const float f =
            static_cast<float>((d < 0.2f ? -2.0 : 1.0) / ((d - 0.2f) * (d - 0.2f) + 1) * forceScale);
        EXPECT_EQ(swarm.members[j].vx, static_cast<float>(0 - f * (dx / d)));
        EXPECT_EQ(swarm.members[j].vy, static_cast<float>(0 - f * (dy / d)));
        EXPECT_EQ(swarm.members[i].vx, -swarm.members[j].vx);
        EXPECT_LT(std::fabs(swarm.members[i].vy), std::fabs(swarm.members[j].vy));
    }
}

TEST_F(SwarmTest, StrengthPushesApartBelowTwoTenthsAndFallsOffBeyond) {
    const struct {
        float d;
        double strength;
        double tolerance;
    } cases[] = {
        {0.1f, -2 * 0.0001 / 1.01, 1e-11},
        {std::nextafter(0.2f, 0.0f), -2 * 0.0001, 1e-11},
        {0.2f, 0.0001f, 0},  // exactly the single-precision constant
        {0.5f, 0.0001 / 1.09, 1e-11},
        {1.2f, 0.0001 / 2, 1e-11},
    };
    for (const auto& c : cases) {
        Swarm swarm(2);  // p = 2: the one pair interacts in every step
        const float positions[2][2] = {{0, 0}, {c.d, 0}};
        placeAtRest(swarm, positions);
        stepWith(swarm, {0, one, one, keepsSpeed});
        // Member 1 takes -f along the unit direction (1, 0); member 0 takes +f.
        EXPECT_NEAR(-swarm.members[1].vx, c.strength, c.tolerance) << "d = " << c.d;
        EXPECT_EQ(swarm.members[0].vx, -swarm.members[1].vx);
        EXPECT_EQ(swarm.members[1].vy, 0.0f);
    }
}

TEST_F(SwarmTest, MembersOnTheSameSpotTakeTheirDrawsButNoForce) {
    Swarm swarm(2);
    const float positions[2][2] = {{0.25f, -0.125f}, {0.25f, -0.125f}};
    placeAtRest(swarm, positions);
    stepWith(swarm, {0, one, one, keepsSpeed});
    for (int m = 0; m < 2; ++m) {
        EXPECT_EQ(swarm.members[m].vx, 0.0f);
        EXPECT_EQ(swarm.members[m].vy, 0.0f);
        EXPECT_EQ(swarm.members[m].x, 0.25f);
    }
    // And the pair still behaves once it has parted.
    swarm.members[1].x = 0.75f;
    stepWith(swarm, {0, one, one, keepsSpeed});
    EXPECT_LT(swarm.members[1].vx, 0.0f);
    EXPECT_TRUE(std::isfinite(swarm.members[0].creature->tentacles[0][0].x));
}

TEST_F(SwarmTest, EdgesReverseOutwardVelocityWithoutClampingThePosition) {
    const struct {
        float position;
        float velocity;
        float velocityAfter;
    } cases[] = {
        {0.99f, 0.02f, -0.02f},   {1.01f, -0.005f, -0.005f}, {1.01f, 0.0f, 0.0f},  {-0.99f, -0.02f, 0.02f},
        {-1.01f, 0.005f, 0.005f}, {-1.01f, 0.0f, 0.0f},      {0.5f, 0.02f, 0.02f},
    };
    for (int axis = 0; axis < 2; ++axis) {
        for (const auto& c : cases) {
            Swarm swarm(1);
            SwarmMember& m = swarm.members[0];
            m.x = m.y = 0;
            m.vx = m.vy = 0;
            float& position = axis == 0 ? m.x : m.y;
            float& velocity = axis == 0 ? m.vx : m.vy;
            position = c.position;
            velocity = c.velocity;
            stepWith(swarm, {keepsSpeed});
            EXPECT_EQ(position, static_cast<float>(c.position + static_cast<double>(c.velocity)));
            EXPECT_EQ(velocity, c.velocityAfter) << "axis " << axis << " at " << c.position;
            EXPECT_EQ(axis == 0 ? m.vy : m.vx, 0.0f);
        }
    }
}

TEST_F(SwarmTest, DampingScalesEveryVelocityAfterTheMove) {
    for (uint32_t word : {damps, keepsSpeed}) {
        Swarm swarm(5);
        const float positions[5][2] = {
            {-0.4f, -0.3f}, {0.35f, -0.2f}, {0.1f, 0.45f}, {-0.25f, 0.2f}, {0.4f, 0.3f}};
        placeAtRest(swarm, positions);
        // Speeds for which the single-precision 0.99 and the double 0.99
        // round to different floats.
        const float vxs[5] = {0.0055f, 0.0057f, 0.0059f, 0.0083f, 0.0087f};
        const float vys[5] = {-0.0091f, -0.011f, -0.0114f, -0.0118f, -0.0137f};
        for (int m = 0; m < 5; ++m) {
            swarm.members[m].vx = vxs[m];
            swarm.members[m].vy = vys[m];
        }
        std::vector<uint32_t> words(10, staysApart);
        words.push_back(word);
        stepWith(swarm, words);
        for (int m = 0; m < 5; ++m) {
            const float vx = vxs[m];
            const float vy = vys[m];
            EXPECT_EQ(swarm.members[m].x, static_cast<float>(positions[m][0] + static_cast<double>(vx)));
            EXPECT_EQ(swarm.members[m].y, static_cast<float>(positions[m][1] + static_cast<double>(vy)));
            const double factor = word == damps ? static_cast<double>(0.99f) : 1.0;
            EXPECT_EQ(swarm.members[m].vx, static_cast<float>(vx * factor));
            EXPECT_EQ(swarm.members[m].vy, static_cast<float>(vy * factor));
        }
    }
}
