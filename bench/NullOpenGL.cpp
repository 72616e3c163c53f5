// OpenGL entry points that do nothing, in place of the OpenGL library, so
// that a benchmark of the drawing measures the drawing code and its calls and
// not a renderer. Defined in a translation unit of their own and with C
// linkage, so calls to them stay calls: without link-time optimisation the
// compiler cannot see that they are empty. The declarations in <GL/gl.h>
// make any mismatch in a signature a compile error.
#include <GL/gl.h>

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
void glVertex2f(GLfloat, GLfloat) {}
}
