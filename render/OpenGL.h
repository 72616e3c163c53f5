#pragma once

// The system's OpenGL 1.1 header. On Windows <GL/gl.h> uses WINGDIAPI and
// APIENTRY from <windows.h> without including it, so that comes first.
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif
#include <GL/gl.h>
