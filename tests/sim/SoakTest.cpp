#include <gtest/gtest.h>

#include <cmath>

#include "sim/Creature.h"
#include "sim/Swarm.h"
#include "support/ScriptedEntropy.h"

static bool allFinite(const Swarm& swarm) {
    for (int i = 0; i < swarm.count; ++i) {
        const SwarmMember& m = swarm.members[i];
        if (!std::isfinite(m.x) || !std::isfinite(m.y) || !std::isfinite(m.vx) || !std::isfinite(m.vy)) {
            return false;
        }
        const Creature& c = *m.creature;
        for (int t = 0; t < c.tentacleCount; ++t) {
            for (int k = 0; k < c.nodesPerTentacle; ++k) {
                const TentacleNode& n = c.tentacles[t][k];
                if (!std::isfinite(n.x) || !std::isfinite(n.y) || !std::isfinite(n.vx) ||
                    !std::isfinite(n.vy)) {
                    return false;
                }
            }
        }
    }
    return true;
}

TEST(Soak, AHundredThousandStepsStayFinite) {
    for (bool device : {true, false}) {
        entropyScript.reset();
        entropyScript.deviceYieldsKey = device;
        entropyScript.wallClock = 1765000000;
        entropyScript.processorClock = 1234;
        Swarm swarm(5);
        for (int s = 1; s <= 100000; ++s) {
            swarm.step();
            if (s % 10000 == 0) {
                ASSERT_TRUE(allFinite(swarm)) << "after " << s << " steps";
            }
        }
    }
}
