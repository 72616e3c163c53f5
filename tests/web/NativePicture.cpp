// The program's frames from the scripted seeds on the real OpenGL, for the
// browser tests to put the page's picture beside: the frame loop's drawing
// (step, fade, draw) run a given number of times in a SIDE by SIDE X window
// at its scale, read back without a swap; then the places of the nodes in
// the frames that follow, for telling which pixels those frames draw on.
//   web_native_picture FRAMES PICTURE.ppm NODES.txt FRAMES_AFTER SIDE
// The picture is a binary PPM, top row first. NODES.txt has a line per
// creature (member order) for each of the FRAMES_AFTER frames after FRAMES:
// the position of every node of every tentacle in order (x y, pixels from
// the top left).
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/WindowFacts.h"
#include "render/DrawingState.h"
#include "render/OpenGL.h"
#include "sim/Creature.h"
#include "sim/Swarm.h"
#include "support/GLTestWindow.h"
#include "support/ScriptedEntropy.h"

static int side;

static double pixelX(float x) { return (static_cast<double>(x) + 1) / 2 * side; }
static double pixelY(float y) { return (1 - static_cast<double>(y)) / 2 * side; }

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: web_native_picture FRAMES PICTURE.ppm NODES.txt FRAMES_AFTER SIDE\n");
        return 2;
    }
    const long frames = std::strtol(argv[1], nullptr, 10);
    side = static_cast<int>(std::strtol(argv[5], nullptr, 10));
    GLTestWindow window(side, side);
    if (!window.ready()) {
        std::fprintf(stderr, "%s\n", window.failure.c_str());
        return 1;
    }
    // The page's scripted build seeds with the script's defaults: no device,
    // the clocks at 1 and 0.
    entropyScript.reset();
    setupDrawingState();
    Swarm swarm(5);
    for (long i = 0; i < frames; ++i) {
        swarm.step();
        fadeFrame();
        swarm.draw(pictureScale(side));
    }
    std::vector<unsigned char> rgb(static_cast<size_t>(side) * side * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, side, side, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());

    FILE* picture = std::fopen(argv[2], "wb");
    if (picture == nullptr) {
        std::perror(argv[2]);
        return 1;
    }
    std::fprintf(picture, "P6\n%d %d\n255\n", side, side);
    // OpenGL reads the bottom row first.
    for (int row = side - 1; row >= 0; --row) {
        std::fwrite(&rgb[static_cast<size_t>(row) * side * 3], 1, static_cast<size_t>(side) * 3, picture);
    }
    std::fclose(picture);

    FILE* nodes = std::fopen(argv[3], "w");
    if (nodes == nullptr) {
        std::perror(argv[3]);
        return 1;
    }
    // The drawing changes nothing in the swarm: stepping alone gives the
    // places.
    for (long after = std::strtol(argv[4], nullptr, 10); after > 0; --after) {
        swarm.step();
        for (int32_t i = 0; i < swarm.count; ++i) {
            const Creature& creature = *swarm.members[i].creature;
            for (int32_t t = 0; t < creature.tentacleCount; ++t) {
                for (int32_t k = 0; k < creature.nodesPerTentacle; ++k) {
                    const TentacleNode& node = creature.tentacles[t][k];
                    std::fprintf(nodes, "%s%.3f %.3f", t + k > 0 ? " " : "", pixelX(node.x), pixelY(node.y));
                }
            }
            std::fprintf(nodes, "\n");
        }
    }
    std::fclose(nodes);
    return 0;
}
