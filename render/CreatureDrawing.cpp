#include "render/OpenGL.h"
#include "sim/Creature.h"

static void drawSegment(const TentacleNode& from, const TentacleNode& to) {
    glVertex2f(from.x, from.y);
    glVertex2f(to.x, to.y);
}

void Creature::draw(double pixelScale) const {
    // The head point reads node 0 of tentacle 0, which an empty creature lacks.
    if (tentacleCount <= 0 || nodesPerTentacle <= 0 || tentacles == nullptr) {
        return;
    }
    const int32_t n = nodesPerTentacle;

    glPointSize(static_cast<float>(8 * pixelScale));
    glBegin(GL_POINTS);
    glColor4f(1.0f, 1.0f, 1.0f, 0.8f);
    glVertex2f(tentacles[0][0].x, tentacles[0][0].y);
    glEnd();

    // The root quarter of each tentacle, thick, turning from white to yellow
    // and fading out toward the end of the quarter.
    glLineWidth(static_cast<float>(6 * pixelScale));
    glBegin(GL_LINES);
    const int32_t quarter = n / 4;
    for (int32_t t = 0; t < tentacleCount; ++t) {
        const TentacleNode* nodes = tentacles[t];
        for (int32_t k = 1; k < quarter; ++k) {
            const double c = static_cast<double>(k) / quarter;
            glColor4f(1.0f, 1.0f, static_cast<float>(1 - 0.8 * c), static_cast<float>(0.5 * (1 - c)));
            drawSegment(nodes[k - 1], nodes[k]);
        }
    }
    glEnd();

    // The whole of each tentacle, thin, each segment in the colour of its
    // root-side node and fading out toward the tip.
    glLineWidth(static_cast<float>(2 * pixelScale));
    glBegin(GL_LINES);
    for (int32_t t = 0; t < tentacleCount; ++t) {
        const TentacleNode* nodes = tentacles[t];
        for (int32_t j = 1; j < n; ++j) {
            const double along = static_cast<double>(j) / n;
            const TentacleNode& root = nodes[j - 1];
            glColor4f(root.red, root.green, root.blue, static_cast<float>(1 - along * along));
            drawSegment(root, nodes[j]);
        }
    }
    glEnd();
}
