#pragma once

#include "render/OpenGL.h"

// The framebuffer entry points that an off-screen image needs, as the
// context resolved them: OpenGL 3.0's names or their EXT counterparts, which
// take the same arguments and the same enumerants.
struct FramebufferCalls {
    void(APIENTRY* genFramebuffers)(GLsizei count, GLuint* names);
    void(APIENTRY* bindFramebuffer)(GLenum target, GLuint name);
    void(APIENTRY* deleteFramebuffers)(GLsizei count, const GLuint* names);
    void(APIENTRY* genRenderbuffers)(GLsizei count, GLuint* names);
    void(APIENTRY* deleteRenderbuffers)(GLsizei count, const GLuint* names);
    void(APIENTRY* bindRenderbuffer)(GLenum target, GLuint name);
    void(APIENTRY* renderbufferStorage)(GLenum target, GLenum format, GLsizei width, GLsizei height);
    void(APIENTRY* framebufferRenderbuffer)(GLenum target, GLenum attachment, GLenum renderbufferTarget,
                                            GLuint renderbuffer);
    GLenum(APIENTRY* checkFramebufferStatus)(GLenum target);
    void(APIENTRY* blitFramebuffer)(GLint sourceX0, GLint sourceY0, GLint sourceX1, GLint sourceY1, GLint x0,
                                    GLint y0, GLint x1, GLint y1, GLbitfield mask, GLenum filter);
    // Null unless the framebuffer's rows can be stored top row first, as the
    // window's are, so that smooth edges rasterise alike in both.
    void(APIENTRY* framebufferParameteri)(GLenum target, GLenum name, GLint value);
};

// Enumerants past OpenGL 1.1, the same for the core and EXT entry points.
const GLenum framebufferTarget = 0x8D40;
const GLenum readFramebufferTarget = 0x8CA8;
const GLenum drawFramebufferTarget = 0x8CA9;
const GLenum readFramebufferBinding = 0x8CAA;
const GLenum drawFramebufferBinding = 0x8CA6;
const GLenum renderbufferTarget = 0x8D41;
const GLenum firstColourAttachment = 0x8CE0;
const GLenum framebufferComplete = 0x8CD5;
const GLenum framebufferFlipYMesa = 0x8BBB;
const GLenum sampleBuffers = 0x80A8;
