#include "scene.h"

#include <cmath>

namespace bench {

namespace {

struct Lcg {
    uint32_t state;
    uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
};

Scene Build() {
    Scene s;
    Lcg rng{2024};
    s.background.resize(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            uint32_t r = static_cast<uint32_t>(x * 255 / kWidth);
            uint32_t g = static_cast<uint32_t>(y * 255 / kHeight);
            uint32_t b = (rng.Next() & 31) + 96;
            s.background[y * kWidth + x] = 0xFF000000u | r << 16 | g << 8 | b;
        }
    }
    // Soft round sprites: transparent corners, an opaque middle, a ramp in between.
    for (int i = 0; i < kSpriteImages; ++i) {
        std::vector<uint32_t> image(kSpriteSide * kSpriteSide);
        uint32_t tint = rng.Next();
        for (int y = 0; y < kSpriteSide; ++y) {
            for (int x = 0; x < kSpriteSide; ++x) {
                double dx = x + 0.5 - kSpriteSide / 2.0, dy = y + 0.5 - kSpriteSide / 2.0;
                double d = std::sqrt(dx * dx + dy * dy) / (kSpriteSide / 2.0);
                double a = d < 0.7 ? 1.0 : (d > 1.0 ? 0.0 : (1.0 - d) / 0.3);
                uint32_t alpha = static_cast<uint32_t>(a * 255.0 + 0.5);
                uint32_t shade = static_cast<uint32_t>((x ^ y) & 31);
                uint32_t rgb = (tint & 0xE0E0E0) + shade * 0x010101;
                image[y * kSpriteSide + x] = alpha << 24 | (rgb & 0xFFFFFF);
            }
        }
        s.spriteImages.push_back(std::move(image));
    }
    for (int i = 0; i < 300; ++i) {
        Sprite sp{};
        sp.image = i % kSpriteImages;
        sp.alpha = 255;
        sp.scale = 1.0f;
        int pick = i % 10;
        sp.kind = pick < 6 ? SpriteKind::Plain
                           : (pick == 6 ? SpriteKind::Faded
                                        : (pick < 9 ? SpriteKind::Scaled : SpriteKind::Rotated));
        if (sp.kind == SpriteKind::Plain || sp.kind == SpriteKind::Faded) {
            sp.x = static_cast<float>(rng.Below(kWidth - kSpriteSide));
            sp.y = static_cast<float>(rng.Below(kHeight - kSpriteSide));
            if (sp.kind == SpriteKind::Faded) sp.alpha = static_cast<uint8_t>(64 + rng.Below(160));
        } else {
            sp.x = static_cast<float>(48 + rng.Below(kWidth - 96));
            sp.y = static_cast<float>(48 + rng.Below(kHeight - 96));
            if (sp.kind == SpriteKind::Scaled) {
                sp.scale = 0.5f + static_cast<float>(rng.Below(100)) / 100.0f;
            } else {
                sp.angle = static_cast<float>(rng.Below(628)) / 100.0f;
            }
        }
        s.sprites.push_back(sp);
    }
    // Lines of text: each line a run of glyphs, each glyph a few rows of short spans whose
    // alpha follows the coverage (16 levels).
    int y = 20;
    int x = 30;
    uint32_t textColor = 0xFFFFFF;
    while (static_cast<int>(s.spans.size()) < 2000) {
        int glyphWidth = 5 + rng.Below(5);
        for (int row = 0; row < 12 && static_cast<int>(s.spans.size()) < 2000;
             row += 1 + rng.Below(2)) {
            int x0 = x + rng.Below(3);
            int len = 1 + rng.Below(glyphWidth - 1);
            uint32_t coverage = 1 + static_cast<uint32_t>(rng.Below(16));
            uint32_t alpha = coverage * 255 / 16;
            s.spans.push_back(Span{x0, x0 + len, y + row, alpha << 24 | textColor});
        }
        x += glyphWidth + 2;
        if (x > kWidth - 60) {
            x = 30;
            y += 18;
            textColor = y % 36 ? 0xFFFFFF : 0x202020;
            if (y > kHeight - 30) y = 20;
        }
    }
    return s;
}

}  // namespace

const Scene& GetScene() {
    static const Scene scene = Build();
    return scene;
}

}  // namespace bench
