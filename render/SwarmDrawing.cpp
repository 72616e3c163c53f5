#include "render/OpenGL.h"
#include "sim/Creature.h"
#include "sim/Swarm.h"

void Swarm::draw(double pixelScale) const {
    // Array order: later members are drawn over earlier ones.
    for (int32_t i = 0; i < count; ++i) {
        members[i].creature->draw(pixelScale);
    }
}
