#include <gtest/gtest.h>

#include "sim/Creature.h"
#include "sim/Swarm.h"
#include "support/GLRecorder.h"
#include "support/ScriptedEntropy.h"

TEST(SwarmStream, SwarmWithoutMembersIssuesNoCallAtAll) {
    entropyScript.reset();
    Swarm swarm(0);
    clearRecordedCalls();
    swarm.draw();
    EXPECT_TRUE(recordedCalls.empty());
}

TEST(SwarmStream, MembersAreDrawnOneAfterAnotherInMemberOrder) {
    entropyScript.reset();
    Swarm swarm(5);
    ASSERT_EQ(5, swarm.count);
    // Each creature's head gets its member's number, so the order shows.
    for (int32_t m = 0; m < 5; ++m) {
        Creature& creature = *swarm.members[m].creature;
        for (int32_t t = 0; t < creature.tentacleCount; ++t) {
            for (int32_t i = 0; i < creature.nodesPerTentacle; ++i) {
                creature.tentacles[t][i].x = static_cast<float>(m) / 8.0f + static_cast<float>(i) / 1024.0f;
                creature.tentacles[t][i].y = -static_cast<float>(t) / 4.0f;
            }
        }
    }

    std::vector<GLCall> expected;
    for (int32_t m = 0; m < 5; ++m) {
        clearRecordedCalls();
        swarm.members[m].creature->draw();
        ASSERT_EQ(size_t(5 + 2 + 51 * 3 + 1 + 2 + 222 * 3 + 1), recordedCalls.size());
        expected.insert(expected.end(), recordedCalls.begin(), recordedCalls.end());
    }
    clearRecordedCalls();
    swarm.draw();
    EXPECT_EQ("", firstDifference(expected, recordedCalls));
}
