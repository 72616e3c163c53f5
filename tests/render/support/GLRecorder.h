#pragma once

#include <string>
#include <vector>

#include "render/OpenGL.h"

// A stand-in for the OpenGL entry points that the drawing calls. Linked into
// a test in place of the OpenGL library, it records every call with the exact
// arguments the real entry point would have received, in order.
//
// How it is bound in: on Linux the recorder defines the entry points
// themselves (glBegin and so on) with C linkage, so the drawing code's calls
// resolve to them when no OpenGL library is linked. MinGW's <GL/gl.h>
// declares the entry points dllimport, so compiled code calls each through a
// pointer named __imp_<entry point>; on Windows the recorder defines those
// pointers instead, aimed at its recording functions, and the test again
// links no opengl32. That keeps the test one self-contained program: a
// recording opengl32.dll would have to win over the system's own through the
// DLL search order or Wine's overrides, tying the test to the prefix.

// One recorded call: the entry point's name, its enum or bitfield arguments
// and its single-precision arguments, each in the order of the parameters.
struct GLCall {
    const char* name;
    int enumCount;
    GLenum enums[2];
    int valueCount;
    GLfloat values[4];
};

// Same entry point and same arguments, floats compared bit for bit.
bool sameCall(const GLCall& a, const GLCall& b);
// For messages, e.g. "glColor4f(1, 1, 0.955555558, 0.472222209)".
std::string describeCall(const GLCall& call);
// Empty when both streams are the same; otherwise where and how they part.
std::string firstDifference(const std::vector<GLCall>& expected, const std::vector<GLCall>& actual);

// Every call since the last clearRecordedCalls, oldest first.
extern std::vector<GLCall> recordedCalls;
void clearRecordedCalls();

// The call each entry point records for the given arguments, for building the
// streams a test expects.
GLCall enableCall(GLenum cap);
GLCall blendFuncCall(GLenum sourceFactor, GLenum destinationFactor);
GLCall clearColorCall(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha);
GLCall clearCall(GLbitfield mask);
GLCall colorCall(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha);
GLCall rectCall(GLfloat x1, GLfloat y1, GLfloat x2, GLfloat y2);
GLCall pointSizeCall(GLfloat size);
GLCall lineWidthCall(GLfloat width);
GLCall beginCall(GLenum mode);
GLCall endCall();
GLCall vertexCall(GLfloat x, GLfloat y);
