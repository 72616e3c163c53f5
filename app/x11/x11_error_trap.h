#pragma once

#include <X11/Xlib.h>

// From trapXErrors to releaseXErrors, X protocol errors are collected instead
// of ending the program, so that start-up can report what failed in a line of
// its own. releaseXErrors waits until the server has answered every request
// sent so far and returns the first error code, 0 when there was none.
void trapXErrors(Display* display);
int releaseXErrors(Display* display);
