#include "app/glx_context.h"

#include "app/ExtensionList.h"
#include "app/StartupFailure.h"
#include "app/x11_window.h"

#include <cstdio>
#include <cstring>

GlxContext::GlxContext()
    : config(nullptr), surface(0), context(nullptr), swapMethod(GLX_SWAP_UNDEFINED_OML), hasBufferAge(false) {}

static int configAttribute(Display* display, GLXFBConfig config, int attribute) {
    int value = 0;
    glXGetFBConfigAttrib(display, config, attribute, &value);
    return value;
}

// Lower is better, compared field by field: a window visual without an alpha
// channel (a compositor would show the cleared black as transparent), a swap
// that copies, then one that exchanges, exactly 8 bits a colour, exactly 16
// depth bits, no multisampling.
struct ConfigRank {
    int values[5];
};

static ConfigRank rankConfig(Display* display, GLXFBConfig config, int visualDepth, bool knowsSwapMethod) {
    ConfigRank rank;
    rank.values[0] = visualDepth == 24 ? 0 : 1;
    int swapRank = 2;
    if (knowsSwapMethod) {
        int method = configAttribute(display, config, GLX_SWAP_METHOD_OML);
        swapRank = method == GLX_SWAP_COPY_OML ? 0 : method == GLX_SWAP_EXCHANGE_OML ? 1 : 2;
    }
    rank.values[1] = swapRank;
    bool exactColour = configAttribute(display, config, GLX_RED_SIZE) == 8 &&
                       configAttribute(display, config, GLX_GREEN_SIZE) == 8 &&
                       configAttribute(display, config, GLX_BLUE_SIZE) == 8;
    rank.values[2] = exactColour ? 0 : 1;
    rank.values[3] = configAttribute(display, config, GLX_DEPTH_SIZE) == 16 ? 0 : 1;
    rank.values[4] = configAttribute(display, config, GLX_SAMPLE_BUFFERS) == 0 ? 0 : 1;
    return rank;
}

static bool ranksBefore(const ConfigRank& a, const ConfigRank& b) {
    for (int i = 0; i < 5; ++i) {
        if (a.values[i] != b.values[i]) {
            return a.values[i] < b.values[i];
        }
    }
    return false;
}

XVisualInfo* chooseGlxVisual(Display* display, int screen, GlxContext& glx) {
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
    const char* extensions = glXQueryExtensionsString(display, screen);
    bool knowsSwapMethod = listsExtension(extensions, "GLX_OML_swap_method");
    glx.hasBufferAge = listsExtension(extensions, "GLX_EXT_buffer_age");

    // clang-format off
    const int wanted[] = {
        GLX_X_RENDERABLE, True,
        GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT,
        GLX_RENDER_TYPE, GLX_RGBA_BIT,
        GLX_X_VISUAL_TYPE, GLX_TRUE_COLOR,
        GLX_DOUBLEBUFFER, True,
        GLX_RED_SIZE, 8,
        GLX_GREEN_SIZE, 8,
        GLX_BLUE_SIZE, 8,
        GLX_DEPTH_SIZE, 16,
        None
    };
    // clang-format on
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, screen, wanted, &count);
    XVisualInfo* chosenVisual = nullptr;
    ConfigRank chosenRank = {};
    for (int i = 0; i < count; ++i) {
        XVisualInfo* visual = glXGetVisualFromFBConfig(display, configs[i]);
        if (!visual) {
            continue;
        }
        ConfigRank rank = rankConfig(display, configs[i], visual->depth, knowsSwapMethod);
        if (!chosenVisual || ranksBefore(rank, chosenRank)) {
            if (chosenVisual) {
                XFree(chosenVisual);
            }
            chosenVisual = visual;
            chosenRank = rank;
            glx.config = configs[i];
        } else {
            XFree(visual);
        }
    }
    if (configs) {
        XFree(configs);
    }
    if (!chosenVisual) {
        noteStartupFailure(
            "the X server on %s has no double-buffered RGBA visual with 8 bits a colour and 16 depth bits",
            DisplayString(display));
        return nullptr;
    }
    glx.swapMethod = chosenRank.values[1] == 0   ? GLX_SWAP_COPY_OML
                     : chosenRank.values[1] == 1 ? GLX_SWAP_EXCHANGE_OML
                                                 : GLX_SWAP_UNDEFINED_OML;
    return chosenVisual;
}

// What a failed creation left may itself be refused by the server; that
// must not end the program before its one line has been printed.
static void releaseAfterFailure(Display* display, GlxContext& glx) {
    trapXErrors(display);
    destroyGlxContext(display, glx);
    releaseXErrors(display);
}

// Notes the reason for a failed step, with the server's reason when it
// gave one, and releases what the creation had obtained.
static bool failCreation(Display* display, GlxContext& glx, const char* what, int error) {
    char reason[256];
    if (error != 0) {
        XGetErrorText(display, error, reason, sizeof reason);
    } else {
        snprintf(reason, sizeof reason, "refused");
    }
    noteStartupFailure("cannot %s (%s)", what, reason);
    releaseAfterFailure(display, glx);
    return false;
}

static GlProcedure lookUpGlxProcedure(const char* name) {
    return glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name));
}

bool createGlxContext(Display* display, Window window, int width, int height, GlxContext& glx) {
    trapXErrors(display);
    glx.surface = glXCreateWindow(display, glx.config, window, nullptr);
    glx.context = glXCreateNewContext(display, glx.config, GLX_RGBA_TYPE, nullptr, True);
    int error = releaseXErrors(display);
    if (error != 0 || !glx.context || !glx.surface) {
        return failCreation(display, glx, "create the OpenGL context", error);
    }
    trapXErrors(display);
    Bool current = glXMakeContextCurrent(display, glx.surface, glx.surface, glx.context);
    error = releaseXErrors(display);
    if (!current || error != 0) {
        return failCreation(display, glx, "make the OpenGL context current", error);
    }
    SwapKeeps swap = glx.swapMethod == GLX_SWAP_COPY_OML       ? SwapKeeps::LastImage
                     : glx.swapMethod == GLX_SWAP_EXCHANGE_OML ? SwapKeeps::ImageBeforeLast
                                                               : SwapKeeps::Nothing;
    glx.trails.settle(swap, glx.hasBufferAge, lookUpGlxProcedure, width, height);
    return true;
}

void presentGlxFrame(Display* display, GlxContext& glx) {
    glx.trails.beforeSwap();
    glXSwapBuffers(display, glx.surface);
    unsigned int age = 0;
    if (glx.trails.wantsAge()) {
        glXQueryDrawable(display, glx.surface, GLX_BACK_BUFFER_AGE_EXT, &age);
    }
    glx.trails.afterSwap(age);
}

void destroyGlxContext(Display* display, GlxContext& glx) {
    if (glx.context) {
        glXMakeContextCurrent(display, None, None, nullptr);
        glXDestroyContext(display, glx.context);
        glx.context = nullptr;
    }
    if (glx.surface) {
        glXDestroyWindow(display, glx.surface);
        glx.surface = 0;
    }
    glx.trails.release();
}
