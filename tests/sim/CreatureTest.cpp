#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "sim/Creature.h"
#include "support/GeneratorControl.h"
#include "support/ScriptedEntropy.h"

static const double pullSize = 0.0003f;
static const double nodeDamping = 0.9f;
static const double blendWeight = 0.4f;

class CreatureTest : public ::testing::Test {
protected:
    void SetUp() override {
        entropyScript.reset();
        entropyScript.deviceYieldsKey = true;
        entropyScript.nextKeySeed = 500;
    }
};

TEST_F(CreatureTest, ConstructionBuildsTentaclesAtRestWithTwoDrawsPerNode) {
    RandomSource expected;
    seedAsNextGenerator(expected);
    Creature creature(3, 75);
    EXPECT_EQ(creature.tentacleCount, 3);
    EXPECT_EQ(creature.nodesPerTentacle, 75);
    EXPECT_EQ(drawsBetween(expected, creature.rng), 450);
    for (int t = 0; t < 3; ++t) {
        for (int k = 0; k < 75; ++k) {
            const TentacleNode& node = creature.tentacles[t][k];
            ASSERT_EQ(node.x, 0.0f);
            ASSERT_EQ(node.y, 0.0f);
            ASSERT_EQ(node.vx, 0.0f);
            ASSERT_EQ(node.vy, 0.0f);
        }
    }
    EXPECT_EQ(creature.anchor.x, 0.0f);
    EXPECT_EQ(creature.anchor.y, 0.0f);
    EXPECT_EQ(creature.anchor.vx, 0.0f);
    EXPECT_EQ(creature.anchor.vy, 0.0f);
}

TEST_F(CreatureTest, ColoursFadeAlongTheTentacleAndMixWithTheUnsmoothedSuccessor) {
    RandomSource draws;
    seedAsNextGenerator(draws);
    Creature creature(3, 75);

    // The colours before smoothing, from the same draws: green first.
    static float red[3][75];
    static float green[3][75];
    static float blue[3][75];
    for (int t = 0; t < 3; ++t) {
        for (int i = 0; i < 75; ++i) {
            const double share = i / 75.0;
            const double u1 = draws.nextUnit();
            const double u2 = draws.nextUnit();
            red[t][i] = static_cast<float>(1 - share);
            green[t][i] = static_cast<float>((1 - share) * (u1 * 0.8));
            blue[t][i] = static_cast<float>(share * u2);
        }
    }
    EXPECT_EQ(red[0][0], 1.0f);
    EXPECT_EQ(blue[0][0], 0.0f);

    auto mixed = [](float own, float after) {
        return static_cast<float>(own * (1 - blendWeight) + after * blendWeight);
    };
    for (int t = 0; t < 3; ++t) {
        for (int k = 0; k < 74; ++k) {
            const TentacleNode& node = creature.tentacles[t][k];
            EXPECT_EQ(node.red, mixed(red[t][k], red[t][k + 1])) << t << "/" << k;
            EXPECT_EQ(node.green, mixed(green[t][k], green[t][k + 1])) << t << "/" << k;
            EXPECT_EQ(node.blue, mixed(blue[t][k], blue[t][k + 1])) << t << "/" << k;
        }
        const TentacleNode& tip = creature.tentacles[t][74];
        EXPECT_EQ(tip.red, static_cast<float>(1 - 74 / 75.0));
        EXPECT_EQ(tip.green, green[t][74]);
        EXPECT_EQ(tip.blue, blue[t][74]);
    }
}

TEST_F(CreatureTest, SingleNodeTentaclesKeepTheirColourUnsmoothed) {
    RandomSource draws;
    seedAsNextGenerator(draws);
    Creature creature(2, 1);
    EXPECT_EQ(drawsBetween(draws, creature.rng), 4);
    for (int t = 0; t < 2; ++t) {
        const double u1 = draws.nextUnit();
        draws.nextUnit();  // taken for blue, which is 0 at the root
        EXPECT_EQ(creature.tentacles[t][0].red, 1.0f);
        EXPECT_EQ(creature.tentacles[t][0].green, static_cast<float>(u1 * 0.8));
        EXPECT_EQ(creature.tentacles[t][0].blue, 0.0f);
    }
}

TEST_F(CreatureTest, CountsOfZeroOrLessTakeNoDrawsAndStepSafely) {
    const int counts[][2] = {{0, 75}, {3, 0}, {-2, 5}, {4, -1}, {-1, -1}};
    for (const auto& count : counts) {
        RandomSource expected;
        seedAsNextGenerator(expected);
        Creature creature(count[0], count[1]);
        creature.setAnchor(0.5f, -0.5f);
        creature.step();
        creature.placeAt(0.25f, 0.25f);
        creature.step();
        EXPECT_TRUE(sameGenerator(expected, creature.rng)) << count[0] << ", " << count[1];
    }
}

TEST_F(CreatureTest, SetAnchorAndPlaceAtMoveOnlyWhatTheyName) {
    Creature creature(3, 10);
    creature.setAnchor(0.5f, 0.25f);
    creature.step();
    const TentacleNode before = creature.tentacles[1][4];
    RandomSource expected;
    copyGenerator(expected, creature.rng);

    creature.setAnchor(-0.75f, 0.125f);
    EXPECT_EQ(creature.anchor.x, -0.75f);
    EXPECT_EQ(creature.anchor.y, 0.125f);
    EXPECT_EQ(creature.anchor.vx, 0.0f);
    EXPECT_EQ(creature.anchor.vy, 0.0f);
    EXPECT_EQ(creature.tentacles[1][4].x, before.x);
    EXPECT_EQ(creature.tentacles[1][4].vy, before.vy);
    EXPECT_TRUE(sameGenerator(expected, creature.rng));

    creature.placeAt(0.3f, -0.2f);
    EXPECT_EQ(creature.anchor.x, 0.3f);
    EXPECT_EQ(creature.anchor.y, -0.2f);
    for (int t = 0; t < 3; ++t) {
        for (int k = 0; k < 10; ++k) {
            const TentacleNode& node = creature.tentacles[t][k];
            EXPECT_EQ(node.x, 0.3f);
            EXPECT_EQ(node.y, -0.2f);
            EXPECT_EQ(node.vx, 0.0f);
            EXPECT_EQ(node.vy, 0.0f);
        }
    }
    EXPECT_EQ(creature.tentacles[1][4].red, before.red);
    EXPECT_EQ(creature.tentacles[1][4].blue, before.blue);
    EXPECT_TRUE(sameGenerator(expected, creature.rng));
}

TEST_F(CreatureTest, OnlyNodesOffTheirLeaderDraw) {
    Creature creature(1, 75);
    RandomSource before;
    copyGenerator(before, creature.rng);
    creature.setAnchor(0, 0);
    creature.step();
    EXPECT_TRUE(sameGenerator(before, creature.rng)) << "a tentacle at rest on its anchor drew";
    EXPECT_EQ(creature.tentacles[0][0].x, 0.0f);
    EXPECT_EQ(creature.tentacles[0][74].y, 0.0f);

    // Node 0 moves toward the moved anchor, so node 1 is off its leader,
    // and so on down the chain: every node draws twice in the same step.
    creature.setAnchor(0.5f, 0.25f);
    creature.step();
    EXPECT_EQ(drawsBetween(before, creature.rng), 150);
    EXPECT_GT(creature.tentacles[0][0].x, 0.0f);
    EXPECT_GT(creature.tentacles[0][0].y, 0.0f);
    EXPECT_GT(creature.tentacles[0][74].x, 0.0f);

    // A node whose position is not a number has no direction to its leader.
    Creature broken(1, 1);
    broken.tentacles[0][0].x = std::nanf("");
    copyGenerator(before, broken.rng);
    broken.setAnchor(0.5f, 0.5f);
    broken.step();
    EXPECT_TRUE(sameGenerator(before, broken.rng));
    EXPECT_EQ(broken.tentacles[0][0].vx, 0.0f);
}

TEST_F(CreatureTest, ThePullHasAFixedSizeWhateverTheDistance) {
    // Both anchors lie in the direction (0.6, 0.8), one 0.0390625 and one 1.25 away.
    Creature nearby(1, 1);
    Creature faraway(1, 1);
    const uint32_t words[] = {0x12345678u, 0x9abcdef0u};
    forceNextWords(nearby.rng, words, 2);
    forceNextWords(faraway.rng, words, 2);
    nearby.setAnchor(0.0234375f, 0.03125f);
    faraway.setAnchor(0.75f, 1.0f);
    nearby.step();
    faraway.step();
    const TentacleNode& a = nearby.tentacles[0][0];
    const TentacleNode& b = faraway.tentacles[0][0];
    EXPECT_EQ(a.vx, b.vx);
    EXPECT_EQ(a.vy, b.vy);
    EXPECT_EQ(a.x, b.x);

    // The pull, then the damping by the single-precision 0.9, which also
    // moves the node.
    const double u1 = 0x12345678u * 2.3283064370807974e-10;
    const double u2 = 0x9abcdef0u * 2.3283064370807974e-10;
    const float pulledX = static_cast<float>(0.6 * pullSize * (0.9 + 0.2 * u1));
    const float pulledY = static_cast<float>(0.8 * pullSize * (0.9 + 0.2 * u2));
    EXPECT_EQ(a.vx, static_cast<float>(pulledX * nodeDamping));
    EXPECT_EQ(a.vy, static_cast<float>(pulledY * nodeDamping));
    EXPECT_EQ(a.x, static_cast<float>(0.0 + pulledX * nodeDamping));
    EXPECT_EQ(a.y, static_cast<float>(0.0 + pulledY * nodeDamping));

    // The factor spans 0.9 to 1.1 of the pull for the extreme draws.
    Creature extremes(1, 1);
    const uint32_t bounds[] = {0u, 0xffffffffu};
    forceNextWords(extremes.rng, bounds, 2);
    extremes.setAnchor(1.0f, -1.0f);
    extremes.step();
    const double diagonal = 1 / std::sqrt(2.0);
    EXPECT_EQ(extremes.tentacles[0][0].vx,
              static_cast<float>(static_cast<float>(diagonal * pullSize * 0.9) * nodeDamping));
    EXPECT_EQ(extremes.tentacles[0][0].vy,
              static_cast<float>(static_cast<float>(-diagonal * pullSize * (0.9 + 0.2)) * nodeDamping));
}

TEST_F(CreatureTest, LaterNodesFollowTheirLeaderAsAlreadyMovedThisStep) {
    Creature creature(1, 2);
    creature.setAnchor(0.5f, 0.0f);
    creature.step();
    // Node 1 sat on node 0 before the step; it still moved because node 0
    // had already moved away when node 1 was reached.
    EXPECT_GT(creature.tentacles[0][0].x, 0.0f);
    EXPECT_GT(creature.tentacles[0][1].x, 0.0f);
    EXPECT_EQ(creature.tentacles[0][1].y, 0.0f);
}
