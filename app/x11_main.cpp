#include "app/Shell.h"
#include "app/x11_window.h"

// The command line is ignored: the program has no options.
int main() {
    PlatformWindow window;
    return runShell(window);
}
