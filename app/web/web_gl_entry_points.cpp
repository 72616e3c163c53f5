#include "app/web/web_gl_entry_points.h"

#include "app/web/web_gl_batch.h"
#include "render/OpenGL.h"

#include <cstdio>
#include <cstdlib>

// WebGL's own entry point under a name of its own, so that it does not meet
// the OpenGL one defined here.
extern "C" void emscripten_glClear(GLbitfield mask);

static WebGLBatch* drawing = nullptr;

void useWebGLBatch(WebGLBatch* batch) { drawing = batch; }

// The state goes into the layer's record; what of it is WebGL's goes on to
// WebGL from there. Smoothing is the layer's own; the capabilities WebGL 1
// knows as OpenGL does (blending among them) are WebGL's; one it lacks is
// refused, as WebGL would refuse it.
static void setCapability(GLenum cap, bool on) {
    if (!drawing) {
        return;
    }
    WebGLBatch::WebGLState& state = drawing->state;
    if (cap == GL_POINT_SMOOTH) {
        state.smoothPoints = on;
    } else if (cap == GL_LINE_SMOOTH) {
        state.smoothLines = on;
    } else {
        for (int index = 0; index < WebGLBatch::capabilityCount; ++index) {
            if (WebGLBatch::capabilities[index] == cap) {
                state.enabled[index] = on;
                drawing->applyState();
            }
        }
    }
}

extern "C" {

void glEnable(GLenum cap) { setCapability(cap, true); }

void glDisable(GLenum cap) { setCapability(cap, false); }

void glBlendFunc(GLenum source, GLenum destination) {
    if (drawing) {
        drawing->state.blendSource = source;
        drawing->state.blendDestination = destination;
        drawing->applyState();
    }
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    if (drawing) {
        float* colour = drawing->state.clearColour;
        colour[0] = red;
        colour[1] = green;
        colour[2] = blue;
        colour[3] = alpha;
        drawing->applyState();
    }
}

void glClear(GLbitfield mask) {
    if (drawing) {
        emscripten_glClear(mask);
    }
}

void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    if (drawing) {
        float* colour = drawing->state.colour;
        colour[0] = red;
        colour[1] = green;
        colour[2] = blue;
        colour[3] = alpha;
    }
}

void glPointSize(GLfloat size) {
    if (drawing) {
        drawing->state.pointSize = size;
    }
}

void glLineWidth(GLfloat width) {
    if (drawing) {
        drawing->state.lineWidth = width;
    }
}

// Only the modes the drawing uses. Any other would be drawn wrong, so it
// ends the program with a line that names it rather than draw nothing.
void glBegin(GLenum mode) {
    if (mode != GL_POINTS && mode != GL_LINES) {
        fprintf(stderr, "drifton: the WebGL layer cannot draw glBegin mode 0x%x\n", mode);
        abort();
    }
    if (drawing) {
        drawing->begin(mode == GL_POINTS ? WebGLBatch::Points : WebGLBatch::Lines);
    }
}

void glVertex2f(GLfloat x, GLfloat y) {
    if (drawing) {
        drawing->vertex(x, y);
    }
}

void glEnd() {
    if (drawing) {
        drawing->end();
    }
}

void glRectf(GLfloat x1, GLfloat y1, GLfloat x2, GLfloat y2) {
    if (drawing) {
        drawing->rect(x1, y1, x2, y2);
    }
}
}
