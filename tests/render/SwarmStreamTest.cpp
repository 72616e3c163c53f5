#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// Drawn at a larger side, the stream from the same seeds is the same but for
// the point size and the line widths, each multiplied by the scale once.
TEST(SwarmStream, APixelScaleMultipliesOnlyThePointSizeAndTheLineWidths) {
    entropyScript.reset();
    Swarm swarm(5);
    swarm.step();
    clearRecordedCalls();
    swarm.draw();
    const std::vector<GLCall> atOne = recordedCalls;
    for (double scale : {2.0, 1.8}) {
        std::vector<GLCall> expected = atOne;
        for (GLCall& call : expected) {
            bool size = std::string(call.name) == "glPointSize" || std::string(call.name) == "glLineWidth";
            call.values[0] = size ? static_cast<float>(call.values[0] * scale) : call.values[0];
        }
        clearRecordedCalls();
        swarm.draw(scale);
        EXPECT_EQ("", firstDifference(expected, recordedCalls)) << "at scale " << scale;
    }
}
