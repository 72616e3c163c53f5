#pragma once

// What every platform's window shares: its name, which is its title, its
// class and its app id, and its side in pixels. On Linux the side is the
// drawing area's, square so that the creatures are undistorted, with the
// window manager's frame around it; on Windows it is the outer size.
constexpr char windowName[] = "drifton";
constexpr int windowSide = 600;

// The picture's scale where it is drawn `side` pixels square: the point size
// and line widths, given for 600 pixels, are multiplied by it. Nothing else
// of the drawing depends on the side, and the simulation never sees it.
inline double pictureScale(int side) { return static_cast<double>(side) / windowSide; }

// The side at which a desktop's scale factor (2 where it doubles every size)
// shows the picture, to the nearest pixel.
inline int sideAtScale(double scale) { return static_cast<int>(windowSide * scale + 0.5); }
