#pragma once

#include <cstdint>

#include "random/RandomSource.h"
#include "sim/SwarmMember.h"

// The members whose points the creatures follow. A step applies random pair
// forces, moves the points with a bounce off the view's edges, lets every
// creature follow its point, and now and then damps all velocities.
class Swarm {
public:
    int32_t count;
    SwarmMember* members;
    RandomSource rng;

    // A count of zero or less gives an empty swarm. Throws std::bad_alloc,
    // having released what it obtained, when storage runs out.
    explicit Swarm(int32_t count);
    ~Swarm();
    Swarm(const Swarm&) = delete;
    Swarm& operator=(const Swarm&) = delete;

    void step();
    // Draws every member's creature with OpenGL, in member order, at the
    // given pixel scale (see Creature::draw).
    void draw(double pixelScale = 1.0) const;

private:
    void applyPairForces();
    void moveMembers();
    void release();
};
