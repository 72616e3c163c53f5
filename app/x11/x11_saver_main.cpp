#include "app/Shell.h"
#include "app/StartupFailure.h"
#include "app/linux/linux_platform.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

// The screen saver's display mode: the window's picture, drawn on the window
// that the host names in XSCREENSAVER_WINDOW, or with --root on the root
// window, or with --window-id ID on that window; on a window of its own
// otherwise, as when it is tried by hand.

// A window id as X tools print it, in hex with 0x or in decimal; 0 when
// the text is not one.
static Window parseWindowId(const char* text) {
    char* end = nullptr;
    errno = 0;
    unsigned long id = strtoul(text, &end, 0);
    return (end != text && *end == '\0' && errno == 0) ? id : 0;
}

static bool isOption(const char* argument, const char* name) {
    // Both spellings: --root as the host's programs list writes it, -root
    // as older lists do.
    return strcmp(argument, name) == 0 || strcmp(argument, name + 1) == 0;
}

// Where to draw: the window named by --window-id, else the host's, else
// with --root the root window. Notes why and returns false for arguments
// that name none.
static bool chooseTarget(int argc, char** argv, X11Window& window) {
    const char* named = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (isOption(argv[i], "--root")) {
            window.targetRoot = true;
        } else if (isOption(argv[i], "--window-id") && i + 1 < argc) {
            named = argv[++i];
        } else {
            noteStartupFailure("unknown argument %s (the display mode takes --root or --window-id ID)",
                               argv[i]);
            return false;
        }
    }
    const char* source = "--window-id";
    if (!named) {
        // Set but empty counts as unset.
        named = getenv("XSCREENSAVER_WINDOW");
        source = "XSCREENSAVER_WINDOW";
        if (named && named[0] == '\0') {
            named = nullptr;
        }
    }
    if (!named) {
        return true;
    }
    window.target = parseWindowId(named);
    window.targetRoot = false;
    if (!window.target) {
        noteStartupFailure("%s names no window: %s", source, named);
        return false;
    }
    return true;
}

int main(int argc, char** argv) {
    // First, so that a stop that comes while the window opens still ends
    // the program cleanly.
    quitOnTerminateSignal();
    PlatformWindow window;
    if (!chooseTarget(argc, argv, window.x11)) {
        reportStartupFailures();
        return 1;
    }
    return runShell(x11Platforms(), window);
}
