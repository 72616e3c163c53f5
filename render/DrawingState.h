#pragma once

// Turns on smoothing and blending and clears the back buffer, once, right
// after the context is made current. The only clear in the program's life.
void setupDrawingState();

// Darkens the whole view by a black rectangle of alpha 0.05, so that
// everything drawn earlier fades into a trail.
void fadeFrame();
