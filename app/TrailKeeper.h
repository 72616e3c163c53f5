#pragma once

class PresentedImage;

// How the image that the next frame fades from survives the buffer swap.
enum class TrailPath {
    // The swap copies the back buffer, exchanges it and leaves the frame
    // before last, or is set to preserve it: the next frame is drawn on the
    // back buffer as it is.
    KeptBySwap,
    // The driver tells the back buffer's age after every swap; the image is
    // put back only when the buffer holds something older than the frame
    // before last.
    ByBufferAge,
    // Nothing tells what the back buffer holds after a swap: the image is
    // kept before every swap and put back after it.
    Restored
};

// Carries the trails over the swaps of one drawing surface, on the path its
// context settled: the platform calls beforeSwap, swaps, and hands the
// buffer's age (where it is read at all) to afterSwap.
class TrailKeeper {
public:
    TrailKeeper();
    ~TrailKeeper();
    TrailKeeper(const TrailKeeper&) = delete;
    TrailKeeper& operator=(const TrailKeeper&) = delete;

    // Takes the given path for a width by height view, obtaining the image
    // keeper when the path needs it.
    void use(TrailPath newPath, int width, int height);

    // Whether afterSwap wants the back buffer's age.
    bool wantsAge() const { return path == TrailPath::ByBufferAge; }

    void beforeSwap();

    // `age` as the driver tells it: 0 unknown, 1 the frame just presented,
    // 2 the one before it, and so on. Read only where wantsAge().
    void afterSwap(unsigned int age);

    // Lets go of the image keeper; the path stays.
    void release();

    TrailPath path;
    // On the buffer-age path: whether to keep the image before the next
    // swap, because the last swap left an older buffer behind (or none was
    // seen yet).
    bool keepNextImage;
    // Obtained for the paths that may need to put the image back.
    PresentedImage* presented;
};
