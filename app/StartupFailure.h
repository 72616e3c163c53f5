#pragma once

// Why the window could not be opened, gathered while the platforms are
// tried in turn, so that the user reads one line however many were tried.

// Notes one reason, formatted as by printf, without the program's name.
void noteStartupFailure(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Shows "drifton: " and the reasons noted so far, joined by "; ", as one
// line through showStartupFailure, and forgets them. Shows nothing when none
// was noted.
void reportStartupFailures();

// Where the platform shows that line: on stderr, and on Windows in a message
// box as well. Each platform defines it in files of its own.
void showStartupFailure(const char* line);

// Forgets the reasons noted so far: a later platform opened the window.
void forgetStartupFailures();
