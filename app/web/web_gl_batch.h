#pragma once

// The immediate-mode drawing of OpenGL 1.1 that the drawing uses, on WebGL 1:
// the vertices given between begin and end are gathered as triangles and
// drawn in one call at end. WebGL draws lines one pixel wide at most and has
// no smooth points, so lines become quads lineWidth pixels wide and points
// discs pointSize pixels across, their edges antialiased in the fragment
// shader from each fragment's distance to the line or the centre.
//
// Made with the canvas's context current, drawing into the whole drawing
// buffer of viewWidth by viewHeight pixels (setView when it changes);
// destroyed before the context goes, or after it is lost.
//
// All the OpenGL state the drawing gives it is kept in `state`, so that a
// context the browser took away and gave back gets all of it again.
class WebGLBatch {
public:
    enum Mode { Points, Lines };

    // WebGL 1's capabilities, in the order of WebGLState::enabled.
    enum { capabilityCount = 9 };
    static const unsigned int capabilities[capabilityCount];

    struct WebGLState {
        // As a new context has them: only dithering on.
        bool enabled[capabilityCount];
        unsigned int blendSource;
        unsigned int blendDestination;
        float clearColour[4];
        // The layer's own, read as it draws.
        float colour[4];
        float pointSize;
        float lineWidth;
        bool smoothPoints;
        bool smoothLines;
    };

    WebGLBatch(int viewWidth, int viewHeight);
    ~WebGLBatch();
    WebGLBatch(const WebGLBatch&) = delete;
    WebGLBatch& operator=(const WebGLBatch&) = delete;

    // Draws from now on into a drawing buffer of width by height pixels,
    // all of it: the viewport and the pixels that widths and sizes are
    // given in.
    void setView(int width, int height);
    // Gives WebGL what `state` holds of its own, and the viewport; called
    // whenever that part of `state` changes.
    void applyState();
    // With the context given back after its loss, whose objects went with
    // it: makes the program and the buffer again, applies the state and
    // clears, so that the picture starts again from the clear colour.
    // False where they cannot be made.
    bool restore();

    void begin(Mode newMode);
    void vertex(float x, float y);
    void end();
    // A filled rectangle in the current colour, between two corners.
    void rect(float x1, float y1, float x2, float y2);

    // Whether the program, the buffer and the vertex store were obtained.
    bool ready;
    WebGLState state;

private:
    // One vertex as the shader reads it: the position in clip coordinates,
    // the colour, and the fragment's offset in pixels from the line's middle
    // or the point's centre with the distance at which coverage ends.
    struct Corner {
        float x, y;
        float red, green, blue, alpha;
        float offsetX, offsetY, reach;
    };
    // A vertex as given, waiting for the other end of its line.
    struct Given {
        float x, y;
        float colour[4];
    };

    bool makeObjects();
    void releaseObjects();
    bool reserve(int more);
    void addCorner(double pixelX, double pixelY, const float* cornerColour, double offsetX, double offsetY,
                   double reach);
    void addPoint(const Given& point);
    void addLine(const Given& from, const Given& to);
    void draw();

    int viewWidth;
    int viewHeight;
    Mode mode;
    bool inBatch;
    Given pending;
    bool hasPending;
    Corner* corners;
    int cornerCount;
    int cornerCapacity;
    unsigned int program;
    unsigned int buffer;
};
