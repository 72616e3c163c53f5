#include "render/DrawingState.h"

#include "render/OpenGL.h"

void setupDrawingState() {
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_POINT_SMOOTH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void fadeFrame() {
    // Blended over the old image, black of alpha 0.05 keeps 0.95 of every pixel.
    glColor4f(0.0f, 0.0f, 0.0f, 0.05f);
    glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
}
