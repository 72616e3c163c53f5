#include "app/Shell.h"
#include "app/win32/win32_platform.h"

// The program takes no options and is shown by being created visible, so
// only the instance is used.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Windows has one platform.
    static const Platform* const platforms[] = {&win32Platform, nullptr};
    PlatformWindow window(instance);
    return runShell(platforms, window);
}
