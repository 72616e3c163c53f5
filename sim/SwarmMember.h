#pragma once

class Creature;

// One anchor point of the swarm and the creature that follows it.
struct SwarmMember {
    float x;
    float vx;
    float y;
    float vy;
    Creature* creature;  // owned by the swarm
};
