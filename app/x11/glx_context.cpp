#include "app/x11/glx_context.h"

#include "app/ConfigRank.h"
#include "app/ExtensionList.h"
#include "app/StartupFailure.h"
#include "app/WindowFacts.h"
#include "app/x11/x11_error_trap.h"

#include <cstdio>
#include <cstring>

GlxContext::GlxContext()
    : display(nullptr), config(nullptr), swap(SwapKeeps::Nothing), surface(0), context(nullptr) {}

static int configAttribute(Display* display, GLXFBConfig config, int attribute) {
    int value = 0;
    glXGetFBConfigAttrib(display, config, attribute, &value);
    return value;
}

SwapKeeps glxSwapKeeps(Display* display, GLXFBConfig config) {
    if (!listsExtension(glXQueryExtensionsString(display, DefaultScreen(display)), "GLX_OML_swap_method")) {
        return SwapKeeps::Nothing;
    }
    int method = configAttribute(display, config, GLX_SWAP_METHOD_OML);
    return method == GLX_SWAP_COPY_OML       ? SwapKeeps::LastImage
           : method == GLX_SWAP_EXCHANGE_OML ? SwapKeeps::ImageBeforeLast
                                             : SwapKeeps::Nothing;
}

// In this order: a window visual without an alpha channel (a compositor
// would show the cleared black as transparent), a swap that copies, then one
// that exchanges, exactly 8 bits a colour, exactly 16 depth bits, no
// multisampling.
static ConfigRank rankConfig(Display* display, GLXFBConfig config, int visualDepth, SwapKeeps swap) {
    ConfigRank rank;
    rank.prefer(visualDepth == 24);
    rank.add(static_cast<int>(swap));
    rank.prefer(configAttribute(display, config, GLX_RED_SIZE) == 8 &&
                configAttribute(display, config, GLX_GREEN_SIZE) == 8 &&
                configAttribute(display, config, GLX_BLUE_SIZE) == 8);
    rank.prefer(configAttribute(display, config, GLX_DEPTH_SIZE) == 16);
    rank.prefer(configAttribute(display, config, GLX_SAMPLE_BUFFERS) == 0);
    return rank;
}

XVisualInfo* chooseGlxVisual(Display* display, int screen, VisualID visualId, Window window,
                             GlxContext& glx) {
    // Asking the server directly first: the GLX library itself would print
    // a warning of its own when the extension is missing.
    int opcode = 0;
    int eventBase = 0;
    int errorBase = 0;
    if (!XQueryExtension(display, "GLX", &opcode, &eventBase, &errorBase)) {
        noteStartupFailure("the X server on %s has no GLX extension", DisplayString(display));
        return nullptr;
    }
    int major = 0;
    int minor = 0;
    if (!glXQueryVersion(display, &major, &minor) || major < 1 || (major == 1 && minor < 3)) {
        noteStartupFailure("GLX 1.3 is needed, the X server on %s offers %d.%d", DisplayString(display),
                           major, minor);
        return nullptr;
    }
    glx.display = display;

    // Our own window asks for 8 bits a colour and 16 depth bits, as it always
    // has. A window given with its visual takes any of that visual's
    // configurations, with a depth buffer or without (the drawing never
    // tests depth), ranked below as ours are.
    const int colourBits = visualId != 0 ? 0 : 8;
    const int depthBits = visualId != 0 ? 0 : 16;
    // clang-format off
    const int wanted[] = {
        GLX_X_RENDERABLE, True,
        GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT,
        GLX_RENDER_TYPE, GLX_RGBA_BIT,
        GLX_X_VISUAL_TYPE, GLX_TRUE_COLOR,
        GLX_DOUBLEBUFFER, True,
        GLX_RED_SIZE, colourBits,
        GLX_GREEN_SIZE, colourBits,
        GLX_BLUE_SIZE, colourBits,
        GLX_DEPTH_SIZE, depthBits,
        None
    };
    // clang-format on
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, screen, wanted, &count);
    XVisualInfo* chosenVisual = nullptr;
    ConfigRank chosenRank;
    for (int i = 0; i < count; ++i) {
        XVisualInfo* visual = glXGetVisualFromFBConfig(display, configs[i]);
        if (!visual) {
            continue;
        }
        if (visualId != 0 && visual->visualid != visualId) {
            XFree(visual);
            continue;
        }
        SwapKeeps swap = glxSwapKeeps(display, configs[i]);
        ConfigRank rank = rankConfig(display, configs[i], visual->depth, swap);
        if (!chosenVisual || rank.before(chosenRank)) {
            if (chosenVisual) {
                XFree(chosenVisual);
            }
            chosenVisual = visual;
            chosenRank = rank;
            glx.config = configs[i];
            glx.swap = swap;
        } else {
            XFree(visual);
        }
    }
    if (configs) {
        XFree(configs);
    }
    if (!chosenVisual && visualId != 0) {
        noteStartupFailure(
            "the X server on %s has no double-buffered RGBA configuration for the visual 0x%lx "
            "of window 0x%lx",
            DisplayString(display), visualId, window);
        return nullptr;
    }
    if (!chosenVisual) {
        noteStartupFailure(
            "the X server on %s has no double-buffered RGBA visual with 8 bits a colour and 16 depth bits",
            DisplayString(display));
        return nullptr;
    }
    return chosenVisual;
}

// What a failed creation left may itself be refused by the server; that
// must not end the program before its one line has been printed.
static void releaseAfterFailure(GlxContext& glx) {
    trapXErrors(glx.display);
    destroyGlxContext(glx);
    releaseXErrors(glx.display);
}

// Notes the reason for a failed step, with the server's reason when it
// gave one, and releases what the creation had obtained.
static bool failCreation(GlxContext& glx, const char* what, int error) {
    char reason[256];
    if (error != 0) {
        XGetErrorText(glx.display, error, reason, sizeof reason);
    } else {
        snprintf(reason, sizeof reason, "refused");
    }
    noteStartupFailure("cannot %s (%s)", what, reason);
    releaseAfterFailure(glx);
    return false;
}

static GlProcedure lookUpGlxProcedure(const char* name) {
    return glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name));
}

static void swapGlxBuffers(GlxContext& glx) { glXSwapBuffers(glx.display, glx.surface); }

static unsigned int glxBufferAge(GlxContext& glx) {
    unsigned int age = 0;
    glXQueryDrawable(glx.display, glx.surface, GLX_BACK_BUFFER_AGE_EXT, &age);
    return age;
}

bool createGlxContext(Window window, int width, int height, bool centred, GlxContext& glx) {
    Display* display = glx.display;
    trapXErrors(display);
    glx.surface = glXCreateWindow(display, glx.config, window, nullptr);
    glx.context = glXCreateNewContext(display, glx.config, GLX_RGBA_TYPE, nullptr, True);
    int error = releaseXErrors(display);
    if (error != 0 || !glx.context || !glx.surface) {
        return failCreation(glx, "create the OpenGL context", error);
    }
    trapXErrors(display);
    Bool current = glXMakeContextCurrent(display, glx.surface, glx.surface, glx.context);
    error = releaseXErrors(display);
    if (!current || error != 0) {
        return failCreation(glx, "make the OpenGL context current", error);
    }
    bool bufferAge =
        listsExtension(glXQueryExtensionsString(display, DefaultScreen(display)), "GLX_EXT_buffer_age");
    if (centred) {
        glx.trails.settleCentred(glx.swap, bufferAge, lookUpGlxProcedure, width, height);
    } else {
        glx.trails.settle(glx.swap, bufferAge, lookUpGlxProcedure, width, height);
    }
    return true;
}

void presentGlxFrame(GlxContext& glx) { glx.trails.present(glx, swapGlxBuffers, glxBufferAge); }

void destroyGlxContext(GlxContext& glx) {
    if (glx.context) {
        glXMakeContextCurrent(glx.display, None, None, nullptr);
        glXDestroyContext(glx.display, glx.context);
        glx.context = nullptr;
    }
    if (glx.surface) {
        glXDestroyWindow(glx.display, glx.surface);
        glx.surface = 0;
    }
    glx.trails.release();
}
