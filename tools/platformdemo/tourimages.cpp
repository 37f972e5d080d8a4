#include "tourimages.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace platformdemo {
namespace {

int Channel(uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

// Whether the 5 x 5 neighbourhood of (x, y) is one colour within 6 in each channel.
bool Flat(const ArgbImage& image, int x, int y) {
    if (x < 2 || y < 2 || x + 2 >= image.width || y + 2 >= image.height) return false;
    uint32_t centre = image.At(x, y);
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            if (ChannelDistance(image.At(x + dx, y + dy), centre) > 6) return false;
        }
    }
    return true;
}

}  // namespace

int ChannelDistance(uint32_t a, uint32_t b) {
    int largest = 0;
    for (int shift : {0, 8, 16})
        largest = std::max(largest, std::abs(Channel(a, shift) - Channel(b, shift)));
    return largest;
}

GrabDifference CompareGrabs(const ArgbImage& a, const ArgbImage& b, int tolerance) {
    GrabDifference difference;
    if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size()) {
        difference.pixels = static_cast<int>(std::max(a.pixels.size(), b.pixels.size()));
        difference.largest = 255;
        return difference;
    }
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        int distance = ChannelDistance(a.pixels[i], b.pixels[i]);
        difference.largest = std::max(difference.largest, distance);
        if (distance > tolerance) ++difference.pixels;
    }
    return difference;
}

int CursorPixels(const ArgbImage& image, int x, int y, uint32_t background) {
    int count = 0;
    for (int row = y; row < y + 18; ++row) {
        for (int column = x; column < x + 12; ++column) {
            if (column < 0 || row < 0 || column >= image.width || row >= image.height) continue;
            if (ChannelDistance(image.At(column, row), background) > 48) ++count;
        }
    }
    return count;
}

ScaledPlace FitScaled(int screenWidth, int screenHeight, int frameWidth, int frameHeight) {
    ScaledPlace place;
    if (frameWidth <= 0 || frameHeight <= 0) return place;
    // The wider side decides: the frame fills the screen's height or its width.
    if (static_cast<int64_t>(screenWidth) * frameHeight >
        static_cast<int64_t>(screenHeight) * frameWidth) {
        place.height = screenHeight;
        place.width =
            static_cast<int>(static_cast<int64_t>(frameWidth) * screenHeight / frameHeight);
    } else {
        place.width = screenWidth;
        place.height =
            static_cast<int>(static_cast<int64_t>(frameHeight) * screenWidth / frameWidth);
    }
    place.left = (screenWidth - place.width) / 2;
    place.top = (screenHeight - place.height) / 2;
    return place;
}

std::string ScaledMismatch(const ArgbImage& screen, const ArgbImage& frame, int skipLeft,
                           int skipTop, int skipRight, int skipBottom) {
    ScaledPlace place = FitScaled(screen.width, screen.height, frame.width, frame.height);
    if (place.width == 0 || screen.pixels.empty()) return "no grab of the screen";
    for (int y = 0; y < screen.height; y += 7) {
        for (int x = 0; x < screen.width; x += 3) {
            bool inside = x >= place.left && x < place.left + place.width && y >= place.top &&
                          y < place.top + place.height;
            if (!inside && (screen.At(x, y) & 0xFFFFFF) != 0) {
                char text[80];
                std::snprintf(text, sizeof text, "the bar at (%d, %d) is %06X, not black", x, y,
                              screen.At(x, y) & 0xFFFFFF);
                return text;
            }
        }
    }
    int compared = 0;
    int wrong = 0;
    std::string first;
    for (int y = 4; y < frame.height - 4; y += 6) {
        for (int x = 4; x < frame.width - 4; x += 6) {
            if (x >= skipLeft && x < skipRight && y >= skipTop && y < skipBottom) continue;
            if (!Flat(frame, x, y)) continue;
            int sx = place.left + static_cast<int>((x + 0.5) * place.width / frame.width);
            int sy = place.top + static_cast<int>((y + 0.5) * place.height / frame.height);
            ++compared;
            if (ChannelDistance(screen.At(sx, sy), frame.At(x, y)) > 24) {
                if (first.empty()) {
                    char text[120];
                    std::snprintf(text, sizeof text,
                                  "(%d, %d) is %06X in the window, %06X at (%d, %d) of the screen",
                                  x, y, frame.At(x, y) & 0xFFFFFF, screen.At(sx, sy) & 0xFFFFFF, sx,
                                  sy);
                    first = text;
                }
                ++wrong;
            }
        }
    }
    if (compared < 100) return "too few flat points to compare (" + std::to_string(compared) + ")";
    // A few points next to an edge the filter reaches over may differ.
    if (wrong * 50 > compared) {
        return std::to_string(wrong) + " of " + std::to_string(compared) +
               " points differ, first " + first;
    }
    return "";
}

namespace {

// The box cut to the image.
TRect Inside(const ArgbImage& image, const TRect& box) {
    return TRect{std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, image.width),
                 std::min(box.bottom, image.height)};
}

}  // namespace

int CountPixels(const ArgbImage& image, const TRect& box, const PixelTest& test) {
    const TRect inside = Inside(image, box);
    int count = 0;
    for (int y = inside.top; y < inside.bottom; ++y) {
        for (int x = inside.left; x < inside.right; ++x)
            count += test(image.At(x, y)) ? 1 : 0;
    }
    return count;
}

double MeanRunLength(const ArgbImage& image, const TRect& box, const PixelTest& test) {
    const TRect inside = Inside(image, box);
    int runs = 0;
    int pixels = 0;
    for (int y = inside.top; y < inside.bottom; ++y) {
        bool inRun = false;
        for (int x = inside.left; x < inside.right; ++x) {
            const bool passes = test(image.At(x, y));
            if (passes && !inRun) ++runs;
            pixels += passes ? 1 : 0;
            inRun = passes;
        }
    }
    return runs == 0 ? 0.0 : static_cast<double>(pixels) / runs;
}

int WidestRow(const ArgbImage& image, const TRect& box, const PixelTest& test) {
    int widest = 0;
    for (int y = box.top; y < box.bottom; ++y)
        widest = std::max(widest, CountPixels(image, TRect{box.left, y, box.right, y + 1}, test));
    return widest;
}

}  // namespace platformdemo
