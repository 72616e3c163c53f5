#include <gtest/gtest.h>

#include "sim/Creature.h"
#include "support/GLRecorder.h"
#include "support/ScriptedEntropy.h"

// Gives every node a position and colour of its own, so that each vertex and
// colour in the stream shows which node it was read from.
static void markNodes(Creature& creature, float offset) {
    for (int32_t t = 0; t < creature.tentacleCount; ++t) {
        for (int32_t i = 0; i < creature.nodesPerTentacle; ++i) {
            TentacleNode& node = creature.tentacles[t][i];
            node.x = offset + 0.25f * static_cast<float>(t) + static_cast<float>(i) / 128.0f;
            node.y = -offset - 0.5f * static_cast<float>(t) - static_cast<float>(i) / 512.0f;
            node.red = static_cast<float>(i) / 256.0f;
            node.green = 0.25f * static_cast<float>(t) + 0.125f;
            node.blue = 1.0f - static_cast<float>(i) / 1024.0f;
        }
    }
}

static std::vector<GLCall> drawnStream(const Creature& creature) {
    clearRecordedCalls();
    creature.draw();
    return recordedCalls;
}

static GLCall vertexOf(const TentacleNode& node) { return vertexCall(node.x, node.y); }

static void addSegment(std::vector<GLCall>& calls, const GLCall& colour, const TentacleNode& from,
                       const TentacleNode& to) {
    calls.push_back(colour);
    calls.push_back(vertexOf(from));
    calls.push_back(vertexOf(to));
}

static int countCalls(const std::vector<GLCall>& calls, const char* name) {
    int count = 0;
    for (const GLCall& call : calls) {
        count += std::string(call.name) == name ? 1 : 0;
    }
    return count;
}

class CreatureStream : public ::testing::Test {
protected:
    void SetUp() override { entropyScript.reset(); }
};

TEST_F(CreatureStream, FullCreatureDrawsHeadThickQuarterAndThinTentaclesInOrder) {
    Creature creature(3, 75);
    markNodes(creature, 0.0f);
    const Tentacle* tentacles = creature.tentacles;

    std::vector<GLCall> expected = {pointSizeCall(8.0f), beginCall(GL_POINTS),
                                    colorCall(1.0f, 1.0f, 1.0f, 0.8f), vertexOf(tentacles[0][0]), endCall()};
    expected.push_back(lineWidthCall(6.0f));
    expected.push_back(beginCall(GL_LINES));
    for (int t = 0; t < 3; ++t) {
        for (int k = 1; k < 18; ++k) {
            const double c = k / 18.0;
            const GLCall colour =
                colorCall(1.0f, 1.0f, static_cast<float>(1.0 - 0.8 * c), static_cast<float>(0.5 * (1.0 - c)));
            addSegment(expected, colour, tentacles[t][k - 1], tentacles[t][k]);
        }
    }
    expected.push_back(endCall());
    expected.push_back(lineWidthCall(2.0f));
    expected.push_back(beginCall(GL_LINES));
    for (int t = 0; t < 3; ++t) {
        for (int j = 1; j < 75; ++j) {
            const TentacleNode& root = tentacles[t][j - 1];
            const double along = j / 75.0;
            const GLCall colour =
                colorCall(root.red, root.green, root.blue, static_cast<float>(1.0 - along * along));
            addSegment(expected, colour, root, tentacles[t][j]);
        }
    }
    expected.push_back(endCall());

    const std::vector<GLCall> drawn = drawnStream(creature);
    EXPECT_EQ("", firstDifference(expected, drawn));
    EXPECT_EQ(1 + 102 + 444, countCalls(drawn, "glVertex2f"));
    EXPECT_EQ(3, countCalls(drawn, "glBegin"));
}

TEST_F(CreatureStream, BandEndsCarryTheirExactColours) {
    Creature creature(3, 75);
    markNodes(creature, 0.0f);
    const std::vector<GLCall> drawn = drawnStream(creature);
    ASSERT_EQ(size_t(5 + 2 + 51 * 3 + 1 + 2 + 222 * 3 + 1), drawn.size());

    // The thick band runs from nearly white and half opaque to yellow and
    // nearly transparent: k = 1 and k = 17 of 18.
    const size_t thick = 7;
    for (int t = 0; t < 3; ++t) {
        const size_t first = thick + static_cast<size_t>(t) * 17u * 3u;
        const size_t last = first + size_t{16} * 3;
        EXPECT_EQ("", firstDifference({colorCall(1.0f, 1.0f, static_cast<float>(43.0 / 45),
                                                 static_cast<float>(17.0 / 36))},
                                      {drawn[first]}));
        EXPECT_EQ("", firstDifference({colorCall(1.0f, 1.0f, static_cast<float>(11.0 / 45),
                                                 static_cast<float>(1.0 / 36))},
                                      {drawn[last]}));
        // The last thick segment ends on node 17; node 18 carries none.
        EXPECT_EQ("", firstDifference({vertexOf(creature.tentacles[t][17])}, {drawn[last + 2]}));
    }

    // Thin segments: alpha 1 - (1/75)^2 in node 0's colour at the root,
    // 1 - (74/75)^2 in node 73's colour at the tip.
    const size_t thin = thick + size_t{51} * 3 + 3;
    for (int t = 0; t < 3; ++t) {
        const TentacleNode* nodes = creature.tentacles[t];
        const size_t first = thin + static_cast<size_t>(t) * 74u * 3u;
        const size_t last = first + size_t{73} * 3;
        EXPECT_EQ("", firstDifference({colorCall(nodes[0].red, nodes[0].green, nodes[0].blue,
                                                 static_cast<float>(5624.0 / 5625))},
                                      {drawn[first]}));
        EXPECT_EQ("", firstDifference({colorCall(nodes[73].red, nodes[73].green, nodes[73].blue,
                                                 static_cast<float>(149.0 / 5625))},
                                      {drawn[last]}));
        EXPECT_EQ("", firstDifference({vertexOf(nodes[73]), vertexOf(nodes[74])},
                                      {drawn[last + 1], drawn[last + 2]}));
    }
}

TEST_F(CreatureStream, SingleNodeDrawsOnlyTheHeadAndTwoEmptyBatches) {
    Creature creature(3, 1);
    markNodes(creature, 0.5f);
    const TentacleNode& head = creature.tentacles[0][0];
    const std::vector<GLCall> expected = {
        pointSizeCall(8.0f),
        beginCall(GL_POINTS),
        colorCall(1.0f, 1.0f, 1.0f, 0.8f),
        vertexOf(head),
        endCall(),
        lineWidthCall(6.0f),
        beginCall(GL_LINES),
        endCall(),
        lineWidthCall(2.0f),
        beginCall(GL_LINES),
        endCall(),
    };
    EXPECT_EQ("", firstDifference(expected, drawnStream(creature)));
}

TEST_F(CreatureStream, EightNodesGiveOneThickSegmentPerTentacle) {
    Creature creature(3, 8);
    markNodes(creature, 0.0f);
    const std::vector<GLCall> drawn = drawnStream(creature);
    std::vector<GLCall> expected = {lineWidthCall(6.0f), beginCall(GL_LINES)};
    for (int t = 0; t < 3; ++t) {
        addSegment(expected, colorCall(1.0f, 1.0f, 0.6f, 0.25f), creature.tentacles[t][0],
                   creature.tentacles[t][1]);
    }
    expected.push_back(endCall());
    expected.push_back(lineWidthCall(2.0f));
    ASSERT_GE(drawn.size(), size_t(5) + expected.size());
    EXPECT_EQ("", firstDifference(
                      expected, std::vector<GLCall>(drawn.begin() + 5, drawn.begin() + 5 + expected.size())));
}

// For every shape, short ones included: three begin/end pairs in the order
// points, lines, lines; sizes only outside a pair, each right before its
// glBegin; a colour before every primitive; and the vertex count that the
// quarter q = n / 4 and the n - 1 thin segments give.
TEST_F(CreatureStream, ShortAndLongTentaclesKeepTheBatchStructure) {
    const int shapes[][2] = {{1, 1}, {3, 2}, {3, 3},  {2, 4},  {3, 5},
                             {1, 7}, {2, 8}, {1, 11}, {4, 12}, {3, 75}};
    for (const auto& shape : shapes) {
        const int tentacleCount = shape[0];
        const int n = shape[1];
        SCOPED_TRACE("tentacles " + std::to_string(tentacleCount) + ", nodes " + std::to_string(n));
        Creature creature(tentacleCount, n);
        markNodes(creature, 0.0f);
        const std::vector<GLCall> drawn = drawnStream(creature);

        const int thickSegments = n / 4 > 1 ? tentacleCount * (n / 4 - 1) : 0;
        const int thinSegments = tentacleCount * (n - 1);
        EXPECT_EQ(1 + 2 * thickSegments + 2 * thinSegments, countCalls(drawn, "glVertex2f"));

        std::vector<GLenum> modes;
        std::vector<std::string> sizeCalls;
        bool inside = false;
        int verticesSinceColour = -1;
        for (size_t i = 0; i < drawn.size(); ++i) {
            const std::string name = drawn[i].name;
            if (name == "glBegin") {
                ASSERT_FALSE(inside);
                ASSERT_GT(i, size_t(0));
                sizeCalls.push_back(describeCall(drawn[i - 1]));
                modes.push_back(drawn[i].enums[0]);
                inside = true;
                verticesSinceColour = -1;
            } else if (name == "glEnd") {
                ASSERT_TRUE(inside);
                inside = false;
            } else if (name == "glPointSize" || name == "glLineWidth") {
                ASSERT_FALSE(inside) << name << " inside a begin/end pair";
            } else if (name == "glColor4f") {
                ASSERT_TRUE(inside);
                verticesSinceColour = 0;
            } else if (name == "glVertex2f") {
                ASSERT_TRUE(inside);
                ASSERT_GE(verticesSinceColour, 0) << "vertex " << i << " before any colour";
                ++verticesSinceColour;
                const int perPrimitive = modes.back() == GL_POINTS ? 1 : 2;
                ASSERT_LE(verticesSinceColour, perPrimitive) << "vertex " << i << " without its own colour";
            } else {
                ADD_FAILURE() << "unexpected call " << name;
            }
        }
        EXPECT_FALSE(inside);
        EXPECT_EQ((std::vector<GLenum>{GL_POINTS, GL_LINES, GL_LINES}), modes);
        EXPECT_EQ((std::vector<std::string>{"glPointSize(8)", "glLineWidth(6)", "glLineWidth(2)"}),
                  sizeCalls);
    }
}

TEST_F(CreatureStream, CreatureWithoutTentaclesOrNodesIssuesNothing) {
    const int shapes[][2] = {{0, 75}, {-2, 75}, {3, 0}, {3, -1}, {0, 0}};
    for (const auto& shape : shapes) {
        Creature creature(shape[0], shape[1]);
        EXPECT_TRUE(drawnStream(creature).empty()) << "tentacles " << shape[0] << ", nodes " << shape[1];
    }
}
