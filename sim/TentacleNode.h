#pragma once

// One point of a tentacle (and the creature's anchor): position, velocity
// per step and a colour fixed at construction, all single precision.
struct TentacleNode {
    float x;
    float vx;
    float y;
    float vy;
    float red;
    float green;
    float blue;
};

// A tentacle is one array of nodesPerTentacle nodes, node 0 nearest the anchor.
using Tentacle = TentacleNode*;
