#include "sim/Creature.h"

#include <cmath>
#include <cstdlib>
#include <new>

// Single-precision constants, used at their single-precision values in
// double arithmetic.
static const double pullSize = 0.0003f;
static const double nodeDamping = 0.9f;
static const double blendWeight = 0.4f;

Creature::Creature(int32_t tentacleCount, int32_t nodesPerTentacle)
    : nodesPerTentacle(nodesPerTentacle), tentacleCount(tentacleCount), tentacles(nullptr), anchor() {
    if (tentacleCount > 0) {
        // An array of node-array pointers, one per tentacle.
        tentacles = static_cast<Tentacle*>(malloc(
            sizeof(Tentacle) * static_cast<size_t>(tentacleCount)));  // NOLINT(bugprone-sizeof-expression)
        if (tentacles == nullptr) {
            throw std::bad_alloc();
        }
        for (int32_t t = 0; t < tentacleCount; ++t) {
            tentacles[t] = nullptr;
        }
        for (int32_t t = 0; t < tentacleCount && nodesPerTentacle > 0; ++t) {
            tentacles[t] = static_cast<TentacleNode*>(
                malloc(sizeof(TentacleNode) * static_cast<size_t>(nodesPerTentacle)));
            if (tentacles[t] == nullptr) {
                release();
                throw std::bad_alloc();
            }
            colourTentacle(tentacles[t]);
        }
    }
    anchor.x = 0;
    anchor.vx = 0;
    anchor.y = 0;
    anchor.vy = 0;
}

Creature::~Creature() { release(); }

void Creature::release() {
    if (tentacles == nullptr) {
        return;
    }
    for (int32_t t = 0; t < tentacleCount; ++t) {
        free(tentacles[t]);
    }
    free(tentacles);
    tentacles = nullptr;
}

void Creature::colourTentacle(TentacleNode* nodes) {
    const int32_t n = nodesPerTentacle;
    for (int32_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / n;
        const double u1 = rng.nextUnit();
        const double u2 = rng.nextUnit();
        TentacleNode& node = nodes[i];
        node.x = 0;
        node.vx = 0;
        node.y = 0;
        node.vy = 0;
        node.red = static_cast<float>(1 - t);
        node.green = static_cast<float>((1 - t) * (u1 * 0.8));
        node.blue = static_cast<float>(t * u2);
    }
    // Ascending, so node k mixes with its successor's unsmoothed colour;
    // the tip keeps its own.
    for (int32_t k = 0; k + 1 < n; ++k) {
        TentacleNode& node = nodes[k];
        const TentacleNode& after = nodes[k + 1];
        node.red = static_cast<float>(node.red * (1 - blendWeight) + after.red * blendWeight);
        node.green = static_cast<float>(node.green * (1 - blendWeight) + after.green * blendWeight);
        node.blue = static_cast<float>(node.blue * (1 - blendWeight) + after.blue * blendWeight);
    }
}

void Creature::setAnchor(float x, float y) {
    anchor.x = x;
    anchor.y = y;
    anchor.vx = 0;
    anchor.vy = 0;
}

void Creature::placeAt(float x, float y) {
    for (int32_t t = 0; t < tentacleCount; ++t) {
        for (int32_t k = 0; k < nodesPerTentacle; ++k) {
            TentacleNode& node = tentacles[t][k];
            node.x = x;
            node.y = y;
            node.vx = 0;
            node.vy = 0;
        }
    }
    anchor.x = x;
    anchor.y = y;
}

void Creature::step() {
    for (int32_t t = 0; t < tentacleCount; ++t) {
        const TentacleNode* leader = &anchor;
        for (int32_t k = 0; k < nodesPerTentacle; ++k) {
            TentacleNode& node = tentacles[t][k];
            const double dx = static_cast<double>(leader->x) - node.x;
            const double dy = static_cast<double>(leader->y) - node.y;
            const double d = std::sqrt(dx * dx + dy * dy);
            // The pull has a fixed size whatever the distance; a node on its
            // leader (or at a distance that is not a number) has no direction.
            if (d > 0) {
                const double u1 = rng.nextUnit();
                node.vx = static_cast<float>(node.vx + dx / d * pullSize * (0.9 + 0.2 * u1));
                const double u2 = rng.nextUnit();
                node.vy = static_cast<float>(node.vy + dy / d * pullSize * (0.9 + 0.2 * u2));
            }
            const double dampedVy = node.vy * nodeDamping;
            node.y = static_cast<float>(node.y + dampedVy);
            node.vy = static_cast<float>(dampedVy);
            const double dampedVx = node.vx * nodeDamping;
            node.x = static_cast<float>(node.x + dampedVx);
            node.vx = static_cast<float>(dampedVx);
            leader = &node;
        }
    }
}
