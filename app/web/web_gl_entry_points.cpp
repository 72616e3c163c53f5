#include "app/web/web_gl_entry_points.h"

#include "app/web/web_gl_batch.h"
#include "render/OpenGL.h"

#include <cstdio>
#include <cstdlib>

// WebGL's own entry points under names of their own, so that they do not
// meet the OpenGL ones defined here.
extern "C" {
void emscripten_glEnable(GLenum cap);
void emscripten_glDisable(GLenum cap);
void emscripten_glBlendFunc(GLenum source, GLenum destination);
void emscripten_glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha);
void emscripten_glClear(GLbitfield mask);
}

static WebGLBatch* drawing = nullptr;

void useWebGLBatch(WebGLBatch* batch) { drawing = batch; }

// Smoothing is the layer's own; everything else WebGL 1 knows as OpenGL does
// (blending among it) goes to WebGL as it is.
static void setCapability(GLenum cap, bool on) {
    if (!drawing) {
        return;
    }
    if (cap == GL_POINT_SMOOTH) {
        drawing->smoothPoints = on;
    } else if (cap == GL_LINE_SMOOTH) {
        drawing->smoothLines = on;
    } else if (on) {
        emscripten_glEnable(cap);
    } else {
        emscripten_glDisable(cap);
    }
}

extern "C" {

void glEnable(GLenum cap) { setCapability(cap, true); }

void glDisable(GLenum cap) { setCapability(cap, false); }

void glBlendFunc(GLenum source, GLenum destination) {
    if (drawing) {
        emscripten_glBlendFunc(source, destination);
    }
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    if (drawing) {
        emscripten_glClearColor(red, green, blue, alpha);
    }
}

void glClear(GLbitfield mask) {
    if (drawing) {
        emscripten_glClear(mask);
    }
}

void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    if (drawing) {
        drawing->colour[0] = red;
        drawing->colour[1] = green;
        drawing->colour[2] = blue;
        drawing->colour[3] = alpha;
    }
}

void glPointSize(GLfloat size) {
    if (drawing) {
        drawing->pointSize = size;
    }
}

void glLineWidth(GLfloat width) {
    if (drawing) {
        drawing->lineWidth = width;
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
