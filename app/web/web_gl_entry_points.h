#pragma once

class WebGLBatch;

// The OpenGL 1.1 entry points that the drawing and the shell call, defined
// in web_gl_entry_points.cpp over WebGL (their declarations are the system's
// OpenGL header's). They draw through `batch`, the canvas's while its
// context is current; with none they do nothing. A call the layer lacks
// fails the link.
void useWebGLBatch(WebGLBatch* batch);
