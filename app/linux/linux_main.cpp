#include "app/Shell.h"
#include "app/linux/linux_platform.h"

// The command line is ignored: the program has no options.
int main() {
    PlatformWindow window;
    return runShell(linuxPlatforms(), window);
}
