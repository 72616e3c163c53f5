#pragma once

struct PlatformWindow;

// The program, on any platform: opens the window, sets the drawing state,
// builds the swarm and runs the frame loop until the quit request, then
// closes the window before the swarm is destroyed. Returns the exit code:
// the quit request's, or 1 when the window or its context cannot be had.
int runShell(PlatformWindow& window);
