// OpenGL entry points for the allocation test: they allocate nothing and do
// nothing but count the vertices, so the test can tell that the drawing ran.
#include <GL/gl.h>

#include "CountingOpenGL.h"

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
