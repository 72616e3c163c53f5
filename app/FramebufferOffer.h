#pragma once

#include "render/FramebufferCalls.h"

// An entry point by name, as the platform's loader gives it; null when the
// loader says plainly that it has none. Loaders may give a pointer for any
// name at all, so a pointer alone never shows that a function is there.
using GlProcedure = void (*)();
using LookUpGlProcedure = GlProcedure (*)(const char* name);

// Whether the current context can carry the trails off the screen: it lists
// framebuffer objects with blitting (OpenGL 3.0, the ARB extension that has
// the same entry points, or the EXT object and blit pair) and the window is
// not multisampled, since a blit into a multisampled buffer is refused.
// Fills `calls` from the names the listing settles; the row-order call only
// where the context lists it.
bool offersFramebuffers(LookUpGlProcedure lookUp, FramebufferCalls& calls);
