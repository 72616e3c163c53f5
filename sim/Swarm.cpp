#include "sim/Swarm.h"

#include <cmath>
#include <cstdlib>
#include <new>

#include "sim/Creature.h"

// Single-precision constants, used at their single-precision values in
// double arithmetic.
static const double nearDistance = 0.2f;
static const double forceScale = 0.0001f;
static const double memberDamping = 0.99f;

Swarm::Swarm(int32_t count) : count(count), members(nullptr) {
    if (count <= 0) {
        return;
    }
    members = static_cast<SwarmMember*>(malloc(sizeof(SwarmMember) * static_cast<size_t>(count)));
    if (members == nullptr) {
        throw std::bad_alloc();
    }
    for (int32_t i = 0; i < count; ++i) {
        members[i].creature = nullptr;
    }
    try {
        for (int32_t i = 0; i < count; ++i) {
            SwarmMember& member = members[i];
            member.x = static_cast<float>(rng.nextUnit() - 0.5);
            member.y = static_cast<float>(rng.nextUnit() - 0.5);
            member.vx = 0;
            member.vy = 0;
            member.creature = new Creature(3, 75);
        }
    } catch (...) {
        release();
        throw;
    }
}

Swarm::~Swarm() { release(); }

void Swarm::release() {
    for (int32_t i = 0; i < count && members != nullptr; ++i) {
        delete members[i].creature;
    }
    free(members);
    members = nullptr;
}

void Swarm::step() {
    applyPairForces();
    moveMembers();
    for (int32_t i = 0; i < count; ++i) {
        members[i].creature->setAnchor(members[i].x, members[i].y);
        members[i].creature->step();
    }
    // Drawn in every step, also for an empty swarm.
    if (rng.nextUnit() < 0.1) {
        for (int32_t i = 0; i < count; ++i) {
            members[i].vx = static_cast<float>(members[i].vx * memberDamping);
            members[i].vy = static_cast<float>(members[i].vy * memberDamping);
        }
    }
}

void Swarm::applyPairForces() {
    if (count < 2) {
        return;
    }
    // The product is taken in double: a 32-bit product would overflow long
    // before the pair loop became impractical.
    const float p = static_cast<float>(8.0 / (static_cast<double>(count) * count));
    for (int32_t i = 0; i + 1 < count; ++i) {
        for (int32_t j = i + 1; j < count; ++j) {
            if (!(rng.nextUnit() < p)) {
                continue;
            }
            SwarmMember& a = members[i];
            SwarmMember& b = members[j];
            const double dx = static_cast<double>(b.x) - a.x;
            const double dy = static_cast<double>(b.y) - a.y;
            const double d = std::sqrt(dx * dx + dy * dy);
            // Members on the same spot have no direction between them: the
            // pair still takes its two draws, so later draws keep their order,
            // but no force is applied.
            if (d == 0) {
                rng.nextUnit();
                rng.nextUnit();
                continue;
            }
            const double nx = dx / d;
            const double ny = dy / d;
            const double c = d < nearDistance ? -2.0 : 1.0;
            const double off = d - nearDistance;
            const float f = static_cast<float>(c / (off * off + 1) * forceScale);
            const double u1 = rng.nextUnit();
            a.vx = static_cast<float>(a.vx + f * nx * u1);
            const double u2 = rng.nextUnit();
            a.vy = static_cast<float>(a.vy + f * ny * u2);
            b.vx = static_cast<float>(b.vx - f * nx);
            b.vy = static_cast<float>(b.vy - f * ny);
        }
    }
}

void Swarm::moveMembers() {
    // Positions are never clamped: a member that crosses an edge turns round
    // and comes back under its reversed velocity.
    for (int32_t i = 0; i < count; ++i) {
        SwarmMember& m = members[i];
        m.x = static_cast<float>(static_cast<double>(m.x) + m.vx);
        m.y = static_cast<float>(static_cast<double>(m.y) + m.vy);
        if ((m.x > 1 && m.vx > 0) || (m.x < -1 && m.vx < 0)) {
            m.vx = -m.vx;
        }
        if ((m.y > 1 && m.vy > 0) || (m.y < -1 && m.vy < 0)) {
            m.vy = -m.vy;
        }
    }
}
