#include "app/StartupFailure.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

// Room for a few reasons of a line each; a longer text is cut, not lost
// altogether.
static char reasons[1024];
static size_t reasonsLength = 0;

static void appendReason(const char* reason) {
    if (reasonsLength > 0) {
        snprintf(reasons + reasonsLength, sizeof reasons - reasonsLength, "; ");
        reasonsLength = strlen(reasons);
    }
    snprintf(reasons + reasonsLength, sizeof reasons - reasonsLength, "%s", reason);
    reasonsLength = strlen(reasons);
}

// Variadic like printf, so that the compiler checks each format against its
// arguments.
void noteStartupFailure(const char* format, ...) {  // NOLINT(cert-dcl50-cpp)
    char reason[512];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(reason, sizeof reason, format, arguments);
    va_end(arguments);
    appendReason(reason);
}

void reportStartupFailures() {
    if (reasonsLength > 0) {
        char line[sizeof reasons + 16];
        snprintf(line, sizeof line, "drifton: %s", reasons);
        showStartupFailure(line);
    }
    forgetStartupFailures();
}

void forgetStartupFailures() {
    reasons[0] = '\0';
    reasonsLength = 0;
}
