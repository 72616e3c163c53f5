#include "GLRecorder.h"

#include <cstdio>
#include <cstring>

std::vector<GLCall> recordedCalls;

void clearRecordedCalls() { recordedCalls.clear(); }

static GLCall makeCall(const char* name, int enumCount, GLenum e0, GLenum e1, int valueCount, GLfloat v0,
                       GLfloat v1, GLfloat v2, GLfloat v3) {
    GLCall call;
    call.name = name;
    call.enumCount = enumCount;
    call.enums[0] = e0;
    call.enums[1] = e1;
    call.valueCount = valueCount;
    call.values[0] = v0;
    call.values[1] = v1;
    call.values[2] = v2;
    call.values[3] = v3;
    return call;
}

GLCall enableCall(GLenum cap) { return makeCall("glEnable", 1, cap, 0, 0, 0, 0, 0, 0); }
GLCall blendFuncCall(GLenum sourceFactor, GLenum destinationFactor) {
    return makeCall("glBlendFunc", 2, sourceFactor, destinationFactor, 0, 0, 0, 0, 0);
}
GLCall clearColorCall(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    return makeCall("glClearColor", 0, 0, 0, 4, red, green, blue, alpha);
}
GLCall clearCall(GLbitfield mask) { return makeCall("glClear", 1, mask, 0, 0, 0, 0, 0, 0); }
GLCall colorCall(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    return makeCall("glColor4f", 0, 0, 0, 4, red, green, blue, alpha);
}
GLCall rectCall(GLfloat x1, GLfloat y1, GLfloat x2, GLfloat y2) {
    return makeCall("glRectf", 0, 0, 0, 4, x1, y1, x2, y2);
}
GLCall pointSizeCall(GLfloat size) { return makeCall("glPointSize", 0, 0, 0, 1, size, 0, 0, 0); }
GLCall lineWidthCall(GLfloat width) { return makeCall("glLineWidth", 0, 0, 0, 1, width, 0, 0, 0); }
GLCall beginCall(GLenum mode) { return makeCall("glBegin", 1, mode, 0, 0, 0, 0, 0, 0); }
GLCall endCall() { return makeCall("glEnd", 0, 0, 0, 0, 0, 0, 0, 0); }
GLCall vertexCall(GLfloat x, GLfloat y) { return makeCall("glVertex2f", 0, 0, 0, 2, x, y, 0, 0); }

bool sameCall(const GLCall& a, const GLCall& b) {
    if (std::strcmp(a.name, b.name) != 0 || a.enumCount != b.enumCount || a.valueCount != b.valueCount) {
        return false;
    }
    for (int i = 0; i < a.enumCount; ++i) {
        if (a.enums[i] != b.enums[i]) {
            return false;
        }
    }
    // Bit patterns, so that 0 and -0 or two nearby floats count as different.
    return std::memcmp(a.values, b.values, sizeof(GLfloat) * static_cast<size_t>(a.valueCount)) == 0;
}

std::string describeCall(const GLCall& call) {
    std::string text = call.name;
    text += '(';
    char buffer[40];
    for (int i = 0; i < call.enumCount; ++i) {
        std::snprintf(buffer, sizeof buffer, "%s0x%x", i > 0 ? ", " : "", call.enums[i]);
        text += buffer;
    }
    for (int i = 0; i < call.valueCount; ++i) {
        std::snprintf(buffer, sizeof buffer, "%s%.9g", i > 0 ? ", " : "",
                      static_cast<double>(call.values[i]));
        text += buffer;
    }
    return text + ')';
}

std::string firstDifference(const std::vector<GLCall>& expected, const std::vector<GLCall>& actual) {
    const size_t common = expected.size() < actual.size() ? expected.size() : actual.size();
    for (size_t i = 0; i < common; ++i) {
        if (!sameCall(expected[i], actual[i])) {
            return "call " + std::to_string(i) + ": expected " + describeCall(expected[i]) + ", got " +
                   describeCall(actual[i]);
        }
    }
    if (expected.size() != actual.size()) {
        return "expected " + std::to_string(expected.size()) + " calls, got " +
               std::to_string(actual.size()) +
               (expected.size() > common ? ", first missing: " + describeCall(expected[common])
                                         : ", first extra: " + describeCall(actual[common]));
    }
    return "";
}

// The recording entry points, with the signatures of the real ones.

static void APIENTRY recordEnable(GLenum cap) { recordedCalls.push_back(enableCall(cap)); }
static void APIENTRY recordBlendFunc(GLenum sfactor, GLenum dfactor) {
    recordedCalls.push_back(blendFuncCall(sfactor, dfactor));
}
static void APIENTRY recordClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    recordedCalls.push_back(clearColorCall(red, green, blue, alpha));
}
static void APIENTRY recordClear(GLbitfield mask) { recordedCalls.push_back(clearCall(mask)); }
static void APIENTRY recordColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    recordedCalls.push_back(colorCall(red, green, blue, alpha));
}
static void APIENTRY recordRectf(GLfloat x1, GLfloat y1, GLfloat x2, GLfloat y2) {
    recordedCalls.push_back(rectCall(x1, y1, x2, y2));
}
static void APIENTRY recordPointSize(GLfloat size) { recordedCalls.push_back(pointSizeCall(size)); }
static void APIENTRY recordLineWidth(GLfloat width) { recordedCalls.push_back(lineWidthCall(width)); }
static void APIENTRY recordBegin(GLenum mode) { recordedCalls.push_back(beginCall(mode)); }
static void APIENTRY recordEnd() { recordedCalls.push_back(endCall()); }
static void APIENTRY recordVertex2f(GLfloat x, GLfloat y) { recordedCalls.push_back(vertexCall(x, y)); }

#ifdef _WIN32
// The import pointers that dllimport calls go through.
extern "C" {
void(APIENTRY* __imp_glEnable)(GLenum) = recordEnable;
void(APIENTRY* __imp_glBlendFunc)(GLenum, GLenum) = recordBlendFunc;
void(APIENTRY* __imp_glClearColor)(GLclampf, GLclampf, GLclampf, GLclampf) = recordClearColor;
void(APIENTRY* __imp_glClear)(GLbitfield) = recordClear;
void(APIENTRY* __imp_glColor4f)(GLfloat, GLfloat, GLfloat, GLfloat) = recordColor4f;
void(APIENTRY* __imp_glRectf)(GLfloat, GLfloat, GLfloat, GLfloat) = recordRectf;
void(APIENTRY* __imp_glPointSize)(GLfloat) = recordPointSize;
void(APIENTRY* __imp_glLineWidth)(GLfloat) = recordLineWidth;
void(APIENTRY* __imp_glBegin)(GLenum) = recordBegin;
void(APIENTRY* __imp_glEnd)() = recordEnd;
void(APIENTRY* __imp_glVertex2f)(GLfloat, GLfloat) = recordVertex2f;
}
#else
// The entry points themselves, declared with C linkage by <GL/gl.h>.
void APIENTRY glEnable(GLenum cap) { recordEnable(cap); }
void APIENTRY glBlendFunc(GLenum sfactor, GLenum dfactor) { recordBlendFunc(sfactor, dfactor); }
void APIENTRY glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    recordClearColor(red, green, blue, alpha);
}
void APIENTRY glClear(GLbitfield mask) { recordClear(mask); }
void APIENTRY glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    recordColor4f(red, green, blue, alpha);
}
void APIENTRY glRectf(GLfloat x1, GLfloat y1, GLfloat x2, GLfloat y2) { recordRectf(x1, y1, x2, y2); }
void APIENTRY glPointSize(GLfloat size) { recordPointSize(size); }
void APIENTRY glLineWidth(GLfloat width) { recordLineWidth(width); }
void APIENTRY glBegin(GLenum mode) { recordBegin(mode); }
void APIENTRY glEnd() { recordEnd(); }
void APIENTRY glVertex2f(GLfloat x, GLfloat y) { recordVertex2f(x, y); }
#endif
