#include "app/Shell.h"
#include "app/web/web_platform.h"

// The page's program: the shell's loop on the canvas, until Escape or the
// tab's closing.
int main() {
    PlatformWindow window;
    return runShell(webPlatforms(), window);
}
