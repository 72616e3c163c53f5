#include "support/Check.h"

#include <cstdio>

static int passedChecks = 0;
static int failedChecks = 0;

bool check(bool passed, const char* text, const char* file, int line) {
    if (passed) {
        ++passedChecks;
    } else {
        ++failedChecks;
        printf("%s:%d: check failed: %s\n", file, line, text);
        fflush(stdout);
    }
    return passed;
}

int checkSummary(const char* program) {
    printf("%s: %d checks passed, %d failed\n", program, passedChecks, failedChecks);
    fflush(stdout);
    return failedChecks == 0 && passedChecks > 0 ? 0 : 1;
}
