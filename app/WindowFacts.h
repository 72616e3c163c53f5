#pragma once

// What every platform's window shares: its name, which is its title, its
// class and its app id, and its side in pixels. On Linux the side is the
// drawing area's, square so that the creatures are undistorted, with the
// window manager's frame around it; on Windows it is the outer size.
constexpr char windowName[] = "drifton";
constexpr int windowSide = 600;
