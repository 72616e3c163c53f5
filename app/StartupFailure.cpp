#include "app/StartupFailure.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

// Room for a few reasons of a line each; a longer text is cut, not lost
// altogether.
static char reasons[1024];

// Variadic like printf, so that the compiler checks each format against its
// arguments.
void noteStartupFailure(const char* format, ...) {  // NOLINT(cert-dcl50-cpp)
    size_t used = strlen(reasons);
    if (used > 0) {
        snprintf(reasons + used, sizeof reasons - used, "; ");
        used = strlen(reasons);
    }
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(reasons + used, sizeof reasons - used, format, arguments);
    va_end(arguments);
}

void reportStartupFailures() {
    if (reasons[0] != '\0') {
        char line[sizeof reasons + 16];
        snprintf(line, sizeof line, "drifton: %s", reasons);
        showStartupFailure(line);
    }
    forgetStartupFailures();
}

void forgetStartupFailures() { reasons[0] = '\0'; }
