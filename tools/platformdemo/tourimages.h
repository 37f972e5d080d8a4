// The picture checks of the tour, on grabs of the X server (0xAARRGGBB, opaque): two grabs
// agreeing within a tolerance, the software cursor shown at a point, a full-screen grab showing a
// windowed grab scaled between black bars, and the ink of laid-out text.
//
// Pure functions; any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "math/rect.h"

#include "support/xsession.h"

namespace platformdemo {

using testing_support::ArgbImage;

// The largest difference of one colour channel between two pixels.
int ChannelDistance(uint32_t a, uint32_t b);

// How two grabs of the same size differ: the pixels whose channels differ by more than the
// tolerance, and the largest difference. A size mismatch counts every pixel.
struct GrabDifference {
    int pixels = 0;
    int largest = 0;
};
GrabDifference CompareGrabs(const ArgbImage& a, const ArgbImage& b, int tolerance);

// The pixels of the cursor's box (hot spot at (x, y); 12 x 18 pixels, the arrow's size) that
// differ from the colour by more than 48 in a channel; pixels outside the image are not counted.
int CursorPixels(const ArgbImage& image, int x, int y, uint32_t background);

// Where a frame of frameWidth x frameHeight shows on a full screen of the grab's size: scaled to
// fit with its aspect, centred.
struct ScaledPlace {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
ScaledPlace FitScaled(int screenWidth, int screenHeight, int frameWidth, int frameHeight);

// "" when the screen shows the frame scaled into its place with black bars beside it; else what
// differs first. The frame is compared on a grid of points where it is flat (so that filtering
// cannot change them), leaving out the box (left, top, right, bottom in frame pixels).
std::string ScaledMismatch(const ArgbImage& screen, const ArgbImage& frame, int skipLeft,
                           int skipTop, int skipRight, int skipBottom);

// The pixels of the box (cut to the image) that pass the test.
using PixelTest = std::function<bool(uint32_t pixel)>;
int CountPixels(const ArgbImage& image, const TRect& box, const PixelTest& test);
// The mean length of the horizontal runs of passing pixels in the box's rows: the width of a
// word's vertical strokes. 0 without any.
double MeanRunLength(const ArgbImage& image, const TRect& box, const PixelTest& test);
// The most passing pixels in one row of the box.
int WidestRow(const ArgbImage& image, const TRect& box, const PixelTest& test);

}  // namespace platformdemo
