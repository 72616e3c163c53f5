#pragma once

#include <cstdint>

#include "random/RandomSource.h"
#include "sim/TentacleNode.h"

// A chain-like figure: tentacles of nodes that stream behind an anchor which
// the owner moves every frame. Every node is pulled toward the node ahead of
// it (node 0 toward the anchor) by a pull of fixed size, then damped.
class Creature {
public:
    int32_t nodesPerTentacle;
    int32_t tentacleCount;
    Tentacle* tentacles;  // tentacleCount arrays, each of nodesPerTentacle nodes
    TentacleNode anchor;  // only x and y are used; its velocity stays zero
    RandomSource rng;

    // Counts of zero or less give no tentacles or empty ones and take no draws.
    // Throws std::bad_alloc, having released what it obtained, when storage runs out.
    Creature(int32_t tentacleCount, int32_t nodesPerTentacle);
    ~Creature();
    Creature(const Creature&) = delete;
    Creature& operator=(const Creature&) = delete;

    void setAnchor(float x, float y);
    void placeAt(float x, float y);
    void step();
    // Draws the creature with OpenGL; needs at least one tentacle of one node.
    // The point size and line widths, given for a 600-pixel picture, are
    // multiplied by `pixelScale`: the picture's side in pixels over 600.
    void draw(double pixelScale = 1.0) const;

private:
    void colourTentacle(TentacleNode* nodes);
    void release();
};
