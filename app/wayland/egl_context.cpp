#include "app/wayland/egl_context.h"

#include "app/ConfigRank.h"
#include "app/ExtensionList.h"
#include "app/StartupFailure.h"

#include <EGL/eglext.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include <cstdlib>
#include <cstring>

EglContext::EglContext()
    : display(EGL_NO_DISPLAY), config(nullptr), window(nullptr), surface(EGL_NO_SURFACE),
      context(EGL_NO_CONTEXT), shown(nullptr), pendingSide(0), pendingBufferScale(0) {}

static EGLint configAttribute(EGLDisplay display, EGLConfig config, EGLint attribute) {
    EGLint value = 0;
    eglGetConfigAttrib(display, config, attribute, &value);
    return value;
}

// The list comes deeper colour first (10 bits a colour among them) and with
// alpha: each is looked at, and only exactly 8 bits of red, green and blue
// without alpha will do, so that the trails fade in 8-bit steps and the
// cleared black is never see-through. Of those, a swap that can be told to
// preserve the back buffer, exactly 16 depth bits, no multisampling; sets
// `preservable` to whether the chosen one's swap can preserve it.
static bool chooseConfig(EglContext& egl, bool& preservable) {
    // clang-format off
    const EGLint wanted[] = {
        EGL_SURFACE_TYPE, EGL_WINDOW_BIT,
        EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_COLOR_BUFFER_TYPE, EGL_RGB_BUFFER,
        EGL_RED_SIZE, 8,
        EGL_GREEN_SIZE, 8,
        EGL_BLUE_SIZE, 8,
        EGL_DEPTH_SIZE, 16,
        EGL_NONE
    };
    // clang-format on
    EGLint count = 0;
    if (!eglChooseConfig(egl.display, wanted, nullptr, 0, &count) || count <= 0) {
        return false;
    }
    EGLConfig* configs = static_cast<EGLConfig*>(malloc(sizeof(EGLConfig) * static_cast<size_t>(count)));
    if (!configs || !eglChooseConfig(egl.display, wanted, configs, count, &count)) {
        free(configs);
        return false;
    }
    bool chosen = false;
    ConfigRank chosenRank;
    for (EGLint i = 0; i < count; ++i) {
        bool opaqueEightBits = configAttribute(egl.display, configs[i], EGL_RED_SIZE) == 8 &&
                               configAttribute(egl.display, configs[i], EGL_GREEN_SIZE) == 8 &&
                               configAttribute(egl.display, configs[i], EGL_BLUE_SIZE) == 8 &&
                               configAttribute(egl.display, configs[i], EGL_ALPHA_SIZE) == 0;
        if (!opaqueEightBits) {
            continue;
        }
        EGLint surfaceTypes = configAttribute(egl.display, configs[i], EGL_SURFACE_TYPE);
        bool canPreserve = (surfaceTypes & EGL_SWAP_BEHAVIOR_PRESERVED_BIT) != 0;
        ConfigRank rank;
        rank.prefer(canPreserve);
        rank.prefer(configAttribute(egl.display, configs[i], EGL_DEPTH_SIZE) == 16);
        rank.prefer(configAttribute(egl.display, configs[i], EGL_SAMPLE_BUFFERS) == 0);
        if (!chosen || rank.before(chosenRank)) {
            chosen = true;
            chosenRank = rank;
            egl.config = configs[i];
            preservable = canPreserve;
        }
    }
    free(configs);
    return chosen;
}

// A preserved swap is asked for where the configuration offers it, and
// trusted only once the surface has taken it.
static SwapKeeps askForPreservedSwap(EglContext& egl, bool preservable) {
    if (preservable && eglSurfaceAttrib(egl.display, egl.surface, EGL_SWAP_BEHAVIOR, EGL_BUFFER_PRESERVED)) {
        return SwapKeeps::LastImage;
    }
    return SwapKeeps::Nothing;
}

static GlProcedure lookUpEglProcedure(const char* name) { return eglGetProcAddress(name); }

// Notes the reason for a failed step with EGL's error code, and releases
// what the creation had obtained.
static bool failCreation(EglContext& egl, const char* what, const char* compositor) {
    EGLint error = eglGetError();
    noteStartupFailure("cannot %s on the Wayland compositor %s (EGL error 0x%04x)", what, compositor,
                       static_cast<unsigned int>(error));
    destroyEglContext(egl);
    return false;
}

bool createEglContext(wl_display* display, wl_surface* surface, int width, int height, const char* compositor,
                      EglContext& egl) {
    egl.display = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, display, nullptr);
    if (egl.display == EGL_NO_DISPLAY || !eglInitialize(egl.display, nullptr, nullptr)) {
        egl.display = EGL_NO_DISPLAY;
        return failCreation(egl, "initialise EGL", compositor);
    }
    // Desktop OpenGL, not OpenGL ES: the drawing is fixed-function.
    if (!eglBindAPI(EGL_OPENGL_API)) {
        return failCreation(egl, "use desktop OpenGL through EGL", compositor);
    }
    bool preservable = false;
    if (!chooseConfig(egl, preservable)) {
        return failCreation(egl, "find an opaque EGL configuration with 8 bits a colour and 16 depth bits",
                            compositor);
    }
    egl.shown = surface;
    egl.pendingBufferScale = 0;
    egl.window = wl_egl_window_create(surface, width, height);
    if (!egl.window) {
        return failCreation(egl, "create the EGL window", compositor);
    }
    egl.surface = eglCreatePlatformWindowSurface(egl.display, egl.config, egl.window, nullptr);
    if (egl.surface == EGL_NO_SURFACE) {
        return failCreation(egl, "create the EGL window surface", compositor);
    }
    // No version asked for: the compatibility context that keeps the
    // fixed-function drawing.
    egl.context = eglCreateContext(egl.display, egl.config, EGL_NO_CONTEXT, nullptr);
    if (egl.context == EGL_NO_CONTEXT) {
        return failCreation(egl, "create the OpenGL context", compositor);
    }
    if (!eglMakeCurrent(egl.display, egl.surface, egl.surface, egl.context)) {
        return failCreation(egl, "make the OpenGL context current", compositor);
    }
    // A swap that waited for the compositor's frame callback would stop the
    // loop while the window is hidden, and Escape and the close request with
    // it; the window paces the frames itself, with a bounded wait.
    eglSwapInterval(egl.display, 0);
    bool bufferAge = listsExtension(eglQueryString(egl.display, EGL_EXTENSIONS), "EGL_EXT_buffer_age");
    egl.trails.settle(askForPreservedSwap(egl, preservable), bufferAge, lookUpEglProcedure, width, height);
    return true;
}

void resizeEglWindow(EglContext& egl, int side, int32_t bufferScale) {
    wl_egl_window_resize(egl.window, side, side, 0, 0);
    egl.trails.resize(side, side);
    egl.pendingSide = side;
    egl.pendingBufferScale = bufferScale;
}

// The surface's width is its back buffer's, once the frame has reached it.
static void swapEglBuffers(EglContext& egl) {
    EGLint width = 0;
    if (egl.pendingBufferScale != 0 && eglQuerySurface(egl.display, egl.surface, EGL_WIDTH, &width) &&
        width == egl.pendingSide) {
        wl_surface_set_buffer_scale(egl.shown, egl.pendingBufferScale);
        egl.pendingBufferScale = 0;
    }
    eglSwapBuffers(egl.display, egl.surface);
}

static unsigned int eglBufferAge(EglContext& egl) {
    EGLint age = 0;
    eglQuerySurface(egl.display, egl.surface, EGL_BUFFER_AGE_EXT, &age);
    return age > 0 ? static_cast<unsigned int>(age) : 0;
}

void presentEglFrame(EglContext& egl) { egl.trails.present(egl, swapEglBuffers, eglBufferAge); }

void destroyEglContext(EglContext& egl) {
    if (egl.display != EGL_NO_DISPLAY) {
        eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (egl.context != EGL_NO_CONTEXT) {
            eglDestroyContext(egl.display, egl.context);
        }
        if (egl.surface != EGL_NO_SURFACE) {
            eglDestroySurface(egl.display, egl.surface);
        }
    }
    egl.context = EGL_NO_CONTEXT;
    egl.surface = EGL_NO_SURFACE;
    if (egl.window) {
        wl_egl_window_destroy(egl.window);
        egl.window = nullptr;
    }
    if (egl.display != EGL_NO_DISPLAY) {
        eglTerminate(egl.display);
        eglReleaseThread();
        egl.display = EGL_NO_DISPLAY;
    }
    egl.trails.release();
}
