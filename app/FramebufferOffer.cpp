#include "app/FramebufferOffer.h"

#include "app/ExtensionList.h"

#include <cstdio>
#include <cstring>

template <typename Entry>
static bool resolve(LookUpGlProcedure lookUp, const char* name, const char* suffix, Entry& entry) {
    char full[64];
    snprintf(full, sizeof full, "%s%s", name, suffix);
    entry = reinterpret_cast<Entry>(lookUp(full));
    return entry != nullptr;
}

bool offersFramebuffers(LookUpGlProcedure lookUp, FramebufferCalls& calls) {
    memset(&calls, 0, sizeof calls);
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    int major = 0;
    int minor = 0;
    if (!version || sscanf(version, "%d.%d", &major, &minor) != 2) {
        return false;
    }
    bool coreNames = major >= 3 || listsExtension(extensions, "GL_ARB_framebuffer_object");
    bool extNames = listsExtension(extensions, "GL_EXT_framebuffer_object") &&
                    listsExtension(extensions, "GL_EXT_framebuffer_blit");
    if (!coreNames && !extNames) {
        return false;
    }
    GLint windowSampleBuffers = 0;
    glGetIntegerv(sampleBuffers, &windowSampleBuffers);
    if (windowSampleBuffers != 0) {
        return false;
    }
    const char* suffix = coreNames ? "" : "EXT";
    bool resolved = resolve(lookUp, "glGenFramebuffers", suffix, calls.genFramebuffers) &&
                    resolve(lookUp, "glBindFramebuffer", suffix, calls.bindFramebuffer) &&
                    resolve(lookUp, "glDeleteFramebuffers", suffix, calls.deleteFramebuffers) &&
                    resolve(lookUp, "glGenRenderbuffers", suffix, calls.genRenderbuffers) &&
                    resolve(lookUp, "glDeleteRenderbuffers", suffix, calls.deleteRenderbuffers) &&
                    resolve(lookUp, "glBindRenderbuffer", suffix, calls.bindRenderbuffer) &&
                    resolve(lookUp, "glRenderbufferStorage", suffix, calls.renderbufferStorage) &&
                    resolve(lookUp, "glFramebufferRenderbuffer", suffix, calls.framebufferRenderbuffer) &&
                    resolve(lookUp, "glCheckFramebufferStatus", suffix, calls.checkFramebufferStatus) &&
                    resolve(lookUp, "glBlitFramebuffer", suffix, calls.blitFramebuffer);
    if (!resolved) {
        return false;
    }
    // glFramebufferParameteri comes with OpenGL 4.3 or the extension that
    // brought it; the row order is asked for only where both are listed.
    bool hasParameter = major > 4 || (major == 4 && minor >= 3) ||
                        listsExtension(extensions, "GL_ARB_framebuffer_no_attachments");
    if (hasParameter && listsExtension(extensions, "GL_MESA_framebuffer_flip_y")) {
        resolve(lookUp, "glFramebufferParameteri", "", calls.framebufferParameteri);
    }
    return true;
}
