#include "app/win32/wgl_context.h"

#include "app/StartupFailure.h"

static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "the request's nSize");

// Notes what failed with the failed call's last error, read before the
// cleanup can change it, then releases what createRenderContext obtained.
static bool fail(const char* what, HWND window, HDC deviceContext, HGLRC renderContext) {
    noteStartupFailure("cannot %s (error %lu)", what, GetLastError());
    if (renderContext != nullptr) {
        wglDeleteContext(renderContext);
    }
    if (deviceContext != nullptr) {
        ReleaseDC(window, deviceContext);
    }
    return false;
}

bool createRenderContext(HWND window, HDC& deviceContext, HGLRC& renderContext) {
    deviceContext = nullptr;
    renderContext = nullptr;
    HDC context = GetDC(window);
    if (context == nullptr) {
        return fail("get the window's device context", window, nullptr, nullptr);
    }

    // Every field not named here stays zero: no alpha, accumulation, stencil
    // or auxiliary buffer, and no particular swap behaviour.
    PIXELFORMATDESCRIPTOR request = {};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 24;
    request.cDepthBits = 16;
    request.iLayerType = PFD_MAIN_PLANE;

    int format = ChoosePixelFormat(context, &request);
    if (format == 0) {
        return fail("choose a pixel format", window, context, nullptr);
    }
    if (!SetPixelFormat(context, format, &request)) {
        return fail("set the pixel format", window, context, nullptr);
    }
    HGLRC created = wglCreateContext(context);
    if (created == nullptr) {
        return fail("create the OpenGL context", window, context, nullptr);
    }
    if (!wglMakeCurrent(context, created)) {
        return fail("make the OpenGL context current", window, context, created);
    }
    deviceContext = context;
    renderContext = created;
    return true;
}

void releaseRenderContext(HWND window, HDC deviceContext, HGLRC renderContext) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(renderContext);
    ReleaseDC(window, deviceContext);
}

SwapKeeps swapKeepsOfFormat(HDC deviceContext) {
    PIXELFORMATDESCRIPTOR described = {};
    int format = GetPixelFormat(deviceContext);
    if (format == 0 || DescribePixelFormat(deviceContext, format, sizeof described, &described) == 0) {
        return SwapKeeps::Nothing;
    }
    if ((described.dwFlags & PFD_SWAP_COPY) != 0) {
        return SwapKeeps::LastImage;
    }
    return (described.dwFlags & PFD_SWAP_EXCHANGE) != 0 ? SwapKeeps::ImageBeforeLast : SwapKeeps::Nothing;
}

GlProcedure lookUpWglProcedure(const char* name) {
    // Besides null, some drivers answer a missing name with 1, 2, 3 or -1.
    PROC found = wglGetProcAddress(name);
    INT_PTR value = reinterpret_cast<INT_PTR>(found);
    if (value == 0 || value == 1 || value == 2 || value == 3 || value == -1) {
        return nullptr;
    }
    return reinterpret_cast<GlProcedure>(found);
}
