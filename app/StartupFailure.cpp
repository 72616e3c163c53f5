#include "app/StartupFailure.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

// Room for a few reasons of a line each; a longer text is cut, not lost
// altogether.
static char reasons[1024];
static size_t reasonsLength = 0;

void noteStartupFailure(const char* format, ...) {
    if (reasonsLength > 0 && reasonsLength + 2 < sizeof reasons) {
        memcpy(reasons + reasonsLength, "; ", 3);
        reasonsLength += 2;
    }
    if (reasonsLength + 1 >= sizeof reasons) {
        return;
    }
    va_list arguments;
    va_start(arguments, format);
    int written = vsnprintf(reasons + reasonsLength, sizeof reasons - reasonsLength, format, arguments);
    va_end(arguments);
    if (written > 0) {
        reasonsLength += static_cast<size_t>(written);
        if (reasonsLength >= sizeof reasons) {
            reasonsLength = sizeof reasons - 1;
        }
    }
}

void reportStartupFailures() {
    if (reasonsLength > 0) {
        fprintf(stderr, "drifton: %s\n", reasons);
        fflush(stderr);
    }
    forgetStartupFailures();
}

void forgetStartupFailures() {
    reasons[0] = '\0';
    reasonsLength = 0;
}
