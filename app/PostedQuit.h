#pragma once

// The quit request as a platform's window procedure posts it. The next
// takeEvent hands it to the loop before any further event, so that no flood
// of events can hold the end back.
struct PostedQuit {
    PostedQuit() : posted(false), exitCode(0) {}

    void post(int code) {
        posted = true;
        exitCode = code;
    }

    // Hands a posted request to the loop; false when none is posted.
    bool take(bool& quit, int& code) {
        if (!posted) {
            return false;
        }
        posted = false;
        quit = true;
        code = exitCode;
        return true;
    }

    bool posted;
    int exitCode;
};
