#include "app/web/web_gl_batch.h"

#include <webgl/webgl1.h>

#include <cmath>
#include <cstddef>
#include <cstdlib>

// Coverage is 1 up to half a pixel inside the edge and 0 half a pixel
// outside it, so the quads reach half a pixel beyond the nominal width.
static const char* vertexShaderText =
    "attribute vec2 position;\n"
    "attribute vec4 colour;\n"
    "attribute vec3 edge;\n"
    "varying vec4 fragmentColour;\n"
    "varying vec3 fragmentEdge;\n"
    "void main() {\n"
    "    fragmentColour = colour;\n"
    "    fragmentEdge = edge;\n"
    "    gl_Position = vec4(position, 0.0, 1.0);\n"
    "}\n";

static const char* fragmentShaderText =
    "#ifdef GL_FRAGMENT_PRECISION_HIGH\n"
    "precision highp float;\n"
    "#else\n"
    "precision mediump float;\n"
    "#endif\n"
    "varying vec4 fragmentColour;\n"
    "varying vec3 fragmentEdge;\n"
    "void main() {\n"
    "    float coverage = clamp(fragmentEdge.z - length(fragmentEdge.xy), 0.0, 1.0);\n"
    "    gl_FragColor = vec4(fragmentColour.rgb, fragmentColour.a * coverage);\n"
    "}\n";

// The reach of a corner whose fragments are all covered: rectangles, and
// points and lines drawn without smoothing.
static const double fullCoverage = 1.0e4;

enum Attribute { positionAttribute, colourAttribute, edgeAttribute };

static GLuint compileShader(GLenum kind, const char* text) {
    GLuint shader = emscripten_glCreateShader(kind);
    emscripten_glShaderSource(shader, 1, &text, nullptr);
    emscripten_glCompileShader(shader);
    GLint compiled = GL_FALSE;
    emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (!compiled) {
        emscripten_glDeleteShader(shader);
        return 0;
    }
    return shader;
}

static GLuint linkProgram() {
    GLuint vertexShader = compileShader(GL_VERTEX_SHADER, vertexShaderText);
    GLuint fragmentShader = compileShader(GL_FRAGMENT_SHADER, fragmentShaderText);
    GLuint program = 0;
    if (vertexShader && fragmentShader) {
        program = emscripten_glCreateProgram();
        emscripten_glAttachShader(program, vertexShader);
        emscripten_glAttachShader(program, fragmentShader);
        emscripten_glBindAttribLocation(program, positionAttribute, "position");
        emscripten_glBindAttribLocation(program, colourAttribute, "colour");
        emscripten_glBindAttribLocation(program, edgeAttribute, "edge");
        emscripten_glLinkProgram(program);
        GLint linked = GL_FALSE;
        emscripten_glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (!linked) {
            emscripten_glDeleteProgram(program);
            program = 0;
        }
    }
    // The program keeps them while it lives.
    emscripten_glDeleteShader(vertexShader);
    emscripten_glDeleteShader(fragmentShader);
    return program;
}

const unsigned int WebGLBatch::capabilities[capabilityCount] = {
    GL_BLEND,           GL_CULL_FACE,           GL_DEPTH_TEST,
    GL_DITHER,          GL_POLYGON_OFFSET_FILL, GL_SAMPLE_ALPHA_TO_COVERAGE,
    GL_SAMPLE_COVERAGE, GL_SCISSOR_TEST,        GL_STENCIL_TEST};

WebGLBatch::WebGLBatch(int viewWidth, int viewHeight)
    : ready(false), state(), viewWidth(viewWidth), viewHeight(viewHeight), mode(Points), inBatch(false),
      pending(), hasPending(false), corners(nullptr), cornerCount(0), cornerCapacity(0), program(0),
      buffer(0) {
    // OpenGL's state at the start, as a new context has it.
    for (int index = 0; index < capabilityCount; ++index) {
        state.enabled[index] = capabilities[index] == GL_DITHER;
    }
    state.blendSource = GL_ONE;
    state.blendDestination = GL_ZERO;
    state.colour[0] = state.colour[1] = state.colour[2] = state.colour[3] = 1.0f;
    state.pointSize = 1.0f;
    state.lineWidth = 1.0f;
    // Room for a frame's thin lines from the start: six corners a segment.
    ready = reserve(8192) && makeObjects();
}

WebGLBatch::~WebGLBatch() {
    free(corners);
    releaseObjects();
}

// The only program and buffer, bound for good, and the state over them.
bool WebGLBatch::makeObjects() {
    program = linkProgram();
    emscripten_glGenBuffers(1, &buffer);
    if (!program || !buffer) {
        return false;
    }
    emscripten_glUseProgram(program);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const GLsizei stride = sizeof(Corner);
    emscripten_glEnableVertexAttribArray(positionAttribute);
    emscripten_glVertexAttribPointer(positionAttribute, 2, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<const void*>(offsetof(Corner, x)));
    emscripten_glEnableVertexAttribArray(colourAttribute);
    emscripten_glVertexAttribPointer(colourAttribute, 4, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<const void*>(offsetof(Corner, red)));
    emscripten_glEnableVertexAttribArray(edgeAttribute);
    emscripten_glVertexAttribPointer(edgeAttribute, 3, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<const void*>(offsetof(Corner, offsetX)));
    applyState();
    return true;
}

// Deleting what a lost context held does nothing but forget it.
void WebGLBatch::releaseObjects() {
    if (program) {
        emscripten_glDeleteProgram(program);
        program = 0;
    }
    if (buffer) {
        emscripten_glDeleteBuffers(1, &buffer);
        buffer = 0;
    }
}

bool WebGLBatch::restore() {
    releaseObjects();
    ready = makeObjects();
    if (ready) {
        emscripten_glClear(GL_COLOR_BUFFER_BIT);
    }
    return ready;
}

void WebGLBatch::applyState() {
    for (int index = 0; index < capabilityCount; ++index) {
        if (state.enabled[index]) {
            emscripten_glEnable(capabilities[index]);
        } else {
            emscripten_glDisable(capabilities[index]);
        }
    }
    emscripten_glBlendFunc(state.blendSource, state.blendDestination);
    emscripten_glClearColor(state.clearColour[0], state.clearColour[1], state.clearColour[2],
                            state.clearColour[3]);
    emscripten_glViewport(0, 0, viewWidth, viewHeight);
}

bool WebGLBatch::reserve(int more) {
    if (cornerCount + more <= cornerCapacity) {
        return true;
    }
    int capacity = cornerCapacity > 0 ? cornerCapacity : 1;
    while (capacity < cornerCount + more) {
        capacity *= 2;
    }
    Corner* grown = static_cast<Corner*>(realloc(corners, sizeof(Corner) * static_cast<size_t>(capacity)));
    if (!grown) {
        return false;
    }
    corners = grown;
    cornerCapacity = capacity;
    return true;
}

void WebGLBatch::setView(int width, int height) {
    viewWidth = width;
    viewHeight = height;
    applyState();
}

void WebGLBatch::begin(Mode newMode) {
    mode = newMode;
    inBatch = true;
    hasPending = false;
    cornerCount = 0;
}

void WebGLBatch::vertex(float x, float y) {
    if (!inBatch) {
        return;
    }
    Given given = {x, y, {state.colour[0], state.colour[1], state.colour[2], state.colour[3]}};
    if (mode == Points) {
        addPoint(given);
    } else {
        if (hasPending) {
            addLine(pending, given);
        } else {
            pending = given;
        }
        hasPending = !hasPending;
    }
}

void WebGLBatch::end() {
    if (inBatch) {
        draw();
    }
    inBatch = false;
}

void WebGLBatch::rect(float x1, float y1, float x2, float y2) {
    cornerCount = 0;
    if (!reserve(6)) {
        return;
    }
    double left = (x1 + 1.0) * viewWidth / 2;
    double right = (x2 + 1.0) * viewWidth / 2;
    double bottom = (y1 + 1.0) * viewHeight / 2;
    double top = (y2 + 1.0) * viewHeight / 2;
    addCorner(left, bottom, state.colour, 0, 0, fullCoverage);
    addCorner(right, bottom, state.colour, 0, 0, fullCoverage);
    addCorner(right, top, state.colour, 0, 0, fullCoverage);
    addCorner(left, bottom, state.colour, 0, 0, fullCoverage);
    addCorner(right, top, state.colour, 0, 0, fullCoverage);
    addCorner(left, top, state.colour, 0, 0, fullCoverage);
    draw();
}

void WebGLBatch::addCorner(double pixelX, double pixelY, const float* cornerColour, double offsetX,
                           double offsetY, double reach) {
    Corner& corner = corners[cornerCount++];
    corner.x = static_cast<float>(pixelX * 2 / viewWidth - 1);
    corner.y = static_cast<float>(pixelY * 2 / viewHeight - 1);
    corner.red = cornerColour[0];
    corner.green = cornerColour[1];
    corner.blue = cornerColour[2];
    corner.alpha = cornerColour[3];
    corner.offsetX = static_cast<float>(offsetX);
    corner.offsetY = static_cast<float>(offsetY);
    corner.reach = static_cast<float>(reach);
}

// A square around the centre, reaching half a pixel past the disc when it
// is smooth.
void WebGLBatch::addPoint(const Given& point) {
    if (!reserve(6)) {
        return;
    }
    double radius = state.pointSize / 2.0;
    double half = state.smoothPoints ? radius + 0.5 : radius;
    double reach = state.smoothPoints ? radius + 0.5 : fullCoverage;
    double x = (point.x + 1.0) * viewWidth / 2;
    double y = (point.y + 1.0) * viewHeight / 2;
    const double signs[6][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, -1}, {1, 1}, {-1, 1}};
    for (const auto& sign : signs) {
        addCorner(x + sign[0] * half, y + sign[1] * half, point.colour, sign[0] * half, sign[1] * half, reach);
    }
}

// A quad along the segment, as wide as the line and, when smooth, half a
// pixel more on either side; each end keeps its vertex's colour. A segment
// of no length has no direction and draws nothing.
void WebGLBatch::addLine(const Given& from, const Given& to) {
    double x0 = (from.x + 1.0) * viewWidth / 2;
    double y0 = (from.y + 1.0) * viewHeight / 2;
    double x1 = (to.x + 1.0) * viewWidth / 2;
    double y1 = (to.y + 1.0) * viewHeight / 2;
    double length = std::sqrt((x1 - x0) * (x1 - x0) + (y1 - y0) * (y1 - y0));
    if (length == 0 || !reserve(6)) {
        return;
    }
    double radius = state.lineWidth / 2.0;
    double half = state.smoothLines ? radius + 0.5 : radius;
    double reach = state.smoothLines ? radius + 0.5 : fullCoverage;
    double normalX = -(y1 - y0) / length * half;
    double normalY = (x1 - x0) / length * half;
    addCorner(x0 + normalX, y0 + normalY, from.colour, half, 0, reach);
    addCorner(x0 - normalX, y0 - normalY, from.colour, -half, 0, reach);
    addCorner(x1 - normalX, y1 - normalY, to.colour, -half, 0, reach);
    addCorner(x0 + normalX, y0 + normalY, from.colour, half, 0, reach);
    addCorner(x1 - normalX, y1 - normalY, to.colour, -half, 0, reach);
    addCorner(x1 + normalX, y1 + normalY, to.colour, half, 0, reach);
}

void WebGLBatch::draw() {
    if (!ready || cornerCount == 0) {
        return;
    }
    emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(Corner) * cornerCount), corners,
                            GL_STREAM_DRAW);
    emscripten_glDrawArrays(GL_TRIANGLES, 0, cornerCount);
    cornerCount = 0;
}
