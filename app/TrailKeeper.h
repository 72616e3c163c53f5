#pragma once

#include "app/FramebufferOffer.h"
#include "render/FramebufferCalls.h"
#include "render/PictureSquare.h"

class OffScreenImage;
class PresentedImage;

// How the image that the next frame fades from survives the buffer swap.
enum class TrailPath {
    // The swap copies the back buffer, exchanges it and leaves the frame
    // before last, or is set to preserve it: the next frame is drawn on the
    // back buffer as it is.
    KeptBySwap,
    // Every frame is drawn into an off-screen colour buffer that is copied
    // whole into the back buffer before each swap; what the swap leaves
    // behind is never looked at.
    OffScreen,
    // The driver tells the back buffer's age after every swap; the image is
    // put back only when the buffer holds something older than the frame
    // before last.
    ByBufferAge,
    // Nothing tells what the back buffer holds after a swap: the image is
    // kept before every swap and put back after it.
    Restored
};

// What the window's swap promises to leave in the back buffer.
enum class SwapKeeps {
    // A copying swap, or a preserved swap that the surface took.
    LastImage,
    // An exchanging swap: the frame before last.
    ImageBeforeLast,
    Nothing
};

// The path for a window whose swap keeps `swap`, whose context offers
// framebuffer objects or not and whose driver tells the buffer age or not.
TrailPath chooseTrailPath(SwapKeeps swap, bool framebuffers, bool bufferAge);

// A part of the window given to one picture, a monitor's for example: its
// lower-left corner x, y pixels from the window's lower-left corner, as
// OpenGL counts.
struct WindowArea {
    int x;
    int y;
    int width;
    int height;
};

// Carries the trails over the swaps of one drawing surface, on the path its
// context settled: each frame is presented through `present`, which wraps
// the platform's swap in what the path needs.
//
// The platform releases its surface and context before the keeper lets go
// of its parts, so letting go calls no OpenGL: the off-screen framebuffer
// goes with its context.
class TrailKeeper {
public:
    TrailKeeper();
    ~TrailKeeper();
    TrailKeeper(const TrailKeeper&) = delete;
    TrailKeeper& operator=(const TrailKeeper&) = delete;

    // Settles the path for a width by height view, with the window's context
    // current, from what its swap keeps, whether the driver tells the buffer
    // age and what the context lists (entry points through `lookUp`). The
    // off-screen path, when taken, is bound before this returns, so that the
    // first clear goes there too.
    void settle(SwapKeeps swap, bool bufferAge, LookUpGlProcedure lookUp, int width, int height);

    // Settles the path for a square view shown in the centre of a
    // windowWidth by windowHeight drawing area, filling its shorter side, on
    // black, as reshape places it. Where the context offers framebuffer
    // objects the view is drawn off the screen at the side of the largest
    // square it is shown in and copied into each; elsewhere it is drawn on
    // the window into the largest square, on the path the swap settles.
    // Either way the picture is drawn at the size shown: pictureSide tells
    // at which.
    void settleCentred(SwapKeeps swap, bool bufferAge, LookUpGlProcedure lookUp, int windowWidth,
                       int windowHeight);

    // From the next frame on, shows the picture of a settleCentred view
    // centred in the windowWidth by windowHeight drawing area, or with
    // `areas` centred in each of them, filling the shorter side, black
    // elsewhere. With the context current, once the path is settled.
    //
    // Off the screen, the one image is copied into every square, and its
    // trails carry on: where the largest square's side changed, the image
    // takes that side with the old picture scaled into it. Elsewhere the
    // frame is drawn into the largest square and copied into the others before
    // each swap, and the trails start again from black: what the back
    // buffer holds after the window's size changed is undefined, and the old
    // picture was drawn at the old square's size.
    void reshape(int windowWidth, int windowHeight, const WindowArea* areas = nullptr, int areaCount = 0);

    // The side in pixels at which a settleCentred view's picture is drawn:
    // the off-screen image's, or on the window the largest square's.
    int pictureSide() const;

    // For a view settled at the window's own size: the drawing surface is
    // now width by height (a new scale of the display). The trails carry on
    // as reshape says, off the screen scaled into the new size, on the
    // window from black.
    void resize(int width, int height);

    // Takes the given path for a width by height view, obtaining what the
    // path needs and binding the off-screen image or the window for drawing.
    // The off-screen path only once settle has found framebuffers offered.
    void use(TrailPath newPath, int width, int height);

    // Presents the frame: keeps or copies in what the path needs, calls
    // `swap` on `surface`, then puts back what the swap lost. `bufferAge`
    // tells the back buffer's age after the swap as the driver does (0
    // unknown, 1 the frame just presented, 2 the one before it, and so on);
    // it is asked only on the buffer-age path.
    template <typename Surface>
    void present(Surface& surface, void (*swap)(Surface&), unsigned int (*bufferAge)(Surface&)) {
        beforeSwap();
        swap(surface);
        afterSwap(path == TrailPath::ByBufferAge ? bufferAge(surface) : 0);
    }

    // Lets go of the image keepers without calling OpenGL; the path stays.
    void release();

    TrailPath path;
    // What the window's swap keeps, as settled.
    SwapKeeps swap;
    // Where a centred view is shown, one square an area, the largest first
    // (malloc'd); none
    // for a view drawn at the window's own size and place.
    PictureSquare* squares;
    int squareCount;
    // Set by reshape on the paths that draw on the window: how many of the
    // next swaps may leave a buffer behind that was not drawn at the new
    // shape.
    int reshapeSwapsLeft;
    // On the buffer-age path: whether to keep the image before the next
    // swap, because the last swap left an older buffer behind (or none was
    // seen yet).
    bool keepNextImage;
    // Whether the context lists framebuffer objects with blitting, and their
    // entry points.
    bool framebuffersOffered;
    FramebufferCalls framebuffers;
    // Obtained for the paths that may need to put the image back.
    PresentedImage* presented;
    // Obtained for the off-screen path.
    OffScreenImage* offScreen;

private:
    void resizeOffScreen(int width, int height);
    void startAgainOnWindow(int windowWidth, int windowHeight, const PictureSquare& view);
    void beforeSwap();
    void afterSwap(unsigned int age);
};
