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
class WebGLBatch {
public:
    enum Mode { Points, Lines };

    WebGLBatch(int viewWidth, int viewHeight);
    ~WebGLBatch();
    WebGLBatch(const WebGLBatch&) = delete;
    WebGLBatch& operator=(const WebGLBatch&) = delete;

    // Draws from now on into a drawing buffer of width by height pixels,
    // all of it: the viewport and the pixels that widths and sizes are
    // given in.
    void setView(int width, int height);

    void begin(Mode newMode);
    void vertex(float x, float y);
    void end();
    // A filled rectangle in the current colour, between two corners.
    void rect(float x1, float y1, float x2, float y2);

    // Whether the program, the buffer and the vertex store were obtained.
    bool ready;
    float colour[4];
    float pointSize;
    float lineWidth;
    bool smoothPoints;
    bool smoothLines;

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
