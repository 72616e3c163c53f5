#pragma once

struct Platform;
struct PlatformWindow;

// The program, on any platform: opens the window with the first of
// `platforms` that can (a list ending in a null entry), sets the drawing
// state, builds the swarm and runs the frame loop until the quit request,
// then closes the window before the swarm is destroyed. Returns the exit
// code: the quit request's, or 1 when no platform can open the window.
int runShell(const Platform* const platforms[], PlatformWindow& window);
