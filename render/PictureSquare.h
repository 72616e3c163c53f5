#pragma once

// Where the square picture is shown in the window: `side` pixels each way,
// its lower-left corner x, y pixels from the window's lower-left corner, as
// OpenGL counts.
struct PictureSquare {
    int x;
    int y;
    int side;
};
