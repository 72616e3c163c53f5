#include "app/Shell.h"
#include "app/win32_platform.h"

// The program takes no options and is shown by being created visible, so
// only the instance is used.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    PlatformWindow window(instance);
    return runShell(window);
}
