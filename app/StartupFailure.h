#pragma once

// Why the window could not be opened, gathered while the platforms are
// tried in turn, so that the user reads one line however many were tried.

// Notes one reason, formatted as by printf, without the program's name.
void noteStartupFailure(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Prints "drifton: " and the reasons noted so far, joined by "; ", as one
// line on stderr, and forgets them. Prints nothing when none was noted.
void reportStartupFailures();

// Forgets the reasons noted so far: a later platform opened the window.
void forgetStartupFailures();
