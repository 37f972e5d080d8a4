// The typical frame of the game, described once and drawn two ways (the rasterizer and pixman):
// an 800 x 600 X8R8G8B8 target, one full-screen background, 300 alpha-blended 64 x 64 sprites
// (most drawn one texel per pixel, some faded, some scaled, some rotated) and 2,000 glyph spans
// in lines of text.
#pragma once

#include <cstdint>
#include <vector>

namespace bench {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kSpriteSide = 64;
constexpr int kSpriteImages = 8;

enum class SpriteKind { Plain, Faded, Scaled, Rotated };

struct Sprite {
    SpriteKind kind;
    int image;      // which of the sprite images
    float x, y;     // top-left corner (plain, faded) or centre (scaled, rotated)
    float scale;    // scaled and rotated sprites
    float angle;    // radians, rotated sprites
    uint8_t alpha;  // 255 except for faded sprites
};

struct Span {
    int x0, x1, y;   // covers [x0, x1) on row y
    uint32_t color;  // 0xAARRGGBB, alpha from the glyph coverage
};

struct Scene {
    std::vector<uint32_t> background;                 // kWidth x kHeight, X8R8G8B8
    std::vector<std::vector<uint32_t>> spriteImages;  // 64 x 64 A8R8G8B8, not premultiplied
    std::vector<Sprite> sprites;
    std::vector<Span> spans;
};

// The same scene every time.
const Scene& GetScene();

}  // namespace bench
