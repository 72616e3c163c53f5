// OpenGL entry points that do nothing but count the vertices, in place of
// the OpenGL library: a benchmark of the drawing measures the drawing code
// and its calls and not a renderer, and the allocation test can tell that
// the drawing ran without anything allocating. Defined in a translation unit
// of their own and with C linkage, so calls to them stay calls: without
// link-time optimisation the compiler cannot see what they do. The
// declarations in <GL/gl.h> make any mismatch in a signature a compile error.
#include <GL/gl.h>

#include "NullOpenGL.h"

unsigned long vertexCalls = 0;

extern "C" {

void glEnable(GLenum) {}
void glBlendFunc(GLenum, GLenum) {}
void glClearColor(GLclampf, GLclampf, GLclampf, GLclampf) {}
void glClear(GLbitfield) {}
void glColor4f(GLfloat, GLfloat, GLfloat, GLfloat) {}
void glRectf(GLfloat, GLfloat, GLfloat, GLfloat) {}
void glPointSize(GLfloat) {}
void glLineWidth(GLfloat) {}
void glBegin(GLenum) {}
void glEnd() {}
void glVertex2f(GLfloat, GLfloat) { ++vertexCalls; }
}
